// The sound services: a loader that makes sounds from WAVE files in memory, and a performance
// that plays them layered over each other. Over the backend's mixer (platform.h).
#pragma once

#include <cstdint>
#include <span>

#include "platform/platform.h"

// One sound made from a WAVE file; playable once downloaded to the performance.
struct SoundObject {
    snd::SoundId id = -1;
};

class SoundLoader {
public:
    // Reads a whole RIFF WAVE file in place; a negative code when the bytes are not one.
    HRESULT GetObject(std::span<const std::uint8_t> wave, SoundObject** out);
    // Forgets a sound made by GetObject; the loader keeps no copies, so nothing is freed.
    void ReleaseObject(SoundObject* sound);
};

// Frees a sound made by GetObject.
void ReleaseSoundObject(SoundObject* sound);

class SoundPerformance {
public:
    // Opens the sound output; a negative code when there is none.
    HRESULT InitAudio();
    // Prepares a sound for playing (conversion to the output's format).
    HRESULT Download(const SoundObject& sound);
    void Unload(const SoundObject& sound);
    // Starts one more instance, layered over whatever plays; never waits.
    HRESULT PlaySegment(const SoundObject& sound);
    // Ends every instance of one sound, or of every sound when `sound` is null.
    HRESULT Stop(const SoundObject* sound);
    void CloseDown();

private:
    bool open_ = false;
};
