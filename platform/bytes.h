// Little-endian numbers: read from the embedded files and the best-score file, written into the
// best-score file, quendra-replay's dumps and the generator's files.
#pragma once

#include <cstdint>

// The unsigned number held in `count` bytes (1 to 4) at p, lowest byte first.
constexpr std::uint32_t ReadLe(const std::uint8_t* p, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}

// Puts the low `count` bytes (1 to 4) of `value` at p, lowest byte first: what ReadLe reads.
constexpr void WriteLe(std::uint8_t* p, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
