// The desktop sound engine, heard through SDL's disk audio driver: the driver writes what the
// mixer plays to a file, sample for sample, so a run can be compared with what it should sound
// like.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "app/app.h"
#include "audio/audio.h"
#include "game/assets.h"
#include "game/state.h"
#include "platform/platform.h"
#include "platform/resource.h"
#include "platform/sdl/resample.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A WAVE file laid out as the game's are: RIFF header, 16-byte format chunk, data chunk.
// Offsets: RIFF size 4, format 20, channels 22, rate 24, block align 32, bits 34, data size 40.
Bytes MakeWave(int rate, const Bytes& samples) {
    Bytes b;
    auto put = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    const auto size = static_cast<std::uint32_t>(samples.size());
    b = {'R', 'I', 'F', 'F'}, put(36 + size, 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate, 4), put(1, 2), put(8, 2);
    b.insert(b.end(), {'d', 'a', 't', 'a'}), put(size, 4);
    b.insert(b.end(), samples.begin(), samples.end());
    return b;
}

// A tone at half of full scale, as 8-bit unsigned samples.
Bytes Tone(int rate, double hz, int milliseconds) {
    Bytes samples(static_cast<std::size_t>(rate * milliseconds / 1000));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(std::lround(
            128 + 64 * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate)));
    return samples;
}

TEST(WaveFile, OnlyWholeEightBitMonoPcmIsTaken) {
    const Bytes good = MakeWave(8000, Tone(8000, 440, 50));
    sdl::WaveView view;
    ASSERT_TRUE(sdl::ParseWave(good, view));
    EXPECT_EQ(view.rate, 8000);
    EXPECT_EQ(view.samples.data(), good.data() + 44);  // in place, not copied
    EXPECT_EQ(view.samples.size(), 400u);

    // A chunk of another kind before the data, odd-sized and so padded, is stepped over.
    Bytes listed(good.begin(), good.begin() + 36);
    listed.insert(listed.end(), {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
    listed.insert(listed.end(), good.begin() + 36, good.end());
    listed[4] += 12;
    ASSERT_TRUE(sdl::ParseWave(listed, view));
    EXPECT_EQ(view.samples.data(), listed.data() + 56);

    const std::pair<const char*, std::function<void(Bytes&)>> spoilers[] = {
        {"not RIFF", [](Bytes& b) { b[0] = 'X'; }},
        {"not WAVE", [](Bytes& b) { b[8] = 'X'; }},
        {"compressed", [](Bytes& b) { b[20] = 2; }},
        {"stereo", [](Bytes& b) { b[22] = 2; }},
        {"16-bit", [](Bytes& b) { b[34] = 16; }},
        {"block align 2", [](Bytes& b) { b[32] = 2; }},
        {"no rate", [](Bytes& b) { b[24] = b[25] = 0; }},
        {"data past the end", [](Bytes& b) { b[40] += 1; }},
        {"RIFF past the end", [](Bytes& b) { b[4] += 1; }},
        {"cut short", [](Bytes& b) { b.resize(30); }},
        {"no data chunk", [](Bytes& b) { b.resize(36), b[4] = 28, b[5] = 0; }},
        {"data first", [](Bytes& b) { std::copy_n(b.begin() + 36, 4, b.begin() + 12); }},
        {"nothing", [](Bytes& b) { b.clear(); }},
    };
    for (const auto& [what, spoil] : spoilers) {
        Bytes bad = good;
        spoil(bad);
        EXPECT_FALSE(sdl::ParseWave(bad, view)) << what;
        EXPECT_LT(snd::Load(bad), 0) << what;
    }
}

// A tone converted to another rate is the same tone at that rate. Compared sample by sample
// away from the ends, any image, alias, gain or timing error shows as a difference; a tone above
// the lower rate's Nyquist frequency must vanish.
TEST(Resampler, PassesTheBandAndNothingAboveIt) {
    struct Case {
        int from, to;
        double hz;
        bool passes;
        int lead = 0, tail = 0;  // input samples added ahead and after
    };
    for (Case c : {Case{8000, 48000, 1000, true},
                   {8000, 48000, 3300, true},
                   {8403, 48000, 2500, true},
                   {11000, 44100, 4600, true},
                   {48000, 8000, 1000, true},
                   {48000, 8000, 6000, false},
                   {8000, 48000, 1000, true, 16, 48},
                   {48000, 11000, 1000, true, 100, 200}}) {
        std::vector<float> input(static_cast<std::size_t>(c.from / 5));
        for (std::size_t i = 0; i < input.size(); ++i)
            input[i] = 0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * c.hz *
                                                          static_cast<double>(i) / c.from));
        std::vector<float> output = sdl::Resample(input, c.from, c.to, c.lead, c.tail);
        const double length = static_cast<double>(input.size() + c.lead + c.tail) * c.to / c.from;
        ASSERT_EQ(output.size(), static_cast<std::size_t>(std::lround(length)));
        double worst = 0;
        const std::size_t lead = static_cast<std::size_t>(c.lead * c.to / c.from);
        for (std::size_t k = lead + c.to / 50; k < lead + c.to / 5 - c.to / 50; ++k) {
            const double t = static_cast<double>(k) / c.to - static_cast<double>(c.lead) / c.from;
            double expected = c.passes ? 0.5 * std::sin(2 * std::numbers::pi * c.hz * t) : 0;
            worst = std::max(worst, std::abs(output[k] - expected));
        }
        EXPECT_LT(worst, 3e-5) << c.from << " -> " << c.to << " Hz, tone at " << c.hz;  // -84 dB
    }
}

