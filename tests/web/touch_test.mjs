// The game by touch on a phone and a tablet, as chromium emulates them: the start page and the
// on-screen buttons, thumb-sized and off the picture; a finger shoots when lifted (also between
// two frames), aims and drags; only the first finger aims.
import { join } from 'node:path';
import { KnownDevices } from 'puppeteer-core';
import {
  check, fail, frameCheck, replayMenu, screenshotPpm, start, state, waitState,
} from './harness.mjs';

const THUMB = 44;  // CSS pixels, the least a control may measure either way

// The visible on-screen buttons and the picture, in CSS pixels.
const layout = (page) => page.evaluate(() => {
  const box = (e) => {
    const r = e.getBoundingClientRect();
    return { x: r.x, y: r.y, w: r.width, h: r.height };
  };
  return {
    picture: box(document.getElementById('screen')),
    buttons: [...document.querySelectorAll('#controls button')].filter((b) => b.checkVisibility())
      .map((b) => ({ name: b.textContent.trim(), ...box(b) })),
    scores: document.getElementById('scores').checkVisibility() ?
      box(document.getElementById('scores')) : null,
    viewport: { w: innerWidth, h: innerHeight },
  };
});
const overlaps = (a, b) => a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;

// The buttons visible, thumb-sized, on the screen, below the picture in portrait and beside it
// in landscape; the screenshot shows the menu whole and even where the picture is.
async function checkLayout(t, page, device, names) {
  const { picture, buttons, scores, viewport } = await layout(page);
  const portrait = viewport.h > viewport.w;
  check(JSON.stringify(buttons.map((b) => b.name)) === JSON.stringify(names),
    `${device}: the buttons ${names.join(', ')}`);
  const wrong = buttons.filter((b) => b.w < THUMB || b.h < THUMB || b.x < 0 || b.y < 0 ||
    b.x + b.w > viewport.w || b.y + b.h > viewport.h || overlaps(b, picture) ||
    (portrait ? b.y < picture.y + picture.h : b.x < picture.x + picture.w));
  check(!wrong.length, `${device}: thumb-sized, on the screen, ${portrait ? 'below' : 'beside'} ` +
    `the picture (${JSON.stringify(wrong.length ? [picture, wrong] : picture)})`);
  check(!scores || !overlaps(scores, picture), `${device}: the scores off the picture`);
  const { bestScore } = await state(page);
  const menu = replayMenu(t, bestScore);
  const shot = join(t.scratch, `${device.replace(/\W/g, '-')}.ppm`);
  await screenshotPpm(page, shot);
  const area = await page.evaluate(() => quendraPage.test.area());
  const differs = frameCheck(t, 'even', menu.path, shot,
    ...[area.x, area.y, area.w, area.h].map(String));
  check(!differs, `${device}: nothing covers the picture, and its pixels are even` +
    (differs ? `: ${differs}` : ''));
}

// A pixel of the game's picture as a point on the page.
const pointOf = (page, x, y) => page.evaluate((x, y) => {
  const r = document.getElementById('screen').getBoundingClientRect();
  return [r.x + (x + 0.5) * r.width / 640, r.y + (y + 0.5) * r.height / 480];
}, x, y);
const near = (s, [x, y]) => Math.abs(s.cursorX - x) <= 2 && Math.abs(s.cursorY - y) <= 2;

// SHOTS=FOLDER: a screenshot there, to be looked at.
const shoot = (page, name) =>
  process.env.SHOTS && page.screenshot({ path: join(process.env.SHOTS, `${name}.png`) });

async function tap(page, selector) {
  const button = await page.$(selector);
  if (!button || !(await button.isVisible())) fail(`no ${selector} to tap`);
  await button.tap();
}

