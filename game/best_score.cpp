// The best score's rules over the platform's store: a little-endian signed 32-bit number.
#include "game/best_score.h"

#include "platform/bytes.h"
#include "platform/tap.h"

static_assert(store::SIZE == sizeof(std::int32_t), "the file holds one 32-bit number");

std::int32_t ReadBestScore() {
    std::uint8_t bytes[store::SIZE] = {};
    std::size_t got = 0;
    if (tap::StoreRead(bytes, sizeof bytes, got) != store::Found::Bytes) return 0;
    return static_cast<std::int32_t>(ReadLe(bytes, sizeof bytes));  // bytes not delivered stay 0
}

bool WriteBestScore(std::int32_t value) {
    std::uint8_t bytes[store::SIZE];
    WriteLe(bytes, static_cast<std::uint32_t>(value), sizeof bytes);
    return tap::StoreReplace(bytes, sizeof bytes);
}
