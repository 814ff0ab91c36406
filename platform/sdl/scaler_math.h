// The arithmetic of the even-pixel scaler (scaler.h): where each output column or row samples
// the page, in 256ths, and the blends of two pixels, each rounded to the nearest value.
#pragma once

#include <cstdint>
#include <vector>

namespace sdl {

// One output column or row: the page column or row it starts from and the weight (0 to 255) of
// the next one.
struct Tap {
    std::uint16_t from;
    std::uint16_t weight;
};

// The taps that sample `multiple`-times-enlarged page pixels (nearest neighbour) linearly at
// `length` evenly spaced centres across `pageLength` page pixels, each weight the nearest 256th.
void MakeTaps(int length, int pageLength, int multiple, std::vector<Tap>& taps);

// (256 - weight) parts of a and weight parts of b for each of the three low bytes, rounded to
// the nearest (halves up); a's fourth byte.
inline std::uint32_t Blend(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    std::uint32_t keep = 256 - weight;
    std::uint32_t rb = ((a & 0xFF00FF) * keep + (b & 0xFF00FF) * weight + 0x800080) >> 8;
    std::uint32_t g = ((a & 0xFF00) * keep + (b & 0xFF00) * weight + 0x8000) >> 8;
    return (a & 0xFF000000) | (rb & 0xFF00FF) | (g & 0xFF00);
}

// Blend for two pixels at once (and all four bytes of each), each byte in a 16-bit lane.
inline std::uint64_t Blend2(std::uint64_t a, std::uint64_t b, std::uint64_t weight) {
    constexpr std::uint64_t kLow = 0x00FF00FF00FF00FF, kHalf = 0x0080008000800080;
    std::uint64_t keep = 256 - weight;
    std::uint64_t low = (((a & kLow) * keep + (b & kLow) * weight + kHalf) >> 8) & kLow;
    std::uint64_t high = (((a >> 8) & kLow) * keep + ((b >> 8) & kLow) * weight + kHalf) & ~kLow;
    return low | high;
}

}  // namespace sdl
