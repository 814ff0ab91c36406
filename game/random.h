// The program's one random generator: a 32-bit linear congruential generator.
#pragma once

#include <cstdint>

// The generator's state before it is first seeded.
inline constexpr std::uint32_t UNSEEDED = 1;

void SeedRandom(std::uint32_t seed);
// The next number, 0 to 32767.
int NextRandom();
