// The random generator: state × 214013 + 2531011, drawing bits 16 to 30.
#include "game/random.h"

namespace {
std::uint32_t state = UNSEEDED;
}

void SeedRandom(std::uint32_t seed) { state = seed; }

int NextRandom() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}
