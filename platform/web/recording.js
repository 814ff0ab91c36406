// Recordings in the page. Every run the program makes is recorded in its memory; after each
// game the page offers the run so far as a download, and when the run ends, the whole of it. A
// recording dropped on the page, or chosen with the "Watch a recording" button, is shown in the
// canvas: the program reads it itself, with the same bounded reader as quendra-replay, and
// refuses a malformed one.
'use strict';

(() => {
  const RECORDING = '/quendra.replay';  // where the program records (main_web.cpp)
  const WATCHED = '/watched.replay';
  const MAX_BYTES = 64 * 1024 * 1024;   // hours of play; a larger file is no recording of ours
  const start = document.getElementById('start');
  const end = document.getElementById('end');
  const scores = document.getElementById('scores');
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
    save.remove();
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

  // A recording as a link's target, named for the moment it is offered.
  function offer(link, bytes) {
    if (link.href.startsWith('blob:')) URL.revokeObjectURL(link.href);
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'text/plain' }));
    link.download = `quendra-${new Date().toISOString().replace(/[:.]/g, '-')}.replay`;
  }

  // Beside the scores after a game: the run so far, as far as the program has written it (a
  // checkpoint a second at least, so it replays to within a second of the click).
  const save = document.createElement('a');
  save.id = 'recording-save';
  save.href = '#';
  save.textContent = 'Save the recording';
  scores.append(save);
  save.addEventListener('click', (event) => {
    const bytes = recording();
    if (!bytes) {
      event.preventDefault();
      return;
    }
    offer(save, bytes);
  });

  const ended = quendraPage.programEnded;
  quendraPage.programEnded = (code) => {
    ended(code);
    save.remove();
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
    offer(link, bytes);
    link.textContent = 'Download the recording of this run';
    end.querySelector('p').after(link);
  };

  // For the tests: the run's recording as text.
  quendraPage.test.recording = () => new TextDecoder().decode(recording() || new Uint8Array());
})();
