// The browser version in Debian's chromium, headless, against the page served on this machine:
//   node browser_test.mjs BUILD_WEB_FOLDER QUENDRA_REPLAY [FRAME_CHECK]
// ONLY=touch,looks runs some parts (Firefox the game's alone); SHOTS=FOLDER keeps a phone's
// screenshots there, to be looked at.
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
  if (!existsSync(t.frameCheck))
    fail(`no ${t.frameCheck} (cmake --build BUILD --target frame_check)`);
  const server = await serve(folder);
  t.url = `http://127.0.0.1:${server.address().port}/`;
  const only = process.env.ONLY?.split(',') || (process.env.FIREFOX ? ['game'] : null);
  for (const [name, tests] of [['game', gameTests], ['touch', touchTests], ['looks', looksTests],
    ['recording', recordingTests], ['offline', offlineTests]])
    if (!only || only.includes(name)) await tests(t);
  server.close();
});
