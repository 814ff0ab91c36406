// The page's side of the browser version: it turns the browser's events into the queue the
// program reads, holds the pointer and the audio context, draws the pages the program presents
// and shows its dialogs. The program (quendra.js, quendra.wasm) calls in here; nothing here
// calls into the program, which may be asleep in a wait.
'use strict';

const quendraPage = (() => {
  const canvas = document.getElementById('screen');
  const stage = document.getElementById('stage');
  const overlays = {
    start: document.getElementById('start'),
    pause: document.getElementById('pause'),
    end: document.getElementById('end'),
  };
  const KEY = 1, SIZE = 2, SIZE_RESTORED = 0, SIZE_MINIMIZED = 1;
  const MOD_SHIFT = 1, MOD_CONTROL = 2, MOD_ALT = 4;
  // Keys the browser would act on (scroll, move the focus, open its menu); its own shortcuts
  // (Ctrl+R, F11 ...) keep working.
  const BROWSER_KEYS = new Set(['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'Enter',
    'Escape', ' ', 'Tab', 'Backspace', 'Alt', 'AltGraph', 'F10']);
  const STATE_NAMES = ['frames', 'playing', 'score', 'runBest', 'bestScore', 'cursorX',
    'cursorY', 'menuSelection', 'windowActive'];

  const page = {
    events: [],
    mouse: { acquired: false, lost: false, dx: 0, dy: 0, buttons: 0 },
    state: [],
    pixelCount: 0,
    instancesStarted: 0,
  };
  let waiter = null;      // resolves the program's wait for an event
  let running = false;    // the program runs and has not ended
  let ready = false, wanted = false;
  let active = true;      // what the program was last told: restored or minimised
  let releasing = false;  // the page gives the pointer back itself; that is no Escape
  let wantPointer = true; // false once an error box gave the pointer back to answer it
  let context2d = null, image = null, pixels32 = null, rawPage = null, widen = null;
  let audio = null;
  const sounds = new Map();

  // Events for the program: [KEY, key, code, modifiers] (the KeyboardEvent's names; the
  // program knows the virtual keys) or [SIZE, state].
  function post(...event) {
    if (!running) return;
    page.events.push(event);
    if (waiter) { waiter(); waiter = null; }
  }

  page.yieldToBrowser = () => new Promise((resolve) => setTimeout(resolve, 0));
  page.nextEvent = (ms) => new Promise((resolve) => {
    if (page.events.length) return resolve();
    waiter = resolve;
    setTimeout(() => { if (waiter === resolve) waiter = null; resolve(); }, ms);
  });

  document.addEventListener('keydown', (event) => {
    if (!running || document.querySelector('dialog[open]')) return;
    const modifiers = (event.shiftKey ? MOD_SHIFT : 0) | (event.ctrlKey ? MOD_CONTROL : 0) |
      (event.altKey ? MOD_ALT : 0);
    if (BROWSER_KEYS.has(event.key)) event.preventDefault();
    post(KEY, event.key, event.code, modifiers);
  });

  // Frames run while the page is visible, focused and holds the pointer the game wants;
  // otherwise the program is told it was minimised, as a desktop window that loses the
  // foreground.
  function locked() { return document.pointerLockElement === canvas; }
  function update() {
    const now = running && !document.hidden && document.hasFocus() && (locked() || !wantPointer);
    overlays.pause.hidden = !running || now;
    if (!running || now === active) return;
    active = now;
    post(SIZE, now ? SIZE_RESTORED : SIZE_MINIMIZED);
  }
  // One request at a time: a second one while the first is pending would be refused and
  // pause the game for nothing.
  let lockPending = false;
  function requestLock() {
    if (lockPending || locked()) return;
    lockPending = true;
    try {
      const request = canvas.requestPointerLock();
      if (request && request.catch) request.catch(() => { lockPending = false; update(); });
    } catch (error) { lockPending = false; update(); }
  }
  function requestFullScreen() {
    if (document.fullscreenElement || !stage.requestFullscreen) return;
    // With the keyboard locked in full screen, Escape reaches the game instead of the browser.
    stage.requestFullscreen({ navigationUI: 'hide' })
      .then(() => navigator.keyboard && navigator.keyboard.lock && navigator.keyboard.lock(['Escape']))
      .catch(() => {});
  }
  document.addEventListener('pointerlockchange', () => {
    lockPending = false;
    // A lock granted late, after an error box or the end gave the pointer back, goes back too.
    if (locked() && (!running || !wantPointer)) {
      givePointerBack();
      return;
    }
    if (!locked()) {
      const mouse = page.mouse;
      if (mouse.acquired) { mouse.acquired = false; mouse.lost = true; }
      mouse.buttons = 0;
      // Where the browser takes Escape for itself to release the pointer, the program still
      // gets its Escape: a game must never run on with a mouse that does nothing.
      if (running && !releasing && !document.hidden && document.hasFocus()) post(KEY, 'Escape', 'Escape', 0);
    }
    releasing = false;
    update();
  });
  document.addEventListener('pointerlockerror', () => { lockPending = false; update(); });
  document.addEventListener('visibilitychange', update);
  window.addEventListener('blur', update);
  window.addEventListener('focus', update);

  document.addEventListener('mousemove', (event) => {
    if (!page.mouse.acquired || !locked()) return;
    page.mouse.dx += event.movementX;
    page.mouse.dy += event.movementY;
  });
  function button(down) {
    return (event) => {
      if (event.button !== 0 || !locked()) return;
      page.mouse.buttons = down ? 1 : 0;
    };
  }
  document.addEventListener('mousedown', button(true));
  document.addEventListener('mouseup', button(false));

  page.mouseAcquire = () => {
    const mouse = page.mouse;
    if (!locked()) {
      wantPointer = true;
      if (running && !document.hidden) requestLock();
      return false;
    }
    if (!mouse.acquired) Object.assign(mouse, { acquired: true, lost: false, dx: 0, dy: 0 });
    return true;
  };
  page.mouseUnacquire = () => {
    page.mouse.acquired = false;
    if (locked()) { releasing = true; document.exitPointerLock(); }
  };
  page.hideCursor = () => { canvas.style.cursor = 'none'; };

  // The display: RGB565 pages widened to 8 bits a channel by bit replication.
  page.openCanvas = (width, height) => {
    canvas.width = width;
    canvas.height = height;
    context2d = canvas.getContext('2d', { alpha: false });
    if (!context2d) return false;
    image = context2d.createImageData(width, height);
    pixels32 = new Uint32Array(image.data.buffer);
    page.pixelCount = width * height;
    rawPage = new Uint16Array(page.pixelCount);
    widen = new Uint32Array(65536);
    for (let p = 0; p < 65536; ++p) {
      const r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
      widen[p] = (0xff000000 | (((b << 3) | (b >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) |
        ((r << 3) | (r >> 2))) >>> 0;
    }
    return true;
  };
  page.present = (source) => {
    rawPage.set(source);
    for (let i = 0; i < source.length; ++i) pixels32[i] = widen[source[i]];
    context2d.putImageData(image, 0, 0);
  };
  page.nextFrame = () => new Promise((resolve) => {
    let done = false;
    const finish = () => { if (!done) { done = true; resolve(); } };
    requestAnimationFrame(finish);
    setTimeout(finish, 100);  // a hidden page gets no animation frames
  });

  // Sound: one buffer a sound, any number of instances at once.
  page.audioOpen = () => {
    try {
      if (!audio) audio = new (window.AudioContext || window.webkitAudioContext)();
    } catch (error) { return 0; }
    return audio.sampleRate | 0;
  };
  page.audioPrepare = (id, samples) => {
    const buffer = audio.createBuffer(1, samples.length, audio.sampleRate);
    const data = buffer.getChannelData(0);
    for (let i = 0; i < samples.length; ++i) data[i] = samples[i] / 32768;
    sounds.set(id, { buffer, playing: new Set() });
    return true;
  };
  page.audioPlay = (id) => {
    const sound = sounds.get(id);
    if (!sound) return false;
    if (audio.state !== 'running') return true;  // not allowed to sound: silence, not failure
    ++page.instancesStarted;
    const source = audio.createBufferSource();
    source.buffer = sound.buffer;
    source.connect(audio.destination);
    source.onended = () => sound.playing.delete(source);
    sound.playing.add(source);
    source.start();
    return true;
  };
  page.audioStop = (id) => {
    const sound = sounds.get(id);
    if (!sound) return;
    for (const source of sound.playing) source.stop();
    sound.playing.clear();
  };
  page.audioForget = (id) => { page.audioStop(id); sounds.delete(id); };
  page.audioClose = () => {
    for (const id of [...sounds.keys()]) page.audioForget(id);
    if (audio) audio.close();
    audio = null;
  };

  function givePointerBack() {
    if (locked()) { releasing = true; document.exitPointerLock(); }
    if (navigator.keyboard && navigator.keyboard.unlock) navigator.keyboard.unlock();
  }

  page.errorBox = (title, text) => new Promise((resolve) => {
    wantPointer = false;
    givePointerBack();
    const dialog = document.getElementById('error');
    dialog.querySelector('h2').textContent = title;
    dialog.querySelector('p').textContent = text;
    dialog.addEventListener('close', () => resolve(), { once: true });
    dialog.showModal();
  });

  function showEnd(text) {
    running = false;
    wantPointer = false;
    givePointerBack();
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    canvas.style.cursor = '';
    overlays.start.hidden = overlays.pause.hidden = true;
    overlays.end.querySelector('p').textContent = text;
    overlays.end.hidden = false;
  }
  page.programEnded = (code) => {
    showEnd(code === 0 ? 'The game has ended.' : `The game stopped after an error (exit code ${code}).`);
    page.exitCode = code;
  };
  // The program could not be loaded or started (no WebAssembly, a page opened as a file).
  page.aborted = () => showEnd('The game could not be loaded. It must be served over http, ' +
    'by any static web server (make web-serve), to a browser with WebAssembly.');

  let programArguments = [];
  function run() {
    running = true;
    Module.callMain(programArguments);
  }
  // A gesture gives the page what only a gesture can: sound, full screen and the pointer (the
  // program's arguments and whether it wants the pointer: recording.js starts it to watch).
  page.start = (args, pointer) => {
    overlays.start.hidden = true;
    programArguments = args;
    wantPointer = pointer;
    if (pointer) {
      requestLock();  // first: a full-screen request made first makes chromium refuse the lock
      requestFullScreen();
    }
    page.audioOpen();
    if (audio && audio.resume) audio.resume().catch(() => {});
    if (ready) run(); else wanted = true;
  };
  overlays.start.querySelector('button').addEventListener('click', () => page.start([], true));
  overlays.pause.addEventListener('click', () => { requestLock(); requestFullScreen(); });
  overlays.end.querySelector('button').addEventListener('click', () => location.reload());

  page.ready = () => { ready = true; if (wanted) run(); };
  // A failed fetch of the program surfaces only as a rejected promise.
  window.addEventListener('unhandledrejection', () => { if (!ready) page.aborted(); });
  if (location.protocol === 'file:') page.aborted();

  // For the tests: the last presented page as raw RGB565 values, what the canvas shows, the
  // game's state at the last flip, the sounds, and a promise that the best score is saved.
  page.test = {
    rawPage: () => rawPage && Array.from(rawPage),
    canvas: () => Array.from(context2d.getImageData(0, 0, canvas.width, canvas.height).data),
    state: () => Object.fromEntries(STATE_NAMES.map((name, i) => [name, page.state[i]])),
    sounds: () => ({ state: audio?.state, started: page.instancesStarted,
      lengths: [...sounds.values()].map((sound) => sound.buffer.length) }),
    saved: () => Module.quendraSaved || Promise.resolve(true),
  };
  return page;
})();

var Module = {
  onRuntimeInitialized: () => quendraPage.ready(),
  onAbort: () => quendraPage.aborted(),
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
};
