// The browser's store: the best-score file in a folder the page keeps in the browser's storage
// (IndexedDB); each replaced file is saved there before the program goes on.
#include <emscripten.h>

#include "platform/best_score_file.h"
#include "platform/platform.h"

namespace {

// Starts saving the folder to IndexedDB; Module.quendraSaved settles when it has.
EM_JS(void, web_store_save, (), {
    const before = Module.quendraSaved || Promise.resolve();
    Module.quendraSaved = before.then(() => new Promise((resolve) => {
        FS.syncfs(false, (error) => {
            if (error) console.warn('quendra: the best score could not be saved', error);
            resolve(!error);
        });
    }));
});

}  // namespace

namespace store {

Found Read(std::uint8_t* bytes, std::size_t size, std::size_t& got) {
    return ReadBestScoreFile(bytes, size, got);
}

bool Replace(const std::uint8_t* bytes, std::size_t size) {
    if (!ReplaceBestScoreFile(bytes, size)) return false;
    web_store_save();
    return true;
}

}  // namespace store