async function phone(t) {
  const page = await t.newPage();
  await page.emulate(KnownDevices['iPhone 13']);
  await page.goto(t.url, { waitUntil: 'load' });
  check(await page.$eval('#start', (e) => e.innerText.includes('Tap to play') &&
    e.innerText.includes('lift to shoot') && !e.innerText.includes('Alt+F10')),
  'iPhone 13: the start page says how to play by touch');
  await start(page, { tap: true });
  check(await page.evaluate(() => !document.pointerLockElement &&
    quendraPage.state.windowActive === 1),
    'iPhone 13: the menu runs by touch, without the pointer lock');
  await shoot(page, 'phone-menu');
  await checkLayout(t, page, 'iPhone 13', ['\u25b2', '\u25bc', 'OK', 'Leave']);
  for (const [key, name, value] of [['ArrowDown', 'menuSelection', 1],
    ['ArrowUp', 'menuSelection', 0], ['Enter', 'playing', 1]]) {
    await tap(page, `[data-key=${key}]`);
    await waitState(page, (n, v) => quendraPage.state[n] === v, `${name} ${value}`, name, value);
  }

  // A finger down and up on a young target's centre before the next frame is a shot.
  await waitState(page, () => quendraPage.state.targetFrame < 8, 'a young target');
  const before = await state(page);
  const [x, y] = await pointOf(page, before.targetX + 79, before.targetY + 79);
  await page.evaluate((x, y) => {
    const canvas = document.getElementById('screen');
    const touch = new Touch({ identifier: 7, target: canvas, clientX: x, clientY: y });
    const options = { changedTouches: [touch], bubbles: true, cancelable: true };
    canvas.dispatchEvent(new TouchEvent('touchstart', { ...options, touches: [touch] }));
    canvas.dispatchEvent(new TouchEvent('touchend', { ...options, touches: [] }));
  }, x, y);
  await waitState(page, (score) => quendraPage.state.score > score, 'a quick tap\'s shot',
    before.score);

  // A drag: the crosshair follows the first finger; a second finger moves nothing.
  const [from, to, other] = [[200, 150], [450, 330], [100, 400]];
  const first = await page.touchscreen.touchStart(...await pointOf(page, ...from));
  await first.move(...await pointOf(page, ...to));
  await waitState(page, (x, y) => Math.abs(quendraPage.state.cursorX - x) <= 2 &&
    Math.abs(quendraPage.state.cursorY - y) <= 2, 'the crosshair at the finger', ...to);
  const second = await page.touchscreen.touchStart(...await pointOf(page, ...other));
  await second.move(...await pointOf(page, other[0] + 40, other[1] - 40));
  await page.evaluate(() => testFrames(3));
  check(near(await state(page), to), 'a second finger does not aim');
  await second.end();
  await first.end();
  await shoot(page, 'phone-game');
  check(JSON.stringify((await layout(page)).buttons.map((b) => b.name)) === '["End game"]',
    'iPhone 13: in a game, End game alone');
  await tap(page, '[data-key=Escape]');
  await waitState(page, () => quendraPage.state.playing === 0, 'the menu after End game');
  const ended = await state(page);  // runBest stays the last game's
  const scores = await page.$eval('#scores', (e) => e.checkVisibility() && e.innerText);
  check(scores && scores.replace(/\s+/g, ' ').includes(`Last game ${ended.runBest}`),
    `the last game's score below the picture (${String(scores).replace(/\s+/g, ' ')})`);
  await shoot(page, 'phone-after-game');
  await tap(page, '[data-key=F10]');
  await page.waitForSelector('#end:not([hidden])').catch(() => fail('no end after Leave'));
  check(await page.evaluate(() => quendraPage.exitCode === 0), 'Leave ended the program');
  await page.close();
}

// In landscape, and on a tablet both ways: the buttons' places.
async function otherWays(t) {
  for (const device of ['iPhone 13 landscape', 'iPad (gen 7)', 'iPad (gen 7) landscape']) {
    const page = await t.newPage();
    await page.emulate(KnownDevices[device]);
    await page.goto(t.url, { waitUntil: 'load' });
    await start(page, { tap: true });
    await checkLayout(t, page, device, ['\u25b2', '\u25bc', 'OK', 'Leave']);
    if (process.env.SHOTS && device === 'iPhone 13 landscape') {
      await tap(page, '[data-key=Enter]');
      await waitState(page, () => quendraPage.state.playing === 1, 'a game after OK');
      await page.evaluate(() => testFrames(20));
      await shoot(page, 'phone-landscape-game');
    }
    await page.close();
  }
}

export async function touchTests(t) {
  await phone(t);
  await otherWays(t);
}
