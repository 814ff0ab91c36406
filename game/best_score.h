// The best score's rules: the file holds a little-endian signed 32-bit number, and a file that
// is missing, short or can't be read counts what it lacks as 0. Where the file is and how it is
// kept durably is the platform's store (store:: in platform.h).
#pragma once

#include <cstdint>

// The stored value: the file's first store::SIZE bytes, little-endian, missing bytes 0; 0 for a
// file that is missing (it is then made empty) or can't be read.
std::int32_t ReadBestScore();

// Replaces the stored value with exactly the bytes of `value`, all at once. False when
// nothing was stored: the file then still holds what it held.
bool WriteBestScore(std::int32_t value);
