// Runs inside the program's script before it starts: the best-score folder lives in the
// browser's IndexedDB, loaded before the program runs and saved after every file the game
// renames into place (its best-score writes end with a rename).
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  FS.mkdir('/quendra');
  FS.mount(IDBFS, {}, '/quendra');
  addRunDependency('quendra-storage');
  FS.syncfs(true, function (error) {
    if (error) console.warn('quendra: the saved best score could not be read', error);
    removeRunDependency('quendra-storage');
  });
  var rename = FS.rename;
  FS.rename = function () {
    var result = rename.apply(FS, arguments);
    Module.quendraSaved = (Module.quendraSaved || Promise.resolve()).then(function () {
      return new Promise(function (resolve) {
        FS.syncfs(false, function (error) {
          if (error) console.warn('quendra: the best score could not be saved', error);
          resolve(!error);
        });
      });
    });
    return result;
  };
});
