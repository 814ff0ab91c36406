// How well the sound engine plays the game's sounds: how clean their rate conversion is, how
// often overlapping sounds clip, how soon a Play is heard and how long the call takes. Plays
// through SDL's disk audio driver, which writes what the mixer plays to a file.
#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "game/assets.h"
#include "platform/platform.h"
#include "platform/resource.h"
#include "platform/wave.h"

namespace {

struct GameSound {
    const char* label;
    const char* name;
    wav::WaveView wave;
};

std::string recordingPath;
const char* keepDirectory = nullptr;  // where to leave each sound's recording, if anywhere
int rate = 0, channels = 0;

bool OpenEngine() {
    if (!snd::Open()) return false;
    Uint16 format;
    Mix_QuerySpec(&rate, &format, &channels);
    return true;
}

std::vector<std::int16_t> ReadRecording() {
    std::ifstream file(recordingPath, std::ios::binary);
    std::vector<char> raw{std::istreambuf_iterator<char>(file), {}};
    std::vector<std::int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

// The first channel of the recording, from its first sound to its last.
std::vector<double> Heard(const std::vector<std::int16_t>& recording, int step) {
    std::size_t first = recording.size(), last = 0;
    for (std::size_t i = 0; i < recording.size(); i += static_cast<std::size_t>(step))
        if (recording[i] != 0) first = std::min(first, i), last = i;
    std::vector<double> out;
    for (std::size_t i = first; i <= last && first < recording.size();
         i += static_cast<std::size_t>(step))
        out.push_back(recording[i]);
    return out;
}

void Fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        std::complex<double> w = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> t = 1;
            for (std::size_t k = 0; k < len / 2; ++k, t *= w) {
                std::complex<double> u = a[i + k], v = a[i + k + len / 2] * t;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

// Energy above `limit` Hz against energy below it, in dB. The sounds start and end faded, so
// the whole sound is transformed at once, without a further window.
double EnergyAboveDb(const std::vector<double>& signal, int signalRate, double limit) {
    std::size_t n = 1;
    while (n < signal.size()) n <<= 1;
    std::vector<std::complex<double>> spectrum(n);
    std::copy(signal.begin(), signal.end(), spectrum.begin());
    Fft(spectrum);
    double below = 0, above = 0;
    for (std::size_t k = 1; k < n / 2; ++k) {
        double hz = static_cast<double>(k) * signalRate / static_cast<double>(n);
        (hz > limit ? above : below) += std::norm(spectrum[k]);
    }
    return 10 * std::log10(above / below);
}

// The same conversion as SDL would do it: its built-in converter, first channel.
std::vector<double> SdlConverted(const wav::WaveView& wave, int toRate) {
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, AUDIO_U8, 1, wave.rate, AUDIO_S16SYS, 1, toRate) < 0) return {};
    std::vector<std::uint8_t> buffer(wave.samples.size() * static_cast<std::size_t>(cvt.len_mult) +
                                     64);
    std::copy(wave.samples.begin(), wave.samples.end(), buffer.begin());
    cvt.buf = buffer.data();
    cvt.len = static_cast<int>(wave.samples.size());
    if (SDL_ConvertAudio(&cvt) < 0) return {};
    std::vector<double> out(static_cast<std::size_t>(cvt.len_cvt) / 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        std::int16_t s;
        std::memcpy(&s, buffer.data() + 2 * i, 2);
        out[i] = s;
    }
    return out;
}

void WaitQuiet() {
    for (int i = 0; i < 5000 && Mix_Playing(-1) > 0; ++i) SDL_Delay(1);
    SDL_Delay(60);
}

void ConversionQuality(std::vector<GameSound>& sounds) {
    std::printf(
        "Rate conversion to %d Hz: energy above each sound's Nyquist frequency against "
        "below it (disk recording; SDL's own converter for comparison)\n",
        rate);
    for (GameSound& s : sounds) {
        if (!OpenEngine()) return;
        snd::SoundId id = snd::Load(FindResource(RT_WAVE, s.name));
        snd::Prepare(id);
        snd::Play(id);
        WaitQuiet();
        snd::Unload(id);
        snd::Close();
        std::vector<std::int16_t> recording = ReadRecording();
        if (keepDirectory) {
            std::ofstream kept(std::string(keepDirectory) + "/" + s.label + ".raw",
                               std::ios::binary);
            kept.write(reinterpret_cast<const char*>(recording.data()),
                       static_cast<std::streamsize>(recording.size() * 2));
        }
        std::vector<double> heard = Heard(recording, channels);
        int peak = 0;
        for (std::int16_t v : recording) peak = std::max(peak, std::abs(int{v}));
        double ours = EnergyAboveDb(heard, rate, s.wave.rate / 2.0);
        double theirs = EnergyAboveDb(SdlConverted(s.wave, rate), rate, s.wave.rate / 2.0);
        std::printf(
            "  %-6s %5d Hz %5zu samples (%.1f ms): heard %.1f ms, peak %d (%.1f dBFS); "
            "above %5.0f Hz: %6.1f dB %s (SDL: %6.1f dB)\n",
            s.label, s.wave.rate, s.wave.samples.size(),
            1000.0 * static_cast<double>(s.wave.samples.size()) / s.wave.rate,
            1000.0 * static_cast<double>(heard.size()) / rate, peak,
            20 * std::log10(peak / 32768.0), s.wave.rate / 2.0, ours,
            ours <= -40 ? "ok, at least 40 dB down" : "NOT 40 dB down", theirs);
    }
}

// Four instances at random starts within 50 ms of each other (the shot at most once: the game
// stops it before playing it again), mixed as the mixer does, at a few gains.
void Clipping(const std::vector<GameSound>& sounds) {
    std::printf("Four overlapping sounds, starts within 50 ms (10000 random mixes per gain):\n");
    for (float gain : {0.25f, wav::kSoundGain, 0.375f, 0.5f, 0.75f}) {
        std::vector<std::vector<std::int16_t>> pcm;
        int single = 0;
        for (const GameSound& s : sounds) {
            pcm.push_back(wav::ConvertSound(s.wave, rate, 1, gain));
            for (std::int16_t v : pcm.back()) single = std::max(single, std::abs(int{v}));
        }
        std::mt19937 random(7);
        int clippedMixes = 0, mostClipped = 0;
        std::vector<int> mix;
        for (int trial = 0; trial < 10000; ++trial) {
            mix.assign(static_cast<std::size_t>(rate), 0);
            bool shot = false;
            int clipped = 0;
            for (int i = 0; i < 4; ++i) {
                std::size_t which = random() % pcm.size();
                if (which == 0 && shot) which = 1 + random() % (pcm.size() - 1);
                shot = shot || which == 0;
                std::size_t start = random() % static_cast<std::size_t>(rate / 20);
                for (std::size_t k = 0; k < pcm[which].size(); ++k) mix[start + k] += pcm[which][k];
            }
            for (int v : mix) clipped += v > 32767 || v < -32768;
            clippedMixes += clipped > 0;
            mostClipped = std::max(mostClipped, clipped);
        }
        std::printf(
            "  gain %.3f (%5.1f dB)%s: loudest sound peaks at %5.1f dBFS, %d identical "
            "instances started together stay unclipped; %5.2f%% of mixes clip, the worst %d "
            "samples\n",
            gain, 20 * std::log10(gain), gain == wav::kSoundGain ? " (the engine's)" : "",
            20 * std::log10(single / 32768.0), 32767 / single, 100.0 * clippedMixes / 10000,
            mostClipped);
    }
}

// Latency: the mixer's post-mix hook sees each buffer just before the driver takes it; after an
// armed Play it notes when the first sound appears (the filter's faint ringing ahead of the
// sound) and when the sound is first loud (above -40 dBFS).
std::atomic<bool> armed{false};
std::atomic<std::uint64_t> playedAt{0};
std::atomic<double> firstSound{-1}, firstLoud{-1};
std::atomic<int> bufferFrames{0};

void SDLCALL FindFirstSound(void*, Uint8* stream, int length) {
    bufferFrames = length / 2 / channels;
    if (!armed) return;
    const double since = static_cast<double>(SDL_GetPerformanceCounter() - playedAt) /
                         static_cast<double>(SDL_GetPerformanceFrequency());
    const auto* samples = reinterpret_cast<const std::int16_t*>(stream);
    for (int i = 0; i < length / 2; ++i) {
        double at = since + static_cast<double>(i / channels) / rate;
        if (samples[i] != 0 && firstSound < 0) firstSound = at;
        if (std::abs(samples[i]) >= 328) {
            firstLoud = at;
            armed = false;
            return;
        }
    }
}

void PrintSpread(const char* what, std::vector<double> values, double add = 0) {
    std::sort(values.begin(), values.end());
    double mean = 0;
    for (double v : values) mean += v;
    mean /= static_cast<double>(std::max<std::size_t>(1, values.size()));
    if (values.empty()) values.push_back(0);
    std::printf("  %-44s mean %5.1f ms, median %5.1f, max %5.1f\n", what, mean + add,
                values[values.size() / 2] + add, values.back() + add);
}

void Latency(const GameSound& shot) {
    // At the driver's own pace, about real time: one buffer per buffer's duration.
    unsetenv("SDL_DISKAUDIODELAY");
    if (!OpenEngine()) return;
    snd::SoundId id = snd::Load(FindResource(RT_WAVE, shot.name));
    snd::Prepare(id);
    Mix_SetPostMix(FindFirstSound, nullptr);
    std::mt19937 random(3);
    std::vector<double> sound, loud;
    for (int trial = 0; trial < 60; ++trial) {
        SDL_Delay(3 + random() % 15);  // a Play lands anywhere in a buffer period
        firstSound = firstLoud = -1;
        playedAt = SDL_GetPerformanceCounter();
        armed = true;
        snd::Play(id);
        for (int i = 0; i < 1000 && firstLoud < 0; ++i) SDL_Delay(1);
        armed = false;
        snd::StopAll();
        if (firstLoud >= 0) sound.push_back(firstSound * 1000), loud.push_back(firstLoud * 1000);
    }
    Mix_SetPostMix(nullptr, nullptr);

    // The Play call itself: many calls, the mixer's 64 channels freed between rounds.
    using Clock = std::chrono::steady_clock;
    double total = 0, worst = 0;
    int calls = 0, played = 0;
    for (int round = 0; round < 200; ++round) {
        for (int i = 0; i < 64; ++i) {
            auto t0 = Clock::now();
            bool ok = snd::Play(id);
            double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
            total += us, worst = std::max(worst, us), ++calls, played += ok;
        }
        snd::StopAll();
    }
    // Start-up cost of the conversion, for the record.
    auto t0 = Clock::now();
    for (int i = 0; i < 10; ++i) wav::ConvertSound(shot.wave, rate, channels);
    double convertMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / 10;
    snd::Unload(id);
    snd::Close();

    const double buffer = 1000.0 * bufferFrames / rate;
    std::printf(
        "Latency from Play, %zu trials with the shot (mixer buffer %d frames at %d Hz = "
        "%.1f ms):\n",
        sound.size(), bufferFrames.load(), rate, buffer);
    PrintSpread("to its first sound in the recording", sound);
    PrintSpread("to its first sample above -40 dBFS", loud);
    // A device asks for the next buffer when it starts playing the last one it was given.
    PrintSpread("estimated on a device (one buffer more)", loud, buffer);
    std::printf("Play call: mean %.2f us, worst %.1f us over %d calls (%d started a sound)\n",
                total / calls, worst, calls, played);
    std::printf("Converting the shot at start-up: %.2f ms\n", convertMs);
}

}  // namespace

// With a directory argument, each sound's recording is left there as LABEL.raw.
int main(int argc, char** argv) {
    if (argc > 1) keepDirectory = argv[1];
    char name[] = "/tmp/quendra-bench-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) return 1;
    close(fd);
    recordingPath = name;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", name, 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);

    std::vector<GameSound> sounds{
        {"shot", IDR_VORPSHOT, {}}, {"die", IDR_VORPDIE, {}}, {"splat", IDR_VORPSPLAT, {}}};
    for (GameSound& s : sounds)
        if (!wav::ParseWave(FindResource(RT_WAVE, s.name), s.wave)) {
            std::fprintf(stderr, "the %s sound is not a WAVE file the engine takes\n", s.label);
            return 1;
        }
    if (!OpenEngine()) {
        std::fprintf(stderr, "no audio output: %s\n", SDL_GetError());
        return 1;
    }
    snd::Close();
    std::printf("Device: %d Hz, %d channels, 16-bit\n", rate, channels);
    ConversionQuality(sounds);
    Clipping(sounds);
    Latency(sounds[0]);
    unlink(name);
    return 0;
}
