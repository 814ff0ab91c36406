// Repeatable randomness for the artwork and the sounds: a seeded integer generator and smooth
// 2-D value noise built on an integer hash, so every run produces the same bytes.
#pragma once

#include <cstdint>

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint32_t Next();
    // Uniform in [0, 1).
    float Unit() { return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f); }
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
    // Uniform in [-1, 1).
    float Signed() { return Range(-1, 1); }

private:
    std::uint64_t state_;
};

// A well-mixed 32-bit hash of two lattice coordinates and a seed.
std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed);

// Smoothly interpolated lattice noise in [0, 1].
float ValueNoise(float x, float y, std::uint32_t seed);

// Sum of octaves of value noise, each at twice the frequency and half the weight; in [0, 1].
float Fbm(float x, float y, int octaves, std::uint32_t seed);
