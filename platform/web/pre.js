// Runs inside the program's script before it starts: the best-score folder lives in the
// browser's IndexedDB, loaded before the program runs (the store saves it after each write).
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  FS.mkdir('/quendra');
  FS.mount(IDBFS, {}, '/quendra');
  addRunDependency('quendra-storage');
  FS.syncfs(true, function (error) {
    if (error) console.warn('quendra: the saved best score could not be read', error);
    removeRunDependency('quendra-storage');
  });
});
