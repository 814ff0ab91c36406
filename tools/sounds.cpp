#include "tools/sounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tools/noise.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// A state-variable filter (trapezoidal form, stable at any cutoff) giving low and band pass.
class Filter {
public:
    void Set(float cutoff, float q, float rate) {
        g_ = std::tan(kPi * std::min(cutoff, 0.45f * rate) / rate);
        k_ = 1 / q;
    }
    void Run(float in) {
        float a1 = 1 / (1 + g_ * (g_ + k_)), a2 = g_ * a1, a3 = g_ * a2;
        float v3 = in - s2_;
        band = a1 * s1_ + a2 * v3;
        low = s2_ + a2 * s1_ + a3 * v3;
        s1_ = 2 * band - s1_;
        s2_ = 2 * low - s2_;
    }
    float low = 0, band = 0;

private:
    float g_ = 0, k_ = 1, s1_ = 0, s2_ = 0;
};

// Raised-cosine fades at both ends, then scaled so the loudest sample reaches `peak` of full
// scale; 8-bit unsigned around 128, never touching 0 or 255, starting and ending at 128.
Bytes Finish(std::vector<float> wave, float rate, float fadeIn, float fadeOut, float peak) {
    const std::size_t n = wave.size();
    const auto in = static_cast<std::size_t>(fadeIn * rate),
               out = static_cast<std::size_t>(fadeOut * rate);
    for (std::size_t i = 0; i < n; ++i) {
        float g = 1;
        if (i < in) g *= 0.5f - 0.5f * std::cos(kPi * i / in);
        if (n - 1 - i < out) g *= 0.5f - 0.5f * std::cos(kPi * (n - 1 - i) / out);
        wave[i] *= g;
    }
    float loudest = 0;
    for (float v : wave) loudest = std::max(loudest, std::abs(v));
    const float scale = loudest > 0 ? peak * 127 / loudest : 0;
    Bytes samples(n);
    for (std::size_t i = 0; i < n; ++i)
        samples[i] =
            static_cast<std::uint8_t>(std::clamp<long>(128 + std::lround(wave[i] * scale), 1, 254));
    return samples;
}

}  // namespace

Sound MakeShotSound() {
    constexpr float kRate = 8000;
    constexpr std::size_t kLength = 1896;
    Rng rng(0x5407u);
    std::vector<float> wave(kLength);
    Filter body, tail;
    body.Set(1400, 0.8f, kRate);
    tail.Set(500, 0.7f, kRate);
    float previous = 0, phase = 0;
    for (std::size_t i = 0; i < kLength; ++i) {
        const float t = i / kRate;
        const float noise = rng.Signed();
        // The crack: bright noise gone within a few tens of milliseconds.
        const float bright = noise - 0.6f * previous;
        previous = noise;
        body.Run(noise);
        float crack = (1.2f * bright + 1.3f * body.band) * std::exp(-t / 0.012f);
        // The thump: a low sine falling in pitch.
        float pitch = 55 + 110 * std::exp(-t / 0.03f);
        phase += 2 * kPi * pitch / kRate;
        float thump = 0.95f * std::sin(phase) * std::exp(-t / 0.055f);
        // The report rolling away.
        tail.Run(noise);
        float rumble = 0.9f * tail.low * std::exp(-t / 0.07f);
        wave[i] = crack + thump + rumble;
    }
    return {static_cast<std::uint32_t>(kRate), Finish(wave, kRate, 0.0015f, 0.02f, 0.86f)};
}

Sound MakeDieSound() {
    constexpr float kRate = 8403;
    constexpr std::size_t kLength = 2890;
    Rng rng(0xD1Eu);
    std::vector<float> wave(kLength);
    Filter crumble;
    float phase = 0;
    for (std::size_t i = 0; i < kLength; ++i) {
        const float t = i / kRate, end = kLength / kRate;
        const float noise = rng.Signed();
        // The pop: a short hard burst.
        float pop = noise * std::exp(-t / 0.014f);
        // The falling tone, a buzzy wave sliding down with a little warble.
        float pitch = 110 + 820 * std::exp(-t / 0.09f);
        pitch *= 1 + 0.03f * std::sin(2 * kPi * 18 * t);
        phase += 2 * kPi * pitch / kRate;
        float tone = std::tanh(2.5f * std::sin(phase)) * 0.55f * std::pow(1 - t / end, 1.4f);
        // Bits crumbling away: noise whose colour darkens as it dies down.
        crumble.Set(2600 * std::exp(-t / 0.12f) + 300, 1.2f, kRate);
        crumble.Run(noise);
        float debris = 0.7f * crumble.band * std::exp(-t / 0.1f);
        wave[i] = 0.9f * pop + tone + debris;
    }
    return {static_cast<std::uint32_t>(kRate), Finish(wave, kRate, 0.002f, 0.025f, 0.86f)};
}

Sound MakeSplatSound() {
    constexpr float kRate = 11000;
    constexpr std::size_t kLength = 2208;
    Rng rng(0x5B1Au);
    std::vector<float> wave(kLength);
    Filter slop;
    float thudPhase = 0, dripPhase = 0;
    // Wet bubbles after the hit: short rising blips.
    constexpr float kDrips[][2] = {{0.045f, 380}, {0.082f, 520}, {0.118f, 430}, {0.15f, 610}};
    for (std::size_t i = 0; i < kLength; ++i) {
        const float t = i / kRate;
        const float noise = rng.Signed();
        // The squelch: noise through a resonant filter whose peak drops and wobbles.
        float cutoff = 350 + 1900 * std::exp(-t / 0.035f) + 250 * std::sin(2 * kPi * 27 * t);
        slop.Set(cutoff, 3.2f, kRate);
        slop.Run(noise);
        float squelch =
            1.1f * slop.band * std::exp(-t / 0.065f) * (0.75f + 0.25f * std::sin(2 * kPi * 41 * t));
        // The thud of the body.
        thudPhase += 2 * kPi * (48 + 70 * std::exp(-t / 0.025f)) / kRate;
        float thud = 0.8f * std::sin(thudPhase) * std::exp(-t / 0.04f);
        float drips = 0;
        for (const auto& drip : kDrips) {
            float u = (t - drip[0]) / 0.018f;
            if (u < 0 || u > 1) continue;
            float f = drip[1] * (1 + 1.8f * u);
            dripPhase += 2 * kPi * f / kRate;
            drips += 0.32f * std::sin(dripPhase) * std::sin(kPi * u);
        }
        wave[i] = squelch + thud + drips;
    }
    return {static_cast<std::uint32_t>(kRate), Finish(wave, kRate, 0.002f, 0.02f, 0.86f)};
}
