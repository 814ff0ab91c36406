// Reading the game's 8-bit WAVE files and converting them to the output device's format.
#include "platform/wave.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "platform/bytes.h"

namespace wav {

namespace {

bool IsTag(const std::uint8_t* p, const char (&tag)[5]) {
    return p[0] == tag[0] && p[1] == tag[1] && p[2] == tag[2] && p[3] == tag[3];
}

// The low-pass filter, in units of the lower of the two rates. Its cutoff (half amplitude) sits
// at 0.465 of that rate and it is fully down at 0.5, the Nyquist frequency, so the transition
// band is 0.07 wide. Kaiser's formula gives 88 taps for 96 dB over that transition; 96 taps
// (48 either side) with beta 9.6 leave some margin. The passband ends near 0.43: for the
// 8000 Hz shot that is 3.4 kHz of its 4 kHz, which 8-bit sound effects barely fill anyway.
constexpr int kHalfTaps = 48;
constexpr double kCutoff = 0.465;
constexpr double kBeta = 9.6;
// The kernel is tabulated this finely per sample and read with linear interpolation; the
// interpolation error stays near -110 dB of the kernel's peak.
constexpr int kTableSteps = 512;
constexpr int kTableSize = kHalfTaps * kTableSteps + 2;

// Zeroth-order modified Bessel function of the first kind, by its power series.
double BesselI0(double x) {
    double sum = 1.0, term = 1.0, q = x * x / 4.0;
    for (int k = 1; k < 60 && term > sum * 1e-17; ++k) {
        term *= q / (static_cast<double>(k) * k);
        sum += term;
    }
    return sum;
}

// The windowed-sinc kernel h(u) for u = 0 .. kHalfTaps, unity gain at DC; built on first use
// (the first conversion, at start-up) and never again.
const std::array<float, kTableSize>& Kernel() {
    static const std::array<float, kTableSize> table = [] {
        std::array<float, kTableSize> t{};
        const double norm = 1.0 / BesselI0(kBeta);
        for (int i = 0; i < kTableSize; ++i) {
            double u = static_cast<double>(i) / kTableSteps;
            double v = u / kHalfTaps;
            if (v >= 1.0) break;  // the window is zero from the edge on
            double x = 2.0 * kCutoff * u;
            double sinc = u == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
            double window = BesselI0(kBeta * std::sqrt(1.0 - v * v)) * norm;
            t[static_cast<std::size_t>(i)] = static_cast<float>(2.0 * kCutoff * sinc * window);
        }
        return t;
    }();
    return table;
}

// A raised-cosine gain from 0 to 1 over `length` samples.
double Ramp(std::size_t position, std::size_t length) {
    if (position >= length) return 1.0;
    return 0.5 - 0.5 * std::cos(std::numbers::pi * (static_cast<double>(position) + 0.5) /
                                static_cast<double>(length));
}

}  // namespace

bool ParseWave(std::span<const std::uint8_t> file, WaveView& out) {
    if (file.size() < 12 || !IsTag(file.data(), "RIFF") || !IsTag(file.data() + 8, "WAVE"))
        return false;
    std::uint32_t riffSize = ReadLe(file.data() + 4, 4);
    if (riffSize < 4 || riffSize > file.size() - 8) return false;
    // Walk the chunks inside the RIFF extent; each is padded to an even length.
    std::size_t end = 8 + static_cast<std::size_t>(riffSize), at = 12;
    bool haveFormat = false;
    int rate = 0;
    while (end - at >= 8) {
        const std::uint8_t* head = file.data() + at;
        std::size_t size = ReadLe(head + 4, 4);
        at += 8;
        if (size > end - at) return false;
        const std::uint8_t* body = file.data() + at;
        if (IsTag(head, "fmt ")) {
            if (haveFormat || size < 16) return false;
            std::uint32_t format = ReadLe(body, 2), channels = ReadLe(body + 2, 2);
            std::uint32_t sampleRate = ReadLe(body + 4, 4);
            std::uint32_t blockAlign = ReadLe(body + 12, 2), bits = ReadLe(body + 14, 2);
            if (format != 1 || channels != 1 || blockAlign != 1 || bits != 8) return false;
            if (sampleRate < 1000 || sampleRate > 192000) return false;
            rate = static_cast<int>(sampleRate);
            haveFormat = true;
        } else if (IsTag(head, "data")) {
            if (!haveFormat || size == 0) return false;  // the format must come first
            out.rate = rate;
            out.samples = file.subspan(at, size);
            return true;
        }
        at += size + (size & 1);
        if (at > end) return false;
    }
    return false;
}

int KernelReach(int fromRate, int toRate) {
    // When lowering the rate the kernel is stretched over more input samples, so that its
    // cutoff follows the output's Nyquist frequency.
    return toRate < fromRate ? (kHalfTaps * fromRate + toRate - 1) / toRate : kHalfTaps;
}

std::vector<float> Resample(std::span<const float> input, int fromRate, int toRate, int lead,
                            int tail) {
    const auto& kernel = Kernel();
    const std::int64_t n = static_cast<std::int64_t>(input.size());
    const std::int64_t span = n + lead + tail;
    const std::int64_t outLength = (span * toRate + fromRate / 2) / fromRate;
    std::vector<float> output(static_cast<std::size_t>(outLength));
    // Lowering the rate, the stretched kernel is scaled down by as much to keep unity gain.
    const double scale = toRate < fromRate ? static_cast<double>(toRate) / fromRate : 1.0;
    const double reach = kHalfTaps / scale;
    for (std::int64_t k = 0; k < outLength; ++k) {
        // Exact position of output sample k on the input's time axis, in input samples.
        const std::int64_t whole = k * fromRate / toRate;
        const double t = static_cast<double>(whole - lead) +
                         static_cast<double>(k * fromRate - whole * toRate) / toRate;
        std::int64_t first =
            std::max<std::int64_t>(0, static_cast<std::int64_t>(std::ceil(t - reach)));
        std::int64_t last =
            std::min<std::int64_t>(n - 1, static_cast<std::int64_t>(std::floor(t + reach)));
        double sum = 0.0;
        for (std::int64_t j = first; j <= last; ++j) {
            double u = std::abs(t - static_cast<double>(j)) * scale * kTableSteps;
            auto i = static_cast<std::size_t>(u);
            if (i + 1 >= kernel.size()) continue;
            double frac = u - static_cast<double>(i);
            double h = kernel[i] + (kernel[i + 1] - kernel[i]) * frac;
            sum += h * input[static_cast<std::size_t>(j)];
        }
        output[static_cast<std::size_t>(k)] = static_cast<float>(sum * scale);
    }
    return output;
}

std::vector<std::int16_t> ConvertSound(const WaveView& sound, int toRate, int channels,
                                       float gain) {
    // A sound whose first or last sample is off centre would start or stop with a step. The
    // fade-in is kept short (1 ms) so that the attack of a shot stays sharp; the fade-out is
    // longer (4 ms), where a tail is rarely loud. Fading before the conversion keeps the fades
    // themselves inside the band.
    const std::size_t n = sound.samples.size();
    const std::size_t fadeIn = std::min(n / 4, static_cast<std::size_t>(sound.rate / 1000));
    const std::size_t fadeOut = std::min(n / 4, static_cast<std::size_t>(sound.rate / 250));
    std::vector<float> centred(n);
    for (std::size_t i = 0; i < n; ++i)
        centred[i] = static_cast<float>((sound.samples[i] - 128.0) / 128.0 * Ramp(i, fadeIn) *
                                        Ramp(n - 1 - i, fadeOut));

    // The filter rings ahead of each sample and after it. The tail is kept whole, so that the
    // sound dies away inside the band. Of the lead only 2 ms are kept, which delay the sound by
    // as much; cutting the rest costs little, as the ringing that far ahead is faint, and the
    // kept lead is faded in so that the cut makes no step.
    const int lead = sound.rate / 500;
    std::vector<float> resampled =
        Resample(centred, sound.rate, toRate, lead, KernelReach(sound.rate, toRate));
    const std::size_t leadOut =
        static_cast<std::size_t>(static_cast<std::int64_t>(lead) * toRate / sound.rate);

    std::vector<std::int16_t> out(resampled.size() * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < resampled.size(); ++i) {
        double value = resampled[i] * gain * 32768.0 * Ramp(i, leadOut);
        // The filter's overshoot on a full-scale sound can exceed the 16-bit range at high gains;
        // a clamp there is better than a wrap.
        auto sample = static_cast<std::int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
        for (int c = 0; c < channels; ++c)
            out[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] = sample;
    }
    return out;
}

}  // namespace wav
