// Makes the page installable and playable offline: registers its worker (sw.js), once the page
// has loaded everything, so that the worker's copies come from the browser's cache rather than
// from a second download.
'use strict';

(() => {
  if (!('serviceWorker' in navigator)) return;  // a page opened as a file, an older browser
  const register = () => navigator.serviceWorker.register('sw.js').catch((error) =>
    console.warn('quendra: the page will not play offline', error));
  // The program fetches its code itself and may still be at it when the page has loaded.
  const programLoaded = new Promise((resolve) => {
    const observer = new PerformanceObserver((list) => {
      if (list.getEntries().some((entry) => entry.name.endsWith('/quendra.wasm'))) resolve();
    });
    observer.observe({ type: 'resource', buffered: true });
    setTimeout(resolve, 20000);
  });
  window.addEventListener('load', () => programLoaded.then(register));
})();
