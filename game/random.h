// The program's one random generator: a 32-bit linear congruential generator.
#pragma once

#include <cstdint>

void SeedRandom(std::uint32_t seed);
// The next number, 0 to 32767.
int NextRandom();
