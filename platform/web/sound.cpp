// The browser sound engine: the game's WAVE sounds, read and resampled by our own code to the
// audio context's rate, played as Web Audio buffers layered over one another. Where the
// browser allows no audio the context stays silent and the game plays on.
#include <emscripten.h>

#include <array>
#include <vector>

#include "platform/platform.h"
#include "platform/wave.h"

namespace {

// The context's sample rate, or 0 when the page has no audio at all.
EM_JS(int, web_audio_open, (), { return quendraPage.audioOpen(); });
// Hands one sound's converted mono samples to the page as an audio buffer.
EM_JS(int, web_audio_prepare, (int id, const std::int16_t* samples, int count), {
    const first = samples >> 1;
    return quendraPage.audioPrepare(id, HEAP16.subarray(first, first + count)) ? 1 : 0;
});
EM_JS(int, web_audio_play, (int id), { return quendraPage.audioPlay(id) ? 1 : 0; });
EM_JS(void, web_audio_stop, (int id), { quendraPage.audioStop(id); });
EM_JS(void, web_audio_forget, (int id), { quendraPage.audioForget(id); });
EM_JS(void, web_audio_close, (), { quendraPage.audioClose(); });

struct Slot {
    bool used = false;
    bool prepared = false;
    wav::WaveView wave;  // the stored sound, in place
};

std::array<Slot, snd::MAX_SOUNDS> slots;
int rate = 0;  // of the open audio context; 0 while closed

Slot* Find(snd::SoundId sound) {
    if (sound < 0 || sound >= snd::MAX_SOUNDS || !slots[static_cast<std::size_t>(sound)].used)
        return nullptr;
    return &slots[static_cast<std::size_t>(sound)];
}

}  // namespace

namespace snd {

bool Open() {
    if (rate == 0) rate = web_audio_open();
    return rate > 0;
}

SoundId Load(std::span<const std::uint8_t> wave) {
    wav::WaveView view;
    if (!wav::ParseWave(wave, view)) return -1;
    for (int i = 0; i < snd::MAX_SOUNDS; ++i) {
        Slot& slot = slots[static_cast<std::size_t>(i)];
        if (slot.used) continue;
        slot = Slot{true, false, view};
        return i;
    }
    return -1;
}

bool Prepare(SoundId sound) {
    Slot* slot = Find(sound);
    if (!slot || rate == 0) return false;
    if (slot->prepared) return true;
    // The page keeps its own copy of the samples, so ours go at once.
    std::vector<std::int16_t> pcm = wav::ConvertSound(slot->wave, rate, 1);
    if (pcm.empty()) return false;
    slot->prepared = web_audio_prepare(sound, pcm.data(), static_cast<int>(pcm.size())) != 0;
    return slot->prepared;
}

bool Play(SoundId sound) {
    Slot* slot = Find(sound);
    return slot && slot->prepared && rate != 0 && web_audio_play(sound) != 0;
}

void Stop(SoundId sound) {
    if (Find(sound) && rate != 0) web_audio_stop(sound);
}

void StopAll() {
    for (int i = 0; i < snd::MAX_SOUNDS; ++i) Stop(i);
}

void Unload(SoundId sound) {
    Slot* slot = Find(sound);
    if (!slot) return;
    if (rate != 0) web_audio_forget(sound);
    *slot = Slot{};
}

void Close() {
    if (rate == 0) return;
    for (int i = 0; i < snd::MAX_SOUNDS; ++i)
        if (slots[static_cast<std::size_t>(i)].prepared) web_audio_forget(i);
    for (Slot& slot : slots) slot.prepared = false;
    web_audio_close();
    rate = 0;
}

}  // namespace snd
