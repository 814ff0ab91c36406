// Sound services over the backend's mixer.
#include "platform/sound_engine.h"

#include <new>

#include "platform/tap.h"

HRESULT SoundLoader::GetObject(std::span<const std::uint8_t> wave, SoundObject** out) {
    snd::SoundId id = snd::Load(wave);
    if (id < 0) return E_FAIL;
    *out = new (std::nothrow) SoundObject{id};
    if (!*out) {
        snd::Unload(id);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void ReleaseSoundObject(SoundObject* sound) {
    if (!sound) return;
    snd::Unload(sound->id);
    delete sound;
}

HRESULT SoundPerformance::InitAudio() {
    open_ = tap::OpenSound();
    return open_ ? S_OK : E_FAIL;
}

HRESULT SoundPerformance::Prepare(const SoundObject& sound) {
    if (!open_) return CO_E_NOTINITIALIZED;
    return snd::Prepare(sound.id) ? S_OK : E_FAIL;
}

HRESULT SoundPerformance::PlaySegment(const SoundObject& sound) {
    if (!open_) return CO_E_NOTINITIALIZED;
    return snd::Play(sound.id) ? S_OK : E_FAIL;
}

HRESULT SoundPerformance::Stop(const SoundObject* sound) {
    if (!open_) return CO_E_NOTINITIALIZED;
    if (sound)
        snd::Stop(sound->id);
    else
        snd::StopAll();
    return S_OK;
}

void SoundPerformance::CloseDown() {
    if (open_) snd::Close();
    open_ = false;
}
