// Little-endian numbers in the embedded files and the best-score file.
#pragma once

#include <cstdint>

// The unsigned number held in `count` bytes (1 to 4) at p, lowest byte first.
constexpr std::uint32_t ReadLe(const std::uint8_t* p, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}
