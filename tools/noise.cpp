#include "tools/noise.h"

#include <cmath>

std::uint32_t Rng::Next() {
    // SplitMix64, taking the high half.
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u ^ static_cast<std::uint32_t>(x) * 0x85EBCA77u ^
                      static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

namespace {

float Lattice(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return static_cast<float>(Hash(x, y, seed) >> 8) * (1.0f / 16777215.0f);
}

float Fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

float ValueNoise(float x, float y, std::uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
    float tx = Fade(x - fx), ty = Fade(y - fy);
    float a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
    float c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float Fbm(float x, float y, int octaves, std::uint32_t seed) {
    float sum = 0, weight = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * ValueNoise(x, y, seed + 101u * i);
        total += weight;
        // Rotate a little between octaves so the lattice does not line up.
        float nx = 1.6f * x + 1.2f * y, ny = -1.2f * x + 1.6f * y;
        x = nx + 17.3f;
        y = ny + 5.1f;
        weight *= 0.5f;
    }
    return sum / total;
}
