// Makes the page installable and playable offline: registers its worker (sw.js) once the page
// has loaded, so that the worker's copies of the files do not compete with the page's own.
'use strict';

if ('serviceWorker' in navigator) {  // not in a page opened as a file, nor in older browsers
  window.addEventListener('load', () => navigator.serviceWorker.register('sw.js').catch((error) =>
    console.warn('quendra: the page will not play offline', error)));
}
