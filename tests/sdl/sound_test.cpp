// The desktop sound engine: WAVE files, rate conversion, and the mixer under SDL's disk driver.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "game/assets.h"
#include "platform/platform.h"
#include "platform/resource.h"
#include "platform/wave.h"
#include "tests/files.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A WAVE file laid out as the game's are: RIFF header, 16-byte format chunk, data chunk (RIFF
// size at 4, format 20, channels 22, rate 24, bits 34, data size 40).
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

Bytes Tone(int rate, double hz, int milliseconds) {
    Bytes samples(static_cast<std::size_t>(rate * milliseconds / 1000));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(std::lround(
            128 + 64 * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate)));
    return samples;
}

TEST(WaveFile, OnlyWholeEightBitMonoPcmIsTaken) {
    const Bytes good = MakeWave(8000, Tone(8000, 440, 50));
    wav::WaveView view;
    ASSERT_TRUE(wav::ParseWave(good, view));
    EXPECT_EQ(view.rate, 8000);
    EXPECT_EQ(view.samples.data(), good.data() + 44);  // in place, not copied
    EXPECT_EQ(view.samples.size(), 400u);

    // A chunk of another kind before the data, odd-sized and so padded, is stepped over.
    Bytes listed(good.begin(), good.begin() + 36);
    listed.insert(listed.end(), {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
    listed.insert(listed.end(), good.begin() + 36, good.end());
    listed[4] += 12;
    ASSERT_TRUE(wav::ParseWave(listed, view));
    EXPECT_EQ(view.samples.data(), listed.data() + 56);

    const std::pair<const char*, std::function<void(Bytes&)>> spoilers[] = {
        {"not RIFF", [](Bytes& b) { b[0] = 'X'; }},
        {"compressed", [](Bytes& b) { b[20] = 2; }},
        {"stereo", [](Bytes& b) { b[22] = 2; }},
        {"16-bit", [](Bytes& b) { b[34] = 16; }},
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
        EXPECT_FALSE(wav::ParseWave(bad, view)) << what;
        EXPECT_LT(snd::Load(bad), 0) << what;
    }
}

// A converted tone is the same tone at the new rate, sample by sample (an image, alias, gain or
// timing error shows); one above the lower Nyquist frequency vanishes.
TEST(Resampler, PassesTheBandAndNothingAboveIt) {
    // lead and tail: input samples added ahead and after.
    struct Case { int from, to; double hz; bool passes; int lead = 0, tail = 0; };
    for (Case c : {Case{8000, 48000, 3300, true}, {8403, 48000, 2500, true},
                   {11000, 44100, 4600, true}, {48000, 8000, 1000, true},
                   {48000, 8000, 6000, false}, {8000, 48000, 1000, true, 16, 48},
                   {48000, 11000, 1000, true, 100, 200}}) {
        std::vector<float> input(static_cast<std::size_t>(c.from / 5));
        for (std::size_t i = 0; i < input.size(); ++i)
            input[i] = 0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * c.hz *
                                                          static_cast<double>(i) / c.from));
        std::vector<float> output = wav::Resample(input, c.from, c.to, c.lead, c.tail);
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
    // Held at full deflection throughout: unfaded, it would begin and end with a step of a third
    // of full scale.
    const Bytes held = MakeWave(8000, Bytes(800, 255));
    wav::WaveView view;
    ASSERT_TRUE(wav::ParseWave(held, view));
    std::vector<std::int16_t> out = wav::ConvertSound(view, 48000, 2);
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
    EXPECT_NEAR(out[out.size() / 2], wav::kSoundGain * 32768 * 127 / 128, 2);

    // A full-scale square wave at full gain overshoots the 16-bit range on every edge: clamped,
    // not wrapped round to the other sign.
    Bytes square(800);
    for (std::size_t i = 0; i < square.size(); ++i) square[i] = (i / 8) % 2 ? 0 : 255;
    const Bytes squareWave = MakeWave(8000, square);
    ASSERT_TRUE(wav::ParseWave(squareWave, view));
    out = wav::ConvertSound(view, 48000, 1, 1.0f);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 32767);
    for (std::size_t k = 300; k < 96 + 6 * 760; ++k) {  // clear of both fades
        std::size_t i = (k - 96) / 6;  // the input sample under this one, past the 2 ms lead
        if (square[i - 1] == square[i] && square[i] == square[i + 1]) {
            ASSERT_EQ(out[k] > 0, square[i] == 255) << "output sample " << k;
        }
    }
}

