// The desktop sound engine: the game's WAVE sounds played layered over SDL_mixer.
#include <SDL.h>
#include <SDL_mixer.h>

#include <array>
#include <vector>

#include "platform/platform.h"
#include "platform/wave.h"
#include "platform/sdl/sdl.h"

namespace snd {

namespace {

// The mixer runs at a common desktop rate; if the device prefers another, it keeps its own and
// the sounds are converted to that (SDL's own resampler never touches them). 512 frames are
// 10.7 ms at 48 kHz: a Play reaches the device within one such buffer plus the one playing,
// short of what a player notices between a click and its shot, and long enough not to starve
// on a busy desktop.
constexpr int kRate = 48000;
constexpr int kBufferFrames = 512;
constexpr int kChannels = 2;
// Mixer channels, each one playing instance. A frame starts at most a handful of sounds and
// none lasts more than half a second, so 64 are never all busy.
constexpr int kMixerChannels = 64;

struct Slot {
    bool used = false;
    wav::WaveView wave;             // the stored sound, in place
    std::vector<std::int16_t> pcm;  // the converted samples, once prepared
    Mix_Chunk* chunk = nullptr;     // the mixer's view of `pcm`; the chunk does not own it
};

std::array<Slot, MAX_SOUNDS> slots;
bool open = false;
int deviceRate = 0, deviceChannels = 0;

Slot* Find(SoundId sound) {
    if (sound < 0 || sound >= MAX_SOUNDS || !slots[static_cast<std::size_t>(sound)].used)
        return nullptr;
    return &slots[static_cast<std::size_t>(sound)];
}

// Ends the sound's instances and gives its converted samples back.
void Release(Slot& slot) {
    if (!slot.chunk) return;
    Mix_FreeChunk(slot.chunk);  // halts every channel still playing it first
    slot.chunk = nullptr;
    std::vector<std::int16_t>().swap(slot.pcm);
}

}  // namespace

bool Open() {
    if (open) return true;
    if (sdl::silent) return false;  // asked to play silent: as without a sound device
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudioDevice(kRate, AUDIO_S16SYS, kChannels, kBufferFrames, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Uint16 format = 0;
    if (Mix_QuerySpec(&deviceRate, &format, &deviceChannels) == 0 || format != AUDIO_S16SYS ||
        deviceChannels < 1 || Mix_AllocateChannels(kMixerChannels) != kMixerChannels) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    open = true;
    return true;
}

SoundId Load(std::span<const std::uint8_t> wave) {
    wav::WaveView view;
    if (!wav::ParseWave(wave, view)) return -1;
    for (int i = 0; i < MAX_SOUNDS; ++i) {
        Slot& slot = slots[static_cast<std::size_t>(i)];
        if (slot.used) continue;
        slot.used = true;
        slot.wave = view;
        return i;
    }
    return -1;
}

bool Prepare(SoundId sound) {
    Slot* slot = Find(sound);
    if (!slot || !open) return false;
    if (slot->chunk) return true;
    slot->pcm = wav::ConvertSound(slot->wave, deviceRate, deviceChannels);
    if (slot->pcm.empty()) return false;
    slot->chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(slot->pcm.data()),
                                    static_cast<Uint32>(slot->pcm.size() * sizeof(std::int16_t)));
    if (!slot->chunk) {
        std::vector<std::int16_t>().swap(slot->pcm);
        return false;
    }
    return true;
}

bool Play(SoundId sound) {
    Slot* slot = Find(sound);
    if (!slot || !open || !slot->chunk) return false;
    int channel = Mix_PlayChannel(-1, slot->chunk, 0);
    if (channel < 0) return false;
    // The tag stays on the channel after the instance ends; the next Play there re-tags it.
    // Nothing can call Stop between these two lines, the game being single-threaded.
    Mix_GroupChannel(channel, sound);
    return true;
}

void Stop(SoundId sound) {
    if (open && Find(sound)) Mix_HaltGroup(sound);
}

void StopAll() {
    if (open) Mix_HaltChannel(-1);
}

void Unload(SoundId sound) {
    Slot* slot = Find(sound);
    if (!slot) return;
    Release(*slot);
    *slot = Slot{};
}

void Close() {
    if (!open) return;
    Mix_HaltChannel(-1);
    for (Slot& slot : slots) Release(slot);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open = false;
    deviceRate = deviceChannels = 0;
}

}  // namespace snd
