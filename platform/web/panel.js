// The page's panel: the last game's score and the best score, outside the picture; and the
// player's settings, sound on or off and the mouse speed, kept in the browser's storage.
'use strict';

(() => {
  const page = quendraPage;
  const scores = document.getElementById('scores');
  const lastScore = document.getElementById('last-score');
  const bestScore = document.getElementById('best-score');
  const settings = document.getElementById('settings');
  const start = document.getElementById('start');
  const pause = document.getElementById('pause');
  const mute = document.getElementById('mute');
  const speed = document.getElementById('speed');
  const speedValue = document.getElementById('speed-value');
  const MUTED = 'quendra.muted', SPEED = 'quendra.mouseSpeed';
  const SPEED_MIN = 0.25, SPEED_MAX = 4;

  // Storage may be refused (a private window, a frame of another site): the settings then
  // last as long as the page.
  function load(key) {
    try { return localStorage.getItem(key); } catch (error) { return null; }
  }
  function store(key, value) {
    try { localStorage.setItem(key, value); } catch (error) { /* kept for this visit */ }
  }

  function setMuted(muted) {
    page.setMuted(muted);
    mute.textContent = muted ? 'Sound: off' : 'Sound: on';
    mute.setAttribute('aria-pressed', String(muted));
  }
  // The slider moves the speed by steps of an eighth of a doubling: 0.25 and 4 are two
  // doublings either side of 1. mouse.cpp applies it, with what is left over carried.
  function setSpeed(factor) {
    page.mouseSpeed = factor;
    speed.value = String(Math.log2(factor));
    speedValue.textContent = `${Number(factor.toFixed(2))}\u00d7`;
  }
  setMuted(load(MUTED) === '1');
  const stored = Number(load(SPEED));
  setSpeed(stored >= SPEED_MIN && stored <= SPEED_MAX ? stored : 1);
  mute.addEventListener('click', () => {
    setMuted(!page.muted);
    store(MUTED, page.muted ? '1' : '0');
  });
  speed.addEventListener('input', () => {
    setSpeed(Math.min(SPEED_MAX, Math.max(SPEED_MIN, 2 ** Number(speed.value))));
    store(SPEED, String(page.mouseSpeed));
  });

  // The scores once a game has ended: its highest score (what the best score is measured by)
  // and the best. Where the picture leaves no bar for them they cover its foot in the menu only.
  let wasPlaying = false, lastGame = null, shown = '';
  page.watchers.push(() => {
    const playing = page.state.playing === 1;
    if (wasPlaying && !playing) lastGame = page.state.runBest;
    wasPlaying = playing;
    const visible = lastGame !== null && !(playing && scores.classList.contains('over-picture'));
    const now = visible ? `${lastGame} ${page.state.bestScore}` : '';
    if (now !== shown) {
      shown = now;
      scores.hidden = !visible;
      lastScore.textContent = lastGame;
      bestScore.textContent = page.state.bestScore;
    }
    // The settings go with whichever overlay lets the player reach them.
    const home = pause.hidden ? start : pause;
    if (settings.parentNode !== home) home.appendChild(settings);
  });
})();
