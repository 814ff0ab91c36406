// The picture with even pixels at 1920x1080 and 1366x768 (frame_check's reference, as on the
// desktop), and the page playing inside a frame of another site with one click.
import { createServer } from 'node:http';
import { join } from 'node:path';
import {
  check, frameCheck, replayMenu, screenshotPpm, start, state, waitState,
} from './harness.mjs';

// Through WebGL at both sizes; without it, the canvas's own filter (a sixteenth of a pixel fine)
// at 1366x768, where every blend weight is a multiple of that.
async function evenPixels(t) {
  for (const [webGl, sizes] of [[true, [[1920, 1080], [1366, 768]]], [false, [[1366, 768]]]]) {
    const page = await t.newPage();
    if (!webGl) await page.evaluateOnNewDocument(() => window.addEventListener('DOMContentLoaded',
      () => { quendraPage.noWebGl = true; }));
    await page.setViewport({ width: sizes[0][0], height: sizes[0][1], deviceScaleFactor: 1 });
    await page.goto(t.url, { waitUntil: 'load' });
    await start(page);
    const menu = replayMenu(t, (await state(page)).bestScore);
    for (const [width, height] of sizes) {
      await page.setViewport({ width, height, deviceScaleFactor: 1 });
      // Laid out anew, and a frame drawn since.
      await waitState(page, (h) => quendraPage.test.area().h === h, 'the new layout', height);
      await page.evaluate(() => testFrames(2));
      const shot = join(t.scratch, `even-${width}.ppm`);
      await screenshotPpm(page, shot);
      const wrong = frameCheck(t, 'even', menu.path, shot);
      check(!wrong, `at ${width}x${height} every game pixel is the same size` +
        `${webGl ? '' : ' (without WebGL)'}${wrong ? `: ${wrong}` : ''}`);
    }
    await page.close();
  }
}

// The page in a frame of another origin that allows full screen and the pointer lock.
async function inFrame(t) {
  const host = createServer((request, response) => {
    response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
    response.end(`<!doctype html><title>Games</title><h1>Another site</h1>
      <iframe src="${t.url}" allow="fullscreen" width="800" height="600"
        sandbox="allow-scripts allow-same-origin allow-pointer-lock"></iframe>`);
  });
  await new Promise((resolve) => host.listen(0, '127.0.0.1', resolve));
  try {
    const page = await t.newPage();
    await page.goto(`http://127.0.0.1:${host.address().port}/`, { waitUntil: 'load' });
    const frame = await (await page.waitForSelector('iframe')).contentFrame();
    await frame.waitForFunction(() => document.readyState === 'complete');
    await start(frame);
    await waitState(frame, () => document.pointerLockElement?.id === 'screen',
      'pointer lock in the frame');
    await page.keyboard.press('Enter');
    await waitState(frame, () => quendraPage.state.playing === 1 &&
      quendraPage.state.windowActive === 1, 'a game running in the frame');
    check(await frame.evaluate(() => document.pointerLockElement !== null && document.hasFocus()),
      'in a frame of another site one click plays, with the keys and the pointer');
    await page.close();
  } finally {
    host.close();
  }
}

export async function looksTests(t) {
  await evenPixels(t);
  await inFrame(t);
}
