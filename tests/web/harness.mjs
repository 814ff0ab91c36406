// What the browser tests share: a run with its browser and time limit, checks, waits on the
// page's published state, the replay's menu and dumps, screenshots for frame_check.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { PNG } from 'pngjs';
import puppeteer from 'puppeteer-core';

export const STEP_MS = 60000;  // generous: on a loaded machine the renderer can crawl

// Debian's chromium, headless, with its profile in `scratch`; FIREFOX=/usr/bin/firefox-esr
// runs the tests in Firefox instead (not part of CI).
function launch(scratch) {
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

class Failure extends Error {}
export function fail(message) {
  throw new Failure(message);
}
export function check(condition, message) {
  if (!condition) fail(message);
  console.log(`ok: ${message}`);
}

// Runs `tests(t)` with a scratch folder (t.scratch), the browser (t.browser) and t.newPage, a
// tab whose script errors fail the run and whose console lines (t.lines) a failure shows. A
// failure, or a run past `limitMs`, kills the browser and exits non-zero: nothing hangs CI.
export async function run(name, limitMs, tests) {
  const t = { scratch: mkdtempSync(join(tmpdir(), `quendra-${name}-`)), lines: [] };
  const problems = [];
  const abort = (message) => {
    console.error(`FAIL: ${message}`);
    for (const line of t.lines.slice(-40)) console.error(`  page: ${line}`);
    t.browser?.process()?.kill('SIGKILL');
    setTimeout(() => {  // once the browser has let go of its profile
      rmSync(t.scratch, { recursive: true, force: true });
      process.exit(1);
    }, 500);
  };
  const watchdog = setTimeout(() => abort('the test ran out of time'), limitMs);
  try {
    t.browser = await launch(t.scratch);
    t.newPage = async () => {
      const page = await t.browser.newPage();
      page.setDefaultTimeout(STEP_MS);
      page.on('pageerror', (error) => {
        problems.push(error.message);
        t.lines.push(error.message);
      });
      page.on('console', (message) => t.lines.push(message.text()));
      // testFrames(n) resolves once n more states are published; the tests time input by it.
      await page.evaluateOnNewDocument(() => {
        window.testFrames = (n) => new Promise((resolve, reject) => {
          const until = (quendraPage.state.frames || 0) + n, deadline = performance.now() + 20000;
          const poll = () => {
            if (quendraPage.state.frames >= until) resolve();
            else if (performance.now() <= deadline) setTimeout(poll, 2);
            else reject(new Error(`frames stopped: ${JSON.stringify(
              [quendraPage.state, !!document.pointerLockElement, document.hasFocus()])}`));
          };
          poll();
        });
      });
      return page;
    };
    await tests(t);
    check(problems.length === 0, `no script errors${problems.length ? ': ' + problems : ''}`);
    await t.browser.close();
  } catch (error) {
    abort(error instanceof Failure ? error.message : error.stack || String(error));
    await new Promise(() => {});  // abort exits
  }
  clearTimeout(watchdog);
  rmSync(t.scratch, { recursive: true, force: true });
  console.log(`all ${name} tests passed`);
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

// The menu as quendra-replay draws it with this best score: its dump's path and RGB565 values.
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
  return Array.from({ length: width * height }, (_, i) =>
    bmp.readUInt16LE(offset + ((height - 1 - Math.floor(i / width)) * width + i % width) * 2));
}

export function firstDifference(a, b) {
  if (!a || a.length !== b.length) return 'sizes differ';
  const i = a.findIndex((value, k) => value !== b[k]);
  return i < 0 ? null : `pixel ${i % 640},${Math.floor(i / 640)}: ${a[i]} instead of ${b[i]}`;
}

// A screenshot of the whole page, as a PPM file at path.
export async function screenshotPpm(page, path) {
  const png = Buffer.from(await page.screenshot({ type: 'png' }));
  const { width, height, data } = PNG.sync.read(png);
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0; i < width * height; ++i) data.copy(rgb, i * 3, i * 4, i * 4 + 3);
  writeFileSync(path, Buffer.concat([Buffer.from(`P6\n${width} ${height}\n255\n`), rgb]));
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
