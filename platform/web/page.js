// The page's side of the browser version: it turns the browser's events into the queue and the
// mouse readings the program takes, tells it when the page is in front, holds the pointer and
// the audio context, and shows its dialogs and its end. The program (quendra.js, quendra.wasm)
// calls in here; nothing here calls into the program, which may be asleep in a wait. screen.js
// draws the pictures, touch.js adds the finger and the on-screen buttons, panel.js the scores
// and the settings.
'use strict';

const quendraPage = (() => {
  const canvas = document.getElementById('screen');
  const stage = document.getElementById('stage');
  const loading = document.getElementById('loading');
  const overlays = {
    start: document.getElementById('start'),
    pause: document.getElementById('pause'),
    end: document.getElementById('end'),
  };
  const KEY = 1, SIZE = 2, SIZE_RESTORED = 0, SIZE_MINIMIZED = 1;
  const MOD_SHIFT = 1, MOD_CONTROL = 2, MOD_ALT = 4;
  // Keys the browser would act on (scroll, move the focus, open its menu) that are the game's:
  // the named keys the program gives (window.cpp), and F10 of Alt+F10; the browser's own
  // shortcuts (Ctrl+R, F11 ...) keep working.
  let gameKeys = new Set();

  const page = {
    // Touch shows the on-screen buttons and the touch instructions; no mouse hides the mouse's.
    hasTouch: navigator.maxTouchPoints > 0 || matchMedia('(any-pointer: coarse)').matches,
    events: [],
    // The mouse since the last good read: motion, the button now, and a press not yet read.
    mouse: { acquired: false, dx: 0, dy: 0, buttons: 0, pressed: false },
    // touch.js: the touch that aims, the point the crosshair should go to, the button held
    finger: { id: null, aim: null, down: false },
    mouseSpeed: 1,                        // panel.js keeps the player's choice
    // A browser that switches tabs may drop the pointer before it hides the page or takes the
    // focus; a lost pointer is the player's Escape only when neither follows within this time.
    settleMs: 400,
    touchMode: false,                     // playing by touch: no pointer lock is wanted
    state: {},                            // the game's state at the last publication, by name
    running: false,                       // the program runs and has not ended
    active: true,                         // what the program was last told: restored or not
    watchers: [],                         // told of every new state and change of activity
    pixelCount: 0,
    instancesStarted: 0,
  };
  document.documentElement.classList.toggle('touch', page.hasTouch);
  // (A device without touch is taken to have a mouse: some report no pointer at all.)
  document.documentElement.classList.toggle('no-mouse',
    page.hasTouch && !matchMedia('(any-pointer: fine)').matches);
  let stateNames = [];
  let waiter = null;      // resolves the program's wait for an event
  let ready = false, wanted = false, presented = false;
  let releasing = false;  // the page gives the pointer back itself; that is no Escape
  let wantPointer = true; // false once an error box gave the pointer back to answer it
  let fingerReady = false;  // by touch: the player tapped to play and the page stayed in front
  let settling = null;    // the timer deciding whether a lost pointer was the player's Escape
  let lockPending = false;  // a pointer lock was asked for and not yet granted or refused
  let lastPointerType = 'mouse';
  let audio = null, volume = null;
  const sounds = new Map();

  // Events for the program: [KEY, key, code, modifiers] (the KeyboardEvent's names; the
  // program knows the virtual keys) or [SIZE, state].
  function post(...event) {
    if (!page.running) return;
    page.events.push(event);
    if (waiter) { waiter(); waiter = null; }
  }

  page.takeKeys = (names) => { gameKeys = new Set([...names.split('\n').filter(Boolean), 'F10']); };
  // A key for the program as if typed (with MOD_ALT for Alt).
  page.postKey = (key, alt) => post(KEY, key, key, alt ? MOD_ALT : 0);

  page.yieldToBrowser = () => new Promise((resolve) => setTimeout(resolve, 0));
  page.nextEvent = (ms) => new Promise((resolve) => {
    if (page.events.length) return resolve();
    waiter = resolve;
    setTimeout(() => { if (waiter === resolve) waiter = null; resolve(); }, ms);
  });

  document.addEventListener('keydown', (event) => {
    if (!page.running || document.querySelector('dialog[open]')) return;
    const modifiers = (event.shiftKey ? MOD_SHIFT : 0) | (event.ctrlKey ? MOD_CONTROL : 0) |
      (event.altKey ? MOD_ALT : 0);
    if (gameKeys.has(event.key)) event.preventDefault();
    post(KEY, event.key, event.code, modifiers);
  });

  // The state the program publishes at each flip and before each wait.
  page.stateNames = (names) => { stateNames = names.split(','); };
  page.publish = (values) => {
    const before = page.state;
    page.state = Object.fromEntries(stateNames.map((name, i) => [name, values[i]]));
    // A press the last game did not read is no shot in the next one.
    if (before.playing === 1 && page.state.playing !== 1) page.mouse.pressed = false;
    if (before.playing !== page.state.playing) update();
    else tell();
  };
  function tell() { for (const watcher of page.watchers) watcher(); }
  const inGame = () => page.state.playing === 1;

  // Frames run while the page is visible and focused and, during a game, holds what the game
  // aims with: the locked pointer, or the finger the player tapped in with. Otherwise the
  // program is told it was minimised, as a desktop window that loses the foreground, and the
  // game waits where it was. The menu needs neither.
  function locked() { return document.pointerLockElement === canvas; }
  function inFront() { return !document.hidden && document.hasFocus(); }
  function update() {
    if (!inFront()) fingerReady = false;
    const held = locked() || !wantPointer || (page.touchMode && fingerReady);
    const now = page.running && inFront() && (!inGame() || held) && !settling;
    // "Paused" only over a game that waits: not over the menu, nor while the page is still
    // finding out whether the game ends.
    overlays.pause.hidden = !page.running || now || !inGame() || !!settling;
    if (page.running && now !== page.active) {
      page.active = now;
      // Nothing pressed while away counts, nor a press still waiting when the page went.
      if (!now) Object.assign(page.mouse, { buttons: 0, pressed: false });
      if (!now) Object.assign(page.finger, { id: null, aim: null, down: false });
      post(SIZE, now ? SIZE_RESTORED : SIZE_MINIMIZED);
    }
    tell();
  }
  // One request at a time: a second one while the first is pending would be refused and
  // pause the game for nothing.
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
    // With the keyboard locked in full screen, Escape reaches the game instead of the browser
    // (not in a frame of another page, where the lock is refused).
    stage.requestFullscreen({ navigationUI: 'hide' })
      .then(() => navigator.keyboard?.lock?.(['Escape']))
      .catch(() => {});
  }
  // The pointer lost while the page stays visible and focused: the browser took Escape for
  // itself, and the game must not run on with a mouse that does nothing, so the program gets
  // its Escape. Lost with the page going to the background, it is a pause.
  function settle() {
    clearTimeout(settling);
    settling = setTimeout(() => {
      settling = null;
      if (page.running && inFront() && !locked() && inGame()) post(KEY, 'Escape', 'Escape', 0);
      update();
    }, page.settleMs);
  }
  function wentAway() {
    if (!inFront()) {
      clearTimeout(settling);
      settling = null;
      lockPending = false;  // a request the page's leaving cut short may never be answered
    }
    update();
  }
  document.addEventListener('pointerlockchange', () => {
    lockPending = false;
    // A lock granted late, after an error box or the end gave the pointer back, goes back too.
    if (locked() && (!page.running || !wantPointer)) {
      givePointerBack();
      return;
    }
    if (!locked()) {
      const mouse = page.mouse;
      if (!page.touchMode) mouse.acquired = false;
      mouse.buttons = 0;
      mouse.pressed = false;
      if (page.running && !releasing && inFront() && inGame() && !page.touchMode) settle();
    }
    releasing = false;
    update();
  });
  document.addEventListener('pointerlockerror', () => { lockPending = false; update(); });
  document.addEventListener('visibilitychange', wentAway);
  window.addEventListener('blur', wentAway);
  window.addEventListener('focus', update);
  document.addEventListener('pointerdown', (event) => { lastPointerType = event.pointerType; },
    true);

  document.addEventListener('mousemove', (event) => {
    if (!page.mouse.acquired || !locked()) return;
    page.mouse.dx += event.movementX;
    page.mouse.dy += event.movementY;
  });
  // A press counts once read even if released before the read; not one made while the page
  // is away or outside a game.
  page.press = () => { if (page.active && inGame()) page.mouse.pressed = true; };
  function button(down) {
    return (event) => {
      if (event.button !== 0 || !locked()) return;
      page.mouse.buttons = down ? 1 : 0;
      if (down) page.press();
    };
  }
  document.addEventListener('mousedown', button(true));
  document.addEventListener('mouseup', button(false));
  // A mouse click on the picture of a game played by touch takes the pointer for the mouse.
  canvas.addEventListener('pointerdown', (event) => {
    if (event.pointerType !== 'mouse' || !page.running || locked()) return;
    page.touchMode = false;
    wantPointer = true;
    requestLock();
  });
  // A finger on the picture: the game is played by touch from now on (touch.js aims).
  page.fingerDown = () => {
    page.touchMode = fingerReady = true;
    update();
  };

  page.mouseAcquire = () => {
    const mouse = page.mouse;
    if (!locked() && !page.touchMode) {
      wantPointer = true;
      // Not while the page is away, nor while it decides whether the lock was lost to Escape.
      if (page.running && inFront() && !settling) requestLock();
      return false;
    }
    if (!mouse.acquired) {
      Object.assign(mouse, { acquired: true, dx: 0, dy: 0, pressed: false });
      page.finger.aim = null;
    }
    return true;
  };
  page.mouseUnacquire = () => {
    page.mouse.acquired = false;
    if (locked()) { releasing = true; document.exitPointerLock(); }
  };
  // One reading into heap[at..at+5] (mouse.cpp says what each is); only a good read takes
  // what it reports. The finger's motion takes the crosshair from where the game last showed it.
  page.mouseRead = (heap, at) => {
    const mouse = page.mouse, finger = page.finger;
    if (!mouse.acquired) return 1;
    const aim = finger.aim || [page.state.cursorX, page.state.cursorY];
    heap.set([mouse.dx, mouse.dy, aim[0] - page.state.cursorX, aim[1] - page.state.cursorY,
      mouse.buttons | (finger.down ? 1 : 0), mouse.pressed ? 1 : 0], at);
    Object.assign(mouse, { dx: 0, dy: 0, pressed: false });
    finger.aim = null;
    return 0;
  };
  page.hideCursor = () => { canvas.style.cursor = 'none'; };

  // Sound: one buffer a sound, any number of instances at once, all through one volume that
  // panel.js turns down to mute.
  page.audioOpen = () => {
    try {
      if (!audio) {
        audio = new (window.AudioContext || window.webkitAudioContext)();
        volume = audio.createGain();
        volume.gain.value = page.muted ? 0 : 1;
        volume.connect(audio.destination);
      }
    } catch (error) { return 0; }
    return audio.sampleRate | 0;
  };
  page.setMuted = (muted) => {
    page.muted = muted;
    if (volume) volume.gain.value = muted ? 0 : 1;
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
    source.connect(volume);
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
    audio = volume = null;
  };

  // The first frame ends the wait that the loading indicator shows.
  page.presented = () => {
    if (presented) return;
    presented = true;
    loading.hidden = true;
  };

  function givePointerBack() {
    if (locked()) { releasing = true; document.exitPointerLock(); }
    if (navigator.keyboard && navigator.keyboard.unlock) navigator.keyboard.unlock();
  }

  page.errorBox = (title, text) => new Promise((resolve) => {
    wantPointer = false;
    loading.hidden = true;  // no frame may ever come: the box says why
    givePointerBack();
    const dialog = document.getElementById('error');
    dialog.querySelector('h2').textContent = title;
    dialog.querySelector('p').textContent = text;
    dialog.addEventListener('close', () => resolve(), { once: true });
    dialog.showModal();
  });

  function showEnd(text) {
    page.running = false;
    wantPointer = false;
    clearTimeout(settling);
    settling = null;
    givePointerBack();
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    canvas.style.cursor = '';
    overlays.start.hidden = overlays.pause.hidden = loading.hidden = true;
    overlays.end.querySelector('p').textContent = text;
    overlays.end.hidden = false;
    tell();
  }
  page.programEnded = (code) => {
    showEnd(code === 0 ? 'The game has ended.' :
      `The game stopped after an error (exit code ${code}).`);
    page.exitCode = code;
  };
  // The program could not be loaded or started (no WebAssembly, a page opened as a file).
  page.aborted = () => showEnd('The game could not be loaded. It must be served over http, ' +
    'by any static web server (make web-serve), to a browser with WebAssembly.');

  let programArguments = [];
  function run() {
    page.running = true;
    update();
    Module.callMain(programArguments);
  }
  // Starts the program, once loaded, with `args` (recording.js gives it --play FILE to watch a
  // recording), wanting the pointer or not (a watched recording reads no mouse). Called from a
  // gesture, which lets the sound play.
  page.start = (args, pointer) => {
    overlays.start.hidden = true;
    programArguments = args;
    wantPointer = pointer;
    page.audioOpen();
    if (audio && audio.resume) audio.resume().catch(() => {});
    loading.hidden = presented;
    if (ready) run(); else wanted = true;
  };
  // The click gives the page what only a gesture can: sound, full screen and the pointer.
  overlays.start.querySelector('button').addEventListener('click', (event) => {
    page.touchMode = (event.pointerType || lastPointerType) === 'touch';
    fingerReady = page.touchMode;
    overlays.start.hidden = true;
    // The lock first: a full-screen request made first makes chromium refuse the lock.
    if (!page.touchMode) requestLock();
    requestFullScreen();
    page.start([], true);
  });
  overlays.pause.addEventListener('click', (event) => {
    if (event.target.closest('#settings')) return;  // the settings are reached while paused
    if (lastPointerType === 'touch') page.touchMode = true;
    if (page.touchMode) {
      fingerReady = true;
      update();
    } else {
      requestLock();
    }
    requestFullScreen();
  });
  overlays.end.querySelector('button').addEventListener('click', () => location.reload());

  page.ready = () => { ready = true; if (wanted) run(); };
  // A failed fetch of the program surfaces only as a rejected promise.
  window.addEventListener('unhandledrejection', () => { if (!ready) page.aborted(); });
  if (location.protocol === 'file:') page.aborted();

  // For the tests: the last presented page as raw RGB565 values, the game's state at the last
  // flip, the sounds, and a promise that the best score is saved (screen.js adds the canvas).
  page.test = {
    state: () => page.state,
    sounds: () => ({ state: audio?.state, started: page.instancesStarted,
      volume: volume?.gain.value,
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
