// The sound engine and its sounds: made from embedded WAVE resources, prepared once, played
// layered over each other. Sound is optional throughout.
#pragma once

#include <cstdint>

#include "platform/sound_engine.h"

// Play flags: layered over whatever sounds already. Stop flags: at the next beat (for us: now).
inline constexpr std::uint32_t DMUS_SEGF_SECONDARY = 0x80;
inline constexpr std::uint32_t DMUS_SEGF_BEAT = 0x1000;

class SoundSegment {
public:
    // Takes over `segment`.
    SoundSegment(SoundPerformance* performance, SoundObject* segment);
    virtual ~SoundSegment();
    SoundSegment(const SoundSegment&) = delete;
    SoundSegment& operator=(const SoundSegment&) = delete;

    // Starts an instance; E_FAIL when not prepared, CO_E_NOTINITIALIZED without an engine. The
    // play frame passes DMUS_SEGF_SECONDARY, which every instance here is: the flags go unread.
    HRESULT Play(std::uint32_t flags);
    // Ends every playing instance of this sound, at once: a game without music has no beat to
    // wait for, so the play frame's DMUS_SEGF_BEAT goes unread.
    HRESULT Stop(std::uint32_t flags);
    // Readies the sound for playing.
    HRESULT Prepare();

    SoundObject* segment;
    SoundPerformance* performance;  // borrowed from the engine
    std::int32_t prepared = 0;      // 1 once a Prepare succeeded, else 0
};

class AudioManager {
public:
    AudioManager() = default;
    ~AudioManager();
    AudioManager(const AudioManager&) = delete;
    AudioManager& operator=(const AudioManager&) = delete;

    // Makes the loader and opens the output; 0 or the first failing step's code.
    HRESULT Open();
    // Makes a sound from the resource `name` of `type`; with prepareNow it is also prepared
    // (when that fails the sound stays in outSound, not prepared, and the code is returned).
    HRESULT LoadSound(SoundSegment** outSound, const char* name, const char* type,
                      bool prepareNow);

    SoundLoader* loader = nullptr;
    SoundPerformance* performance = nullptr;
};