TEST(Conversion, StartsAndEndsSoftlyAndNeverWraps) {
    // Held at full deflection from first to last sample: unfaded, it would begin and end with a
    // step of a third of full scale.
    const Bytes held = MakeWave(8000, Bytes(800, 255));
    sdl::WaveView view;
    ASSERT_TRUE(sdl::ParseWave(held, view));
    std::vector<std::int16_t> out = sdl::ConvertSound(view, 48000, 2);
    ASSERT_GE(out.size(), 2u * 4800);
    ASSERT_LE(out.size(), 2u * (4800 + 480));  // the filter's ringing ahead and after
    int steepest = 0;
    for (std::size_t i = 0; i < out.size(); i += 2) {
        ASSERT_EQ(out[i], out[i + 1]) << "frame " << i / 2;
        if (i > 0) steepest = std::max(steepest, std::abs(out[i] - out[i - 2]));
    }
    EXPECT_LT(std::abs(out.front()), 100);
    EXPECT_LT(std::abs(out.back()), 100);
    EXPECT_LT(steepest, 600);
    EXPECT_NEAR(out[out.size() / 2], sdl::kSoundGain * 32768 * 127 / 128, 2);

    // A full-scale square wave at full gain overshoots the 16-bit range on every edge; the
    // overshoot must be clamped, not wrapped round to the other sign.
    Bytes square(800);
    for (std::size_t i = 0; i < square.size(); ++i) square[i] = (i / 8) % 2 ? 0 : 255;
    const Bytes squareWave = MakeWave(8000, square);
    ASSERT_TRUE(sdl::ParseWave(squareWave, view));
    out = sdl::ConvertSound(view, 48000, 1, 1.0f);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 32767);
    for (std::size_t k = 300; k < 96 + 6 * 760; ++k) {  // clear of both fades
        std::size_t i = (k - 96) / 6;  // the input sample under this one, past the 2 ms lead
        if (square[i - 1] == square[i] && square[i] == square[i + 1]) {
            ASSERT_EQ(out[k] > 0, square[i] == 255) << "output sample " << k;
        }
    }
}

// --- Through the disk driver ------------------------------------------------------------------

std::atomic<std::int64_t> mixedFrames{0};
std::atomic<int> frameBytes{4};

// Runs after each buffer the mixer fills, counting the frames mixed, so that the test knows
// which buffer each of its calls fell into.
void SDLCALL CountMixed(void*, Uint8*, int length) { mixedFrames += length / frameBytes; }

class DiskOutput : public ::testing::Test {
protected:
    struct Call {
        int sound;  // -1: every sound
        bool play;
        std::int64_t at;  // the first mixed frame it takes effect on
    };

    void SetUp() override {
        char name[] = "/tmp/quendra-sound-XXXXXX";
        int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        close(fd);
        path = name;
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
        // The driver sleeps this long per 10.7 ms buffer: five times faster than real time.
        setenv("SDL_DISKAUDIODELAY", "2", 1);
    }
    void TearDown() override {
        for (snd::SoundId id = 0; id < 16; ++id) snd::Unload(id);  // left by a failed Record
        snd::Close();
        unlink(path.c_str());
    }

