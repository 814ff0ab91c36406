// The game's stored sounds (8-bit mono PCM WAVE files) and their conversion to the output
// device's rate and 16-bit format, done once at start-up.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace wav {

// One sound as stored: its sample rate and its 8-bit unsigned mono samples, in place.
struct WaveView {
    int rate = 0;
    std::span<const std::uint8_t> samples;
};

// Reads a whole RIFF WAVE file in place. Only uncompressed PCM, one channel, 8 bits per sample
// is taken: false for anything else, for a file cut short, or for chunk sizes that overrun it.
bool ParseWave(std::span<const std::uint8_t> file, WaveView& out);

// Band-limited rate conversion with a Kaiser-windowed sinc: everything of the input below
// ~0.43 of the lower of the two Nyquist frequencies passes flat, and nothing reaches above the
// lower Nyquist frequency (no images when raising the rate, no aliases when lowering it) by
// more than about -90 dB. Outside the input counts as silence. The output starts `lead` input
// samples ahead of the input and ends `tail` input samples after it: round((input.size() +
// lead + tail) * toRate / fromRate) samples, output sample k at input position
// k * fromRate / toRate - lead.
std::vector<float> Resample(std::span<const float> input, int fromRate, int toRate, int lead = 0,
                            int tail = 0);

// How far, in input samples, the filter of Resample reaches either side of a sample.
int KernelReach(int fromRate, int toRate);

// How loud one instance plays: a third (-9.5 dB) of full scale for a full-scale stored sound.
// The game's sounds overlap (a shot, several targets dying or splatting in one frame) and the
// mixer clips their sum. At this level the game's sounds peak near -10 dBFS: three instances
// of one sound started in the same frame (which add up in phase) stay unclipped, four sounds
// overlapping anyhow very rarely clip (bench-audio_quality counts how rarely), and one alone
// is still as loud as a game's effects usually are.
inline constexpr float kSoundGain = 1.0f / 3;

// The whole conversion of one stored sound for the device: centred, its first and last few
// milliseconds faded so that it starts and ends without a click, resampled, scaled by `gain`,
// limited to the 16-bit range and repeated into `channels` interleaved channels. The result
// starts 2 ms ahead of the sound (where the filter's ringing ahead of it fades in) and ends
// where the filter's ringing after it has died away.
std::vector<std::int16_t> ConvertSound(const WaveView& sound, int toRate, int channels,
                                       float gain = kSoundGain);

}  // namespace wav
