// Playing by touch: a finger on the picture takes the crosshair to it and holds the button,
// lifting it shoots where the crosshair is; the buttons beside the picture are the game's keys.
'use strict';

(() => {
  const page = quendraPage;
  const canvas = document.getElementById('screen');
  const controls = document.getElementById('controls');
  const buttons = [...controls.querySelectorAll('button')];

  // The aiming finger's point, for the next read (mouse.cpp turns it into motion).
  function aim(touch) {
    const point = page.pagePoint(touch.clientX, touch.clientY);
    if (point) page.finger.aim = point;
  }
  function aiming(event) {
    return [...event.changedTouches].find((touch) => touch.identifier === page.finger.id);
  }
  // Only the first finger aims; the others are ignored until it is lifted.
  canvas.addEventListener('touchstart', (event) => {
    event.preventDefault();  // no mouse events made up from it, no zoom, no scroll
    if (!page.running) return;
    page.fingerDown();
    const finger = page.finger;
    if (finger.id !== null || !page.active || page.state.playing !== 1) return;
    const touch = event.changedTouches[0];
    finger.id = touch.identifier;
    aim(touch);
    finger.down = true;
    page.press();
  }, { passive: false });
  canvas.addEventListener('touchmove', (event) => {
    event.preventDefault();
    const touch = aiming(event);
    if (touch) aim(touch);
  }, { passive: false });
  function lift(event) {
    event.preventDefault();
    const touch = aiming(event);
    if (!touch) return;
    aim(touch);
    Object.assign(page.finger, { id: null, down: false });
  }
  canvas.addEventListener('touchend', lift, { passive: false });
  canvas.addEventListener('touchcancel', lift, { passive: false });

  // Up, Down and OK in the menu, End game during play, Leave from the menu (not in a game,
  // where a stray thumb would lose it).
  for (const button of buttons) {
    button.addEventListener('click', () => {
      page.postKey(button.dataset.key, 'alt' in button.dataset);
      button.blur();  // a key typed next goes to the game, not to this button as well
    });
  }
  let shown = null;
  page.watchers.push(() => {
    const now = `${page.hasTouch && page.running} ${page.state.playing === 1}`;
    if (now === shown) return;
    shown = now;
    controls.hidden = !(page.hasTouch && page.running);
    for (const button of buttons)
      button.hidden = (button.dataset.when === 'play') !== (page.state.playing === 1);
  });
})();
