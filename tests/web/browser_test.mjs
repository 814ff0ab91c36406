// The browser version in Debian's chromium, headless, against the page served on this machine:
//   node browser_test.mjs BUILD_WEB_FOLDER QUENDRA_REPLAY [FRAME_CHECK]
// (FRAME_CHECK: tests/frame_check of the replay's build folder unless given). It runs the
// game's tests with a mouse and keys (game_test.mjs), by touch on phones and a tablet
// (touch_test.mjs), the picture's looks and the page in a frame (looks_test.mjs), recordings
// (recording_test.mjs) and the page offline (offline_test.mjs); ONLY=touch,looks runs some of
// them (Firefox the game's alone). SHOTS=FOLDER keeps screenshots of a phone's menu and games
// there, to be looked at.
import { existsSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { serve } from '../../platform/web/serve.mjs';
import { fail, run } from './harness.mjs';
import { gameTests } from './game_test.mjs';
import { looksTests } from './looks_test.mjs';
import { offlineTests } from './offline_test.mjs';
import { recordingTests } from './recording_test.mjs';
import { touchTests } from './touch_test.mjs';

const [folder, replay, frameCheck] = process.argv.slice(2).map((path) => resolve(path));
await run('browser', 1500000, async (t) => {
  t.folder = folder, t.replay = replay;
  t.frameCheck = frameCheck || join(dirname(replay), 'tests', 'frame_check');
  if (!existsSync(t.frameCheck)) fail(`no ${t.frameCheck} (cmake --build BUILD --target frame_check)`);
  const server = await serve(folder);
  t.url = `http://127.0.0.1:${server.address().port}/`;
  const only = process.env.ONLY?.split(',') || (process.env.FIREFOX ? ['game'] : null);
  for (const [name, tests] of [['game', gameTests], ['touch', touchTests], ['looks', looksTests],
    ['recording', recordingTests], ['offline', offlineTests]])
    if (!only || only.includes(name)) await tests(t);
  server.close();
});