    // Opens the engine with `sounds` loaded and prepared (sound i has id i), runs `calls`,
    // closes the engine and reads what it played into `recording`. A run in which the mixer
    // took a buffer while some call was being made is made again, so that each call's buffer is
    // known exactly.
    void Record(const std::vector<std::span<const std::uint8_t>>& sounds,
                const std::function<void()>& calls) {
        for (int attempt = 0; attempt < 5 && (attempt == 0 || ambiguous); ++attempt) {
            ASSERT_TRUE(snd::Open());
            Uint16 format;
            Mix_QuerySpec(&rate, &format, &channels);
            frameBytes = 2 * channels;
            references.clear();
            for (std::size_t i = 0; i < sounds.size(); ++i) {
                ASSERT_EQ(snd::Load(sounds[i]), static_cast<int>(i));
                ASSERT_TRUE(snd::Prepare(static_cast<int>(i)));
                sdl::WaveView view;
                sdl::ParseWave(sounds[i], view);
                references.push_back(sdl::ConvertSound(view, rate, channels));
            }
            log.clear(), ambiguous = false, mixedFrames = 0;
            Mix_SetPostMix(CountMixed, nullptr);
            calls();
            for (int i = 0; i < 20000 && Mix_Playing(-1) > 0; ++i) SDL_Delay(1);
            Wait(50);
            Mix_SetPostMix(nullptr, nullptr);
            for (std::size_t i = 0; i < sounds.size(); ++i) snd::Unload(static_cast<int>(i));
            snd::Close();
        }
        ASSERT_FALSE(ambiguous);
        std::ifstream file(path, std::ios::binary);
        std::vector<char> raw{std::istreambuf_iterator<char>(file), {}};
        recording.assign(raw.size() / 2, 0);
        std::memcpy(recording.data(), raw.data(), recording.size() * 2);
    }

    void Log(int sound, bool play, const std::function<void()>& call) {
        std::int64_t before = mixedFrames;
        call();
        ambiguous = ambiguous || mixedFrames != before;
        log.push_back({sound, play, before});
    }
    void Play(int sound) {
        Log(sound, true, [=] { EXPECT_TRUE(snd::Play(sound)); });
    }
    void Stop(int sound) {
        Log(sound, false, [=] { sound < 0 ? snd::StopAll() : snd::Stop(sound); });
    }
    void Wait(int milliseconds) {
        std::int64_t until = mixedFrames + std::int64_t{rate} * milliseconds / 1000;
        for (int i = 0; i < 20000 && mixedFrames < until; ++i) SDL_Delay(1);
    }

    // What the log says should be heard: each instance from the buffer its Play fell in to its
    // end or to the buffer of the first Stop that reached it, summed and clamped as the mixer
    // does. Where in the recording that begins is up to the driver (it writes silence while
    // starting); the first sound heard fixes it, and the rest must then match to the sample.
    void ExpectHeardAsLogged() {
        std::vector<std::int32_t> sum;
        for (std::size_t e = 0; e < log.size(); ++e) {
            if (!log[e].play) continue;
            const auto& ref = references[static_cast<std::size_t>(log[e].sound)];
            std::int64_t end = log[e].at + static_cast<std::int64_t>(ref.size()) / channels;
            for (std::size_t s = e + 1; s < log.size(); ++s)
                if (!log[s].play && (log[s].sound < 0 || log[s].sound == log[e].sound)) {
                    end = std::min(end, log[s].at);
                    break;
                }
            std::size_t from = static_cast<std::size_t>(log[e].at * channels);
            sum.resize(std::max(sum.size(), static_cast<std::size_t>(end * channels)));
            for (std::size_t i = from; i < static_cast<std::size_t>(end * channels); ++i)
                sum[i] += ref[i - from];
        }
        auto sounding = [](auto v) { return v != 0; };
        std::ptrdiff_t heard =
            std::find_if(recording.begin(), recording.end(), sounding) - recording.begin();
        std::ptrdiff_t planned = std::find_if(sum.begin(), sum.end(), sounding) - sum.begin();
        ASSERT_LT(planned, static_cast<std::ptrdiff_t>(sum.size()));
        start = (heard - planned) / channels;
        ASSERT_GE(start, 0);
        ASSERT_GE(recording.size(), start * channels + sum.size());
        std::size_t wrong = 0, firstWrong = 0;
        for (std::size_t i = 0; i < recording.size(); ++i) {
            std::ptrdiff_t j = static_cast<std::ptrdiff_t>(i) - start * channels;
            std::int32_t want = j >= 0 && j < static_cast<std::ptrdiff_t>(sum.size())
                                    ? std::clamp(sum[static_cast<std::size_t>(j)], -32768, 32767)
                                    : 0;
            if (recording[i] != want && wrong++ == 0) firstWrong = i;
        }
        EXPECT_EQ(wrong, 0u) << "first at frame " << firstWrong / channels << " of the recording";
    }

