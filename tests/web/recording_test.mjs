// Recordings in the browser: the game tests' run replays natively to the page's last frame (and
// its part saved after a game, to where it was saved), and plays in the canvas to that frame,
// leaving the best score alone; a malformed one is refused with its line.
import { spawnSync } from 'node:child_process';
import { writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { check, fail, firstDifference, readDump, waitState } from './harness.mjs';

const ended = (page) =>
  waitState(page, () => quendraPage.exitCode !== undefined, 'end of the program');

export async function recordingTests(t) {
  if (!t.run) fail('the recording tests replay the run of the game\'s tests: ONLY=game,recording');
  const [recording, lastPage] = t.run;
  const page = await t.newPage();
  await page.goto(t.url, { waitUntil: 'load' });
  const recorded = join(t.scratch, 'run.replay');
  writeFileSync(recorded, recording);
  check((recording.match(/^check /gm) || []).length >= 2 && /^end 0$/m.test(recording) &&
    /^button down$/m.test(recording), 'the recording has the click, checkpoints and its end');

  // The native quendra-replay: every checkpoint holds, and its last frame is the page's.
  writeFileSync(join(t.scratch, 'dumped.replay'),
    recording.replace(/\n(key alt\+f10\n)(?![\s\S]*\nkey alt\+f10\n)/, '\ndump last.bmp\n$1'));
  const replay = spawnSync(t.replay, ['dumped.replay'], { cwd: t.scratch, timeout: 60000 });
  check(replay.status === 0 && replay.stderr.length === 0, `quendra-replay replays it ` +
    `(exit ${replay.status}${replay.stderr.length ? ': ' + replay.stderr : ''})`);
  const replayed = readDump(join(t.scratch, 'last.bmp'));
  check(!firstDifference(lastPage, replayed), "the replay's last frame is the page's");

  // Saved after the first game, the run so far replays to where it was saved, and says so.
  writeFileSync(join(t.scratch, 'saved.replay'), t.saved);
  const part = spawnSync(t.replay, ['saved.replay'],
    { cwd: t.scratch, timeout: 60000, encoding: 'utf8' });
  check(part.status === 0 && /^button down$/m.test(t.saved) && !/^end /m.test(t.saved) &&
    /^quendra-replay: the recording ends early, at line \d+: [^\n]*\n$/.test(part.stderr),
  `the run saved after a game replays to its end (exit ${part.status}: ${part.stderr})`);

  // Chosen in the page, the recording plays in the canvas to the same last frame.
  const bestScore = () => page.evaluate(() => {
    try { return Module.FS.stat('/quendra/QUENDRA.DAT').mtime.getTime(); } catch { return null; }
  });
  await waitState(page, () => Module.FS && Module.calledRun !== undefined, 'the program loaded');
  const bestBefore = await bestScore();
  await (await page.$('#recording-file')).uploadFile(recorded);
  await ended(page);
  const watched = await page.evaluate(() => [quendraPage.exitCode, quendraPage.test.rawPage(),
    quendraPage.state.frames]);
  check(watched[0] === 0 && watched[2] > 20, `the recording played in the canvas (exit ` +
    `${watched[0]}, ${watched[2]} frames)`);
  check(!firstDifference(watched[1], replayed), 'and showed the same last frame');
  check(bestBefore !== null && await bestScore() === bestBefore,
    "watching left the player's best score alone");

  // A malformed one is refused (exit 2), and its line is said.
  writeFileSync(join(t.scratch, 'bad.replay'), 'begin\nframe\nwait soon\n');
  await page.reload({ waitUntil: 'load' });
  await (await page.$('#recording-file')).uploadFile(join(t.scratch, 'bad.replay'));
  await ended(page);
  check(await page.evaluate(() => quendraPage.exitCode) === 2 &&
    t.lines.some((line) => line.includes('line 3: bad time')),
  'a malformed recording is refused with its line');
  await page.close();
}
