// Recordings in the page. Every run the program makes is recorded in its memory; when the run
// ends, the page offers that recording as a download. A recording dropped on the page, or
// chosen with the "Watch a recording" button, is shown in the canvas: the program reads it
// itself, with the same bounded reader as quendra-replay, and refuses a malformed one.
'use strict';

(() => {
  const RECORDING = '/quendra.replay';  // where the program records (main_web.cpp)
  const WATCHED = '/watched.replay';
  const MAX_BYTES = 64 * 1024 * 1024;   // hours of play; a larger file is no recording of ours
  const start = document.getElementById('start');
  const end = document.getElementById('end');
  let chosen = false, watching = false;

  const initialized = new Promise((resolve) => {
    const next = Module.onRuntimeInitialized;
    Module.onRuntimeInitialized = () => { resolve(); next(); };
  });

  const button = document.createElement('button');
  button.type = 'button';
  button.textContent = 'Watch a recording';
  const chooser = document.createElement('input');
  Object.assign(chooser, { type: 'file', id: 'recording-file', accept: '.replay,text/plain' });
  chooser.hidden = true;
  const note = document.createElement('p');
  note.textContent = 'or drop a recording on the page';
  start.querySelector('button').after(button, chooser, note);

  async function watch(file) {
    if (chosen) return;
    if (file.size > MAX_BYTES) {
      note.textContent = `${file.name} is too large to be a recording.`;
      return;
    }
    chosen = true;
    const bytes = new Uint8Array(await file.arrayBuffer());
    await initialized;
    Module.FS.writeFile(WATCHED, bytes);
    watching = true;
    quendraPage.start(['--play', WATCHED], false);
  }

  // The click is the gesture that lets the sound play.
  button.addEventListener('click', () => {
    quendraPage.audioOpen();
    chooser.click();
  });
  chooser.addEventListener('change', () => { if (chooser.files[0]) watch(chooser.files[0]); });
  document.addEventListener('dragover', (event) => { if (!chosen) event.preventDefault(); });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    const file = event.dataTransfer && event.dataTransfer.files[0];
    if (file && !start.hidden) watch(file);
  });

  function recording() {
    try {
      return Module.FS.readFile(RECORDING);
    } catch (error) {
      return null;
    }
  }

  const ended = quendraPage.programEnded;
  quendraPage.programEnded = (code) => {
    ended(code);
    if (watching) {
      end.querySelector('p').textContent = code === 0 ? 'The recording has ended.'
        : code === 2 ? 'That file is not a recording the game can read.'
          : `The recording stopped (exit code ${code}).`;
      return;
    }
    const bytes = recording();
    if (!bytes) return;
    const link = document.createElement('a');
    link.id = 'recording-download';
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'text/plain' }));
    link.download = `quendra-${new Date().toISOString().replace(/[:.]/g, '-')}.replay`;
    link.textContent = 'Download the recording of this run';
    end.querySelector('p').after(link);
  };

  // For the tests: the run's recording as text.
  quendraPage.test.recording = () => new TextDecoder().decode(recording() || new Uint8Array());
})();
