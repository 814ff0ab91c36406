// What the browser tests share: the browser, checks that stop the run with a message, waits on
// the page's published state, the replay's menu and dumps, and screenshots as the PPM files
// frame_check reads.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { inflateSync } from 'node:zlib';
import puppeteer from 'puppeteer-core';

export const STEP_MS = 60000;  // generous: on a loaded machine the renderer can crawl

// Debian's chromium, headless, with its profile in `scratch`; FIREFOX=/usr/bin/firefox-esr
// runs the tests in Firefox instead (not part of CI).
export function launch(scratch) {
  const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
  return puppeteer.launch(process.env.FIREFOX ? {
    browser: 'firefox', executablePath: process.env.FIREFOX, headless: true,
    timeout: STEP_MS * 3, protocolTimeout: STEP_MS, userDataDir: join(scratch, 'profile'),
  } : {
    executablePath: chromium, headless: true, timeout: STEP_MS, protocolTimeout: STEP_MS,
    // (WebGL through SwiftShader, as the page draws its picture where it can.)
    args: ['--no-sandbox', '--disable-gpu', '--enable-unsafe-swiftshader', '--disable-quic',
      '--no-first-run', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', `--user-data-dir=${join(scratch, 'profile')}`],
  });
}

export class Failure extends Error {}
export function fail(message) {
  throw new Failure(message);
}
export function check(condition, message) {
  if (!condition) fail(message);
  console.log(`ok: ${message}`);
}

// The game's state at the page's last publication, by name.
export const state = (page) => page.evaluate(() => quendraPage.test.state());
// What the page was doing, for a failure's message.
const diagnose = (page) => page.evaluate(() => JSON.stringify({
  state: quendraPage.test.state(), events: quendraPage.events, focus: document.hasFocus(),
  hidden: document.hidden, lock: !!document.pointerLockElement,
})).catch((error) => `(no answer: ${error.message})`);
export const waitState = (page, test, what, ...args) =>
  page.waitForFunction(test, { timeout: STEP_MS, polling: 20 }, ...args)
    .catch(async () => fail(`no ${what}: ${await diagnose(page)}`));

// Clicks (or taps) "play" and waits for the menu's first frames. Not in full screen: in
// headless chromium that now and then holds the page back for seconds, and shows nothing.
export async function start(page, { tap = false } = {}) {
  await page.evaluate(() => { document.getElementById('stage').requestFullscreen = undefined; });
  if (tap) await page.tap('#start button');
  else await page.click('#start button');
  await waitState(page, () => quendraPage.state.frames >= 3, 'menu frames');
}

// The menu as quendra-replay draws it with this best score: its dump's path and its raw
// RGB565 values.
export function replayMenu(t, best) {
  const dir = mkdtempSync(join(t.scratch, 'replay-'));
  writeFileSync(join(dir, 'QUENDRA.DAT'), Buffer.from(new Int32Array([best]).buffer));
  writeFileSync(join(dir, 'menu.replay'), 'frame\nwait 16\nframe\ndump menu.bmp\n');
  execFileSync(t.replay, ['menu.replay'], { cwd: dir, timeout: STEP_MS, stdio: 'ignore' });
  const path = join(dir, 'menu.bmp');
  return { path, pixels: readDump(path) };
}

// A replay dump (a 16-bit BMP, bottom-up) as its raw RGB565 values, top row first.
export function readDump(path) {
  const bmp = readFileSync(path);
  const offset = bmp.readUInt32LE(10), width = bmp.readInt32LE(18), height = bmp.readInt32LE(22);
  if (bmp.readUInt16LE(28) !== 16) fail('the replay dump is not 16-bit');
  const pixels = new Array(width * height);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      pixels[y * width + x] = bmp.readUInt16LE(offset + ((height - 1 - y) * width + x) * 2);
    }
  }
  return pixels;
}

export function firstDifference(a, b) {
  if (!a || a.length !== b.length) return 'sizes differ';
  const i = a.findIndex((value, k) => value !== b[k]);
  return i < 0 ? null : `pixel ${i % 640},${Math.floor(i / 640)}: ${a[i]} instead of ${b[i]}`;
}

// A PNG as chromium writes its screenshots (8 bits a channel, RGB or RGBA, not interlaced):
// its size and its pixels, red, green, blue.
export function decodePng(png) {
  let width = 0, height = 0, channels = 0;
  const data = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at), type = png.toString('latin1', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      channels = { 2: 3, 6: 4 }[body[9]];
      if (body[8] !== 8 || !channels || body[12] !== 0) fail('a screenshot PNG of another kind');
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data)), stride = width * channels;
  const rows = Buffer.alloc(stride * height), rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)], line = raw.subarray(y * (stride + 1) + 1);
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? rows[y * stride + i - channels] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + i] : 0;
      const c = i >= channels && y > 0 ? rows[(y - 1) * stride + i - channels] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      const predicted = [0, a, b, (a + b) >> 1, paeth][filter];
      rows[y * stride + i] = line[i] + predicted;
    }
  }
  for (let i = 0; i < width * height; ++i) rows.copy(rgb, i * 3, i * channels, i * channels + 3);
  return { width, height, rgb };
}

// A screenshot of the whole page, as a PPM file at path; its decoded pixels.
export async function screenshotPpm(page, path) {
  const shot = decodePng(Buffer.from(await page.screenshot({ type: 'png' })));
  writeFileSync(path, Buffer.concat([Buffer.from(`P6\n${shot.width} ${shot.height}\n255\n`),
    shot.rgb]));
  return shot;
}

// frame_check's answer: 0 when the screenshot shows what was asked, else its message.
export function frameCheck(t, ...args) {
  try {
    execFileSync(t.frameCheck, args, { timeout: STEP_MS, stdio: 'pipe' });
    return null;
  } catch (error) {
    return `${error.stdout || ''}${error.stderr || ''}`.trim() || error.message;
  }
}
