// The desktop's store: the best-score file in the player's data folder (best_score_file.h).
#include "platform/best_score_file.h"
#include "platform/platform.h"

namespace store {

Found Read(std::uint8_t* bytes, std::size_t size, std::size_t& got) {
    return ReadBestScoreFile(bytes, size, got);
}

bool Replace(const std::uint8_t* bytes, std::size_t size) {
    return ReplaceBestScoreFile(bytes, size);
}

}  // namespace store