    // The loudest sample from frame `from` (counted as the log counts) on, for `frames` frames.
    int Peak(std::int64_t from = 0, std::int64_t frames = 1 << 30) const {
        int peak = 0;
        auto first = static_cast<std::size_t>((start + from) * channels);
        auto last = std::min(recording.size(),
                             static_cast<std::size_t>((start + from + frames) * channels));
        for (std::size_t i = first; i < last; ++i) peak = std::max(peak, std::abs(recording[i]));
        return peak;
    }

    std::string path;
    int rate = 0, channels = 0;
    std::vector<std::vector<std::int16_t>> references;
    std::vector<Call> log;
    bool ambiguous = false;
    std::vector<std::int16_t> recording;
    std::ptrdiff_t start = 0;  // the frame of the recording where the log's frame 0 is
};

TEST_F(DiskOutput, GameSoundsPlayWholeAtTheirLengths) {
    for (const char* name : {IDR_VORPSHOT, IDR_VORPDIE, IDR_VORPSPLAT}) {
        SCOPED_TRACE(name);
        auto wave = FindResource(RT_WAVE, name);
        Record({wave}, [&] { Play(0); });
        ExpectHeardAsLogged();
        // That says the whole sound was heard. That it was heard at all, and from where the
        // stored sound leaves the centre line to where it last does (not counting the filter's
        // faint ringing either side, below half an 8-bit step):
        EXPECT_GT(Peak(), 3000);
        sdl::WaveView view;
        sdl::ParseWave(wave, view);
        auto off = [](std::uint8_t v) { return v != 128; };
        auto loud = [](std::int16_t v) { return std::abs(v) >= sdl::kSoundGain * 128; };
        auto a = std::find_if(view.samples.begin(), view.samples.end(), off);
        auto b = std::find_if(view.samples.rbegin(), view.samples.rend(), off);
        auto c = std::find_if(recording.begin(), recording.end(), loud);
        auto d = std::find_if(recording.rbegin(), recording.rend(), loud);
        EXPECT_NEAR(static_cast<double>(d.base() - c) / channels / rate,
                    static_cast<double>(b.base() - a) / view.rate, 0.005);
    }
}

TEST_F(DiskOutput, InstancesOfOneSoundLayer) {
    const Bytes tone = MakeWave(8000, Tone(8000, 440, 200));
    Record({tone}, [&] { Play(0), Play(0); });
    ExpectHeardAsLogged();
    EXPECT_NEAR(Peak(), 2 * *std::max_element(references[0].begin(), references[0].end()), 2);
}

TEST_F(DiskOutput, StopsEndOnlyWhatTheyName) {
    const Bytes low = MakeWave(8000, Tone(8000, 300, 400));
    const Bytes high = MakeWave(11000, Tone(11000, 900, 250));
    Record({low, high}, [&] {
        Play(0), Play(1), Play(0);
        Wait(100);
        Stop(0);  // both low instances end; the high one plays on
        Wait(300);
        Play(0), Wait(50);
        Stop(0), Play(0);  // as a new shot does: the old instance ends, a new one starts
        Wait(50), Play(1), Wait(50);
        Stop(-1);  // everything ends
        Play(0), Play(1), Wait(50);
        Log(1, false, [] { snd::Unload(1); });  // its instances end with it
        Wait(50), Stop(0);
    });
    ExpectHeardAsLogged();
    EXPECT_GT(Peak(log[3].at, rate / 10), 1000);
    EXPECT_EQ(Peak(log.back().at), 0);
}

TEST_F(DiskOutput, WithoutADeviceTheGamePlaysSilent) {
    const Bytes tone = MakeWave(8000, Tone(8000, 440, 100));
    setenv("SDL_AUDIODRIVER", "nonexistent-driver", 1);
    EXPECT_FALSE(snd::Open());
    snd::SoundId id = snd::Load(tone);
    EXPECT_FALSE(snd::Prepare(id));
    EXPECT_FALSE(snd::Play(id));
    snd::Unload(id);
    EXPECT_EQ(InitSounds(nullptr), E_FAIL);
    EXPECT_EQ(shotSound, nullptr);
    FreeSounds();

    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/nonexistent/directory/out.raw", 1);
    EXPECT_FALSE(snd::Open());

    // Neither failure left anything half open.
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    ASSERT_TRUE(snd::Open());
    id = snd::Load(tone);
    EXPECT_FALSE(snd::Play(id));  // loaded but not prepared
    EXPECT_TRUE(snd::Prepare(id));
    EXPECT_TRUE(snd::Play(id));
    snd::Unload(id);
}

}  // namespace
