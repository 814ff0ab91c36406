// The scripted store: the run's own in memory when it has one, else the best-score file in the
// current folder, as the desktop keeps it.
#include "platform/best_score_file.h"
#include "platform/platform.h"
#include "platform/scripted/scripted.h"

namespace store {

Found Read(std::uint8_t* bytes, std::size_t size, std::size_t& got) {
    if (scripted::world().ownStore.used) return scripted::source().StoreRead(bytes, size, got);
    return ReadBestScoreFile(bytes, size, got);
}

bool Replace(const std::uint8_t* bytes, std::size_t size) {
    scripted::World& w = scripted::world();
    if (w.ownStore.used) return scripted::source().StoreReplace(bytes, size);
    if (w.faults.storeWrite > 0) {
        --w.faults.storeWrite;
        return false;  // the file keeps what it held
    }
    return ReplaceBestScoreFile(bytes, size);
}

}  // namespace store
