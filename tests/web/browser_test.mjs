// The browser version in Debian's chromium, headless, against the page served on this machine:
//   node browser_test.mjs BUILD_WEB_FOLDER QUENDRA_REPLAY
// The menu must be the replay's menu pixel for pixel, and a game must start, aim, score, end
// and leave its best score in the browser's storage for the next visit.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { serve } from '../../platform/web/serve.mjs';
import { launch, readDump } from './common.mjs';

const [folder, replay] = process.argv.slice(2).map((path) => resolve(path));
const scratch = mkdtempSync(join(tmpdir(), 'quendra-web-'));
// Nothing may hang CI: the whole run has a hard limit, every wait its own.
const watchdog = setTimeout(() => abort('the test ran out of time'), 480000);
const STEP_MS = 60000;  // generous: on a loaded machine the renderer can crawl
let browser = null, server = null;
const consoleLines = [];

class Failure extends Error {}
function fail(message) {
  throw new Failure(message);
}
// Stops everything and exits non-zero, also from the watchdog.
function abort(message) {
  console.error(`FAIL: ${message}`);
  for (const line of consoleLines) console.error(`  page: ${line}`);
  browser?.process()?.kill('SIGKILL');
  setTimeout(() => {  // once the browser has let go of its profile
    rmSync(scratch, { recursive: true, force: true });
    process.exit(1);
  }, 500);
}
function check(condition, message) {
  if (!condition) fail(message);
  console.log(`ok: ${message}`);
}

// The menu as quendra-replay draws it with this best score, as raw RGB565 values.
function replayMenu(best) {
  const dir = mkdtempSync(join(scratch, 'replay-'));
  writeFileSync(join(dir, 'QUENDRA.DAT'), Buffer.from(new Int32Array([best]).buffer));
  writeFileSync(join(dir, 'menu.replay'), 'frame\nwait 16\nframe\ndump menu.bmp\n');
  execFileSync(replay, ['menu.replay'], { cwd: dir, timeout: STEP_MS, stdio: 'ignore' });
  return readDump(join(dir, 'menu.bmp'));
}

function firstDifference(a, b) {
  if (!a || a.length !== b.length) return 'sizes differ';
  const i = a.findIndex((value, k) => value !== b[k]);
  return i < 0 ? null : `pixel ${i % 640},${Math.floor(i / 640)}: ${a[i]} instead of ${b[i]}`;
}

const state = (page) => page.evaluate(() => quendraPage.test.state());
// What the page was doing, for a failure's message.
const diagnose = (page) => page.evaluate(() => JSON.stringify({
  state: quendraPage.test.state(), events: quendraPage.events, focus: document.hasFocus(),
  hidden: document.hidden, lock: !!document.pointerLockElement,
})).catch((error) => `(no answer: ${error.message})`);
const waitState = (page, test, what) =>
  page.waitForFunction(test, { timeout: STEP_MS, polling: 20 })
    .catch(async () => fail(`no ${what}: ${await diagnose(page)}`));

// Clicks "play" and waits for the menu's first frames. Not in full screen: in headless chromium
// that now and then holds the page back for seconds, and shows nothing.
async function start(page) {
  await page.evaluate(() => { document.getElementById('stage').requestFullscreen = undefined; });
  await page.click('#start button');
  await waitState(page, () => quendraPage.state[0] >= 3, 'menu frames');
}

async function checkMenu(page, best) {
  const raw = await page.evaluate(() => quendraPage.test.rawPage());
  const difference = firstDifference(raw, replayMenu(best));
  check(!difference, `the menu with best score ${best} is the replay's, pixel for pixel` +
    (difference ? ` (${difference})` : ''));
  // And the canvas shows that page, each channel widened by bit replication.
  const rgba = await page.evaluate(() => quendraPage.test.canvas());
  const widened = raw.flatMap((p) => {
    const r = p >> 11, g = (p >> 5) & 63, b = p & 31;
    return [(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2), 255];
  });
  check(!firstDifference(rgba, widened), 'the canvas shows that page');
}

