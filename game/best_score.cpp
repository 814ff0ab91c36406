// The best score's rules over the platform's store: 4 bytes, little-endian.
#include "game/best_score.h"

#include "platform/bytes.h"
#include "platform/tap.h"

std::int32_t ReadBestScore() {
    std::uint8_t bytes[4] = {};
    std::size_t got = 0;
    if (tap::StoreRead(bytes, sizeof bytes, got) != store::Found::Bytes) return 0;
    return static_cast<std::int32_t>(ReadLe(bytes, 4));  // bytes not delivered stay 0
}

bool WriteBestScore(std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                                   std::uint8_t(v >> 24)};
    return tap::StoreReplace(bytes, sizeof bytes);
}
