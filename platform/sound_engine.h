// The sound services: a loader that makes sounds from WAVE files in memory, and a performance
// that plays them layered over each other. Over the backend's mixer (platform.h).
#pragma once

#include <cstdint>
#include <span>

#include "platform/platform.h"

// One sound made from a WAVE file; playable once the performance has prepared it.
struct SoundObject {
    snd::SoundId id = -1;
};

class SoundLoader {
public:
    // Reads a whole RIFF WAVE file in place; a negative code when the bytes are not one.
    HRESULT GetObject(std::span<const std::uint8_t> wave, SoundObject** out);
};

// Frees a sound made by GetObject (null: nothing), with its prepared form; its instances end.
void ReleaseSoundObject(SoundObject* sound);

class SoundPerformance {
public:
    // Opens the sound output; a negative code when there is none.
    HRESULT InitAudio();
    // Converts a sound to the output's format, ready to play.
    HRESULT Prepare(const SoundObject& sound);
    // Starts one more instance, layered over whatever plays; never waits.
    HRESULT PlaySegment(const SoundObject& sound);
    // Ends every instance of one sound, or of every sound when `sound` is null. Only the engine's
    // shut-down asks for every sound, just before CloseDown (which would end them too): it is
    // kept so that shut-down keeps the game's order of steps.
    HRESULT Stop(const SoundObject* sound);
    void CloseDown();

private:
    bool open_ = false;
};
