// The browser version in Debian's chromium, headless, against the page served on this machine:
//   node browser_test.mjs BUILD_WEB_FOLDER QUENDRA_REPLAY [FRAME_CHECK]
// (FRAME_CHECK: tests/frame_check of the replay's build folder unless given). It runs the
// game's tests with a mouse and keys (game_test.mjs), by touch on phones and a tablet
// (touch_test.mjs), and the picture's looks and the page in a frame (looks_test.mjs).
// SHOTS=FOLDER keeps screenshots of a phone's menu and games there, to be looked at.
import { existsSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { serve } from '../../platform/web/serve.mjs';
import { Failure, STEP_MS, check, launch } from './harness.mjs';
import { gameTests } from './game_test.mjs';
import { looksTests } from './looks_test.mjs';
import { touchTests } from './touch_test.mjs';

const [folder, replay, frameCheck] = process.argv.slice(2).map((path) => resolve(path));
const scratch = mkdtempSync(join(tmpdir(), 'quendra-web-'));
// Nothing may hang CI: the whole run has a hard limit, every wait its own.
const watchdog = setTimeout(() => abort('the test ran out of time'), 900000);
let browser = null, server = null;
const consoleLines = [], problems = [];

// Stops everything and exits non-zero, also from the watchdog.
function abort(message) {
  console.error(`FAIL: ${message}`);
  for (const line of consoleLines.slice(-40)) console.error(`  page: ${line}`);
  browser?.process()?.kill('SIGKILL');
  setTimeout(() => {  // once the browser has let go of its profile
    rmSync(scratch, { recursive: true, force: true });
    process.exit(1);
  }, 500);
}

try {
  const t = { replay, scratch,
    frameCheck: frameCheck || join(dirname(replay), 'tests', 'frame_check') };
  if (!existsSync(t.frameCheck))
    throw new Failure(`no ${t.frameCheck} (cmake --build BUILD --target frame_check)`);
  server = await serve(folder);
  t.url = `http://127.0.0.1:${server.address().port}/`;
  browser = await launch(scratch);
  t.browser = browser;
  // A new tab whose script errors and console lines are kept for the report.
  t.newPage = async () => {
    const page = await browser.newPage();
    page.setDefaultTimeout(STEP_MS);
    page.on('pageerror', (error) => {
      problems.push(error.message);
      consoleLines.push(error.message);
    });
    page.on('console', (message) => consoleLines.push(message.text()));
    // Resolves once n more states are published; the tests time their input by it.
    await page.evaluateOnNewDocument(() => {
      window.testFrames = (n) => new Promise((resolve, reject) => {
        const until = (quendraPage.state.frames || 0) + n, deadline = performance.now() + 20000;
        const poll = () => {
          if (quendraPage.state.frames >= until) resolve();
          else if (performance.now() > deadline) reject(new Error(`frames stopped: ${JSON.stringify(
            [quendraPage.state, !!document.pointerLockElement, document.hasFocus()])}`));
          else setTimeout(poll, 2);
        };
        poll();
      });
    });
    return page;
  };
  // ONLY=touch,looks runs some of them (Firefox runs the game's alone).
  const only = process.env.ONLY?.split(',') || (process.env.FIREFOX ? ['game'] : null);
  for (const [name, run] of [['game', gameTests], ['touch', touchTests], ['looks', looksTests]])
    if (!only || only.includes(name)) await run(t);
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