class DiskOutput : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    }
    void TearDown() override {
        for (snd::SoundId id = 0; id < snd::MAX_SOUNDS; ++id) snd::Unload(id);
        snd::Close();
        std::filesystem::remove_all(folder);
    }
    const std::filesystem::path folder = FreshFolder("quendra-sound");
    const std::string path = folder / "out.raw";
};

// Instances layer; a stop or unload ends every instance of its sound and no other, on any channel.
TEST_F(DiskOutput, InstancesLayerAndStopsEndOnlyWhatTheyName) {
    const Bytes low = MakeWave(8000, Tone(8000, 300, 5000));
    const Bytes high = MakeWave(11000, Tone(11000, 900, 5000));
    ASSERT_TRUE(snd::Open());
    ASSERT_EQ(snd::Load(low), 0);
    ASSERT_EQ(snd::Load(high), 1);
    ASSERT_TRUE(snd::Prepare(0) && snd::Prepare(1));
    EXPECT_TRUE(snd::Play(0) && snd::Play(1) && snd::Play(0));
    EXPECT_EQ(Mix_Playing(-1), 3);
    snd::Stop(0);
    EXPECT_EQ(Mix_Playing(-1), 1);
    EXPECT_TRUE(snd::Play(0) && snd::Play(0));  // on the channels sound 0 had before
    snd::Stop(1);
    EXPECT_EQ(Mix_Playing(-1), 2);
    EXPECT_TRUE(snd::Play(1));  // on a channel sound 1 had, tagged anew
    snd::Stop(0);
    EXPECT_EQ(Mix_Playing(-1), 1);
    snd::StopAll();
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_TRUE(snd::Play(0) && snd::Play(1));
    snd::Unload(1);
    EXPECT_EQ(Mix_Playing(-1), 1);
    EXPECT_FALSE(snd::Play(1));
}

TEST_F(DiskOutput, WithoutADeviceTheGamePlaysSilentAndWithOneItsSoundsPlay) {
    const Bytes tone = MakeWave(8000, Tone(8000, 440, 100));
    setenv("SDL_AUDIODRIVER", "nonexistent-driver", 1);
    EXPECT_FALSE(snd::Open());
    snd::SoundId id = snd::Load(tone);
    EXPECT_FALSE(snd::Prepare(id));
    EXPECT_FALSE(snd::Play(id));
    snd::Unload(id);

    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/nonexistent/directory/out.raw", 1);
    EXPECT_FALSE(snd::Open());

    // Neither failure left anything half open. Half-second buffers: the sounds can't end uncounted.
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "500", 1);
    const bool opened = snd::Open();
    unsetenv("SDL_DISKAUDIODELAY");
    ASSERT_TRUE(opened);
    id = snd::Load(tone);
    EXPECT_FALSE(snd::Play(id));  // loaded but not prepared
    EXPECT_TRUE(snd::Prepare(id));
    EXPECT_TRUE(snd::Play(id));
    snd::Unload(id);
    for (const char* name : {IDR_VORPSHOT, IDR_VORPDIE, IDR_VORPSPLAT}) {
        id = snd::Load(FindResource(RT_WAVE, name));
        EXPECT_TRUE(id >= 0 && snd::Prepare(id) && snd::Play(id)) << name;
    }
    EXPECT_EQ(Mix_Playing(-1), 3);
}

}  // namespace