try {
  server = await serve(folder);
  const url = `http://127.0.0.1:${server.address().port}/`;
  browser = await launch(scratch, STEP_MS);
  const page = await browser.newPage();
  page.setDefaultTimeout(STEP_MS);
  const problems = [];
  page.on('pageerror', (error) => { problems.push(error.message); consoleLines.push(error.message); });
  page.on('console', (message) => consoleLines.push(message.text()));
  await page.goto(url, { waitUntil: 'load' });
  await start(page);
  // The browser grants the lock when it gets to it, not always before the first frames.
  await waitState(page, () => document.pointerLockElement?.id === 'screen',
    'pointer lock after the click to play');
  await checkMenu(page, 0);
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('KeyQ');  // a key the game has no use for
  await waitState(page, () => quendraPage.state[7] === 1, 'menu entry below after Down');
  await page.keyboard.press('ArrowUp');
  await waitState(page, () => quendraPage.state[7] === 0, 'menu entry above after Up');

  // A game, aimed and shot in the page itself: the first target splats 20 frames after the
  // start, sooner than a few round trips to a busy browser. Headless chromium's synthetic mouse
  // events under the lock come with made-up motion, so motion and button go to the page's
  // listeners as locked mouse events. The crosshair ends at 399,319, the first target's centre.
  const before = await page.evaluate(async () => {
    const frames = () => quendraPage.state[0];
    const deadline = performance.now() + 20000;
    const after = (n) => new Promise((resolve, reject) => {
      const until = frames() + n;
      const poll = () => {
        if (frames() >= until) resolve();
        else if (performance.now() > deadline) reject(new Error(`frames stopped: ${JSON.stringify(
          [quendraPage.test.state(), !!document.pointerLockElement, document.hasFocus()])}`));
        else setTimeout(poll, 2);
      };
      poll();
    });
    document.dispatchEvent(new KeyboardEvent('keydown', { key: 'Enter', code: 'Enter' }));
    while (quendraPage.state[1] !== 1) await after(1);
    await after(3);
    const [x, y] = quendraPage.state.slice(5, 7);
    const started = quendraPage.test.state();
    for (const [dx, dy] of [[30, 45], [399 - x - 30, 319 - y - 45]])
      document.dispatchEvent(new MouseEvent('mousemove', { movementX: dx, movementY: dy }));
    document.dispatchEvent(new MouseEvent('mousedown', { button: 0 }));
    await after(2);
    document.dispatchEvent(new MouseEvent('mouseup', { button: 0 }));
    return started;
  });
  check(before.playing === 1, 'Enter started a game');
  await waitState(page, () => quendraPage.state[3] !== 3 || quendraPage.state[2] < 3, 'shot');
  const after = await state(page);
  check(after.cursorX === 399 && after.cursorY === 319, `the crosshair moved as the mouse ` +
    `did (from ${before.cursorX},${before.cursorY} to ${after.cursorX},${after.cursorY})`);
  check(after.runBest === 4, `a shot on the target scored (score ${after.score})`);
  // The three sounds are audio buffers; the shot and the target's end started two instances
  // (none while audio is not allowed).
  await page.waitForFunction(() => quendraPage.test.sounds().started >= 2, { timeout: STEP_MS })
    .catch(() => {});
  const sounds = await page.evaluate(() => quendraPage.test.sounds());
  check(sounds.lengths.length === 3 && sounds.lengths.every((n) => n > 1000) &&
    (sounds.state !== 'running' || sounds.started >= 2), `the sounds played (${JSON.stringify(sounds)})`);

  await page.keyboard.press('Escape');
  await waitState(page, () => quendraPage.state[1] === 0, 'menu after Escape');
  // A reload before the file system reached IndexedDB would lose the score.
  check(await page.evaluate(() => quendraPage.test.saved()), 'the best score was saved');

  await page.reload({ waitUntil: 'load' });
  await start(page);
  await checkMenu(page, 4);

  // The pointer taken back by the browser (as on Escape where the page can't keep it) ends the
  // game and stops the frames until a click gives it back.
  await page.keyboard.press('Enter');
  await waitState(page, () => quendraPage.state[1] === 1, 'second game');
  await page.evaluate(() => document.exitPointerLock());
  await waitState(page, () => quendraPage.state[1] === 0 && quendraPage.state[8] === 0,
    'end of the game and its frames when the pointer was lost');
  check(await page.$eval('#pause', (e) => !e.hidden), 'losing the pointer ended the game and paused');
  await page.click('#pause');
  await waitState(page, () => quendraPage.state[8] === 1 && document.pointerLockElement,
    'frames after the click');

  // Another tab in front hides the page: the program is told it was minimised, and no frames
  // run until the page is back and a click has given it the pointer again.
  const other = await browser.newPage();
  await other.bringToFront();
  await waitState(page, () => document.hidden && quendraPage.state[8] === 0, 'minimise when hidden');
  await other.close();
  await page.bringToFront();
  await page.click('#pause');
  await waitState(page, () => quendraPage.state[8] === 1, 'restore when shown again');

  await page.keyboard.down('Alt');
  await page.keyboard.press('F10');
  await page.keyboard.up('Alt');
  await page.waitForSelector('#end:not([hidden])', { timeout: STEP_MS }).catch(() => fail('no end'));
  check(await page.evaluate(() => quendraPage.exitCode === 0 && !document.pointerLockElement),
    'Alt+F10 ended the program normally and gave the pointer back');

  // A canvas that can't be had: the mode message, then the failed frame's, each in the page's
  // dialog until answered; then the program ends with exit code 1 and says so.
  await page.reload({ waitUntil: 'load' });
  await page.evaluate(() => {
    quendraPage.openCanvas = () => false;
    document.getElementById('stage').requestFullscreen = undefined;
  });
  await page.click('#start button');
  for (const text of ['This display card does not support the selected mode. ',
    'Displaying the next frame failed. Press OK exit. ']) {
    await page.waitForFunction((t) => document.querySelector('#error[open] p')?.textContent === t,
      { timeout: STEP_MS }, text).catch(() => fail(`no dialog saying "${text}"`));
    // (Headless Firefox in full screen misses small targets with its clicks: Enter there.)
    if (process.env.FIREFOX) await page.keyboard.press('Enter');
    else await page.click('#error button');
  }
  await page.waitForSelector('#end:not([hidden])', { timeout: STEP_MS }).catch(() => fail('no end'));
  check(await page.evaluate(() => quendraPage.exitCode) === 1, 'the program ended with code 1');
  check(problems.length === 0, `no script errors${problems.length ? ': ' + problems : ''}`);
} catch (error) {
  abort(error instanceof Failure ? error.message : error.stack || String(error));
  await new Promise(() => {});  // abort exits
}
await browser.close();
server.close();
clearTimeout(watchdog);
rmSync(scratch, { recursive: true, force: true });
console.log('all browser tests passed');
