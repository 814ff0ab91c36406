// The sound engine and its sounds: made from embedded WAVE resources, prepared once, played
// layered over each other. Sound is optional throughout.
#pragma once

#include <cstdint>

#include "platform/sound_engine.h"
#include "platform/window.h"

// Play flags: layered over whatever sounds already. Stop flags: at the next beat (for us: now).
inline constexpr std::uint32_t DMUS_SEGF_SECONDARY = 0x80;
inline constexpr std::uint32_t DMUS_SEGF_BEAT = 0x1000;

// An audio path: per-sound routing. The game never uses one, so none is ever made.
struct AudioPath;

class SoundSegment {
public:
    // Takes over `segment`.
    SoundSegment(SoundPerformance* performance, SoundLoader* loader, SoundObject* segment);
    virtual ~SoundSegment();
    SoundSegment(const SoundSegment&) = delete;
    SoundSegment& operator=(const SoundSegment&) = delete;

    // Starts an instance; E_FAIL when not prepared, CO_E_NOTINITIALIZED without an engine.
    HRESULT Play(std::uint32_t flags, AudioPath* path = nullptr);
    // Ends every playing instance of this sound.
    HRESULT Stop(std::uint32_t flags);
    // Readies the sound for playing.
    HRESULT Prepare(AudioPath* path = nullptr);

    SoundObject* segment;
    SoundLoader* loader;            // borrowed from the engine
    SoundPerformance* performance;  // borrowed from the engine
    std::int32_t prepared = 0;
};

class AudioManager {
public:
    AudioManager() = default;
    ~AudioManager();
    AudioManager(const AudioManager&) = delete;
    AudioManager& operator=(const AudioManager&) = delete;

    // Makes the loader and opens the output; 0 or the first failing step's code.
    HRESULT Open(HWND window, std::uint32_t channelCount, std::uint32_t pathType);
    // Makes a sound from the resource `name` of `type`; with prepareNow it is also prepared.
    // The MIDI form is not supported (E_NOTIMPL, the sound stays in outSound).
    HRESULT LoadSound(SoundSegment** outSound, const char* name, const char* type,
                      bool prepareNow, bool midiData);

    SoundLoader* loader = nullptr;
    SoundPerformance* performance = nullptr;
};
