// Recordings in the browser version, in Debian's chromium, headless:
//   node recording_test.mjs BUILD_WEB_FOLDER QUENDRA_REPLAY
// A run played in the page is offered as a download when it ends, and the native quendra-replay
// replays it with every checkpoint holding, to the page's last frame. The same recording chosen
// in the page plays in the canvas to that same frame; a malformed one is refused.
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { serve } from '../../platform/web/serve.mjs';
import { STEP_MS, check, launch, readDump } from './harness.mjs';

const [folder, replay] = process.argv.slice(2).map((path) => resolve(path));
const scratch = mkdtempSync(join(tmpdir(), 'quendra-recording-'));
const watchdog = setTimeout(() => abort('the test ran out of time'), 300000);
let browser = null;
const consoleLines = [];

function abort(message) {
  console.error(`FAIL: ${message}`);
  for (const line of consoleLines) console.error(`  page: ${line}`);
  browser?.process()?.kill('SIGKILL');
  setTimeout(() => {
    rmSync(scratch, { recursive: true, force: true });
    process.exit(1);
  }, 500);
}
const waitFor = (page, test, what, ...args) =>
  page.waitForFunction(test, { timeout: STEP_MS, polling: 20 }, ...args)
    .catch(() => { throw new Error(`no ${what}`); });
const ended = (page) => waitFor(page, () => quendraPage.exitCode !== undefined, 'end of the program');
const samePage = (a, b) => a && a.length === b.length && a.every((value, i) => value === b[i]);

try {
  const server = await serve(folder);
  const url = `http://127.0.0.1:${server.address().port}/`;
  browser = await launch(scratch);
  const page = await browser.newPage();
  page.setDefaultTimeout(STEP_MS);
  page.on('pageerror', (error) => consoleLines.push(error.message));
  page.on('console', (message) => consoleLines.push(message.text()));

  // A run: a game aimed and shot (locked mouse events straight to the page's listeners, as the
  // browser test does), Escape, a second game, Escape, then Alt+F10.
  await page.goto(url, { waitUntil: 'load' });
  await page.evaluate(() => { document.getElementById('stage').requestFullscreen = undefined; });
  await page.click('#start button');
  await waitFor(page, () => document.pointerLockElement && quendraPage.state.frames >= 3, 'menu');
  await page.keyboard.press('Enter');
  await waitFor(page, () => quendraPage.state.playing === 1, 'game');
  await page.evaluate(async () => {
    const frames = (n) => new Promise((done) => {
      const until = quendraPage.state.frames + n;
      const poll = () => (quendraPage.state.frames >= until ? done() : setTimeout(poll, 2));
      poll();
    });
    for (const [dx, dy] of [[30, 45], [-12, 7], [40, -20]]) {
      document.dispatchEvent(new MouseEvent('mousemove', { movementX: dx, movementY: dy }));
      await frames(2);
    }
    document.dispatchEvent(new MouseEvent('mousedown', { button: 0 }));
    await frames(2);
    document.dispatchEvent(new MouseEvent('mouseup', { button: 0 }));
    await frames(40);  // past a second of play: a checkpoint in the game
  });
  await page.keyboard.press('Escape');
  await waitFor(page, () => quendraPage.state.playing === 0, 'menu after Escape');
  await page.keyboard.press('Enter');
  await waitFor(page, () => quendraPage.state.playing === 1, 'second game');
  await page.keyboard.press('Escape');
  await waitFor(page, () => quendraPage.state.playing === 0, 'menu after the second game');
  await page.keyboard.down('Alt');
  await page.keyboard.press('F10');
  await page.keyboard.up('Alt');
  await ended(page);
  check(await page.$('#recording-download') !== null, 'the ended run offers its recording');
  const recording = await page.evaluate(() => quendraPage.test.recording());
  const lastPage = await page.evaluate(() => quendraPage.test.rawPage());
  const recorded = join(scratch, 'run.replay');
  writeFileSync(recorded, recording);
  check((recording.match(/^check /gm) || []).length >= 2 && /^end 0$/m.test(recording) &&
    /^button down$/m.test(recording), 'the recording has the click, checkpoints and its end');

  // The native quendra-replay: every checkpoint holds, and its last frame is the page's.
  writeFileSync(join(scratch, 'dumped.replay'),
    recording.replace(/\n(key alt\+f10\n)(?![\s\S]*\nkey alt\+f10\n)/, '\ndump last.bmp\n$1'));
  const run = spawnSync(replay, ['dumped.replay'], { cwd: scratch, timeout: STEP_MS });
  check(run.status === 0 && run.stderr.length === 0,
    `quendra-replay replays it (exit ${run.status}${run.stderr.length ? ': ' + run.stderr : ''})`);
  const replayed = readDump(join(scratch, 'last.bmp'));
  check(samePage(lastPage, replayed), "the replay's last frame is the page's");

  // Chosen in the page, the recording plays in the canvas to the same last frame.
  await page.reload({ waitUntil: 'load' });
  const bestScore = () => page.evaluate(() => {
    try { return Module.FS.stat('/quendra/QUENDRA.DAT').mtime.getTime(); } catch { return null; }
  });
  await waitFor(page, () => Module.FS && Module.calledRun !== undefined, 'the program loaded');
  const bestBefore = await bestScore();
  const chooser = await page.$('#recording-file');
  await chooser.uploadFile(recorded);
  await ended(page);
  const watched = await page.evaluate(() => [quendraPage.exitCode, quendraPage.test.rawPage(),
    quendraPage.state.frames]);
  check(watched[0] === 0 && watched[2] > 20, `the recording played in the canvas (exit ` +
    `${watched[0]}, ${watched[2]} frames)`);
  check(samePage(watched[1], replayed), 'and showed the same last frame');
  check(bestBefore !== null && await bestScore() === bestBefore,
    "watching left the player's best score alone");

  // A malformed one is refused (exit 2), and its line is said.
  writeFileSync(join(scratch, 'bad.replay'), 'begin\nframe\nwait soon\n');
  await page.reload({ waitUntil: 'load' });
  await (await page.$('#recording-file')).uploadFile(join(scratch, 'bad.replay'));
  await ended(page);
  check(await page.evaluate(() => quendraPage.exitCode) === 2 &&
    consoleLines.some((line) => line.includes('line 3: bad time')), 'a malformed recording is refused with its line');
  await browser.close();
  server.close();
} catch (error) {
  abort(error.stack || String(error));
  await new Promise(() => {});
}
clearTimeout(watchdog);
rmSync(scratch, { recursive: true, force: true });
console.log('all recording tests passed');
