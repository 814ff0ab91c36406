// The sound engine and its sounds.
#include "audio/audio.h"

#include <new>

#include "platform/resource.h"

SoundSegment::SoundSegment(SoundPerformance* performance_, SoundLoader* loader_,
                           SoundObject* segment_)
    : segment(segment_), loader(loader_), performance(performance_) {}

SoundSegment::~SoundSegment() {
    if (segment) {
        if (loader) loader->ReleaseObject(segment);
        if (prepared && performance) performance->Unload(*segment);
        ReleaseSoundObject(segment);
        segment = nullptr;
    }
    performance = nullptr;
}

HRESULT SoundSegment::Play(std::uint32_t, AudioPath* path) {
    if (!segment || !performance) return CO_E_NOTINITIALIZED;
    if (!prepared) return E_FAIL;
    if (path) return E_NOTIMPL;
    return performance->PlaySegment(*segment);
}

HRESULT SoundSegment::Stop(std::uint32_t) {
    if (!segment || !performance) return CO_E_NOTINITIALIZED;
    return performance->Stop(segment);
}

HRESULT SoundSegment::Prepare(AudioPath* path) {
    if (!segment) return CO_E_NOTINITIALIZED;
    if (path) return E_NOTIMPL;
    if (!performance) return CO_E_NOTINITIALIZED;
    HRESULT r = performance->Download(*segment);
    if (SUCCEEDED(r)) prepared = 1;
    return r;
}

AudioManager::~AudioManager() {
    delete loader;
    loader = nullptr;
    if (performance) {
        performance->Stop(nullptr);
        performance->CloseDown();
        delete performance;
        performance = nullptr;
    }
}

HRESULT AudioManager::Open(HWND, std::uint32_t, std::uint32_t) {
    loader = new (std::nothrow) SoundLoader;
    if (!loader) return E_OUTOFMEMORY;
    performance = new (std::nothrow) SoundPerformance;
    if (!performance) return E_OUTOFMEMORY;
    HRESULT r = performance->InitAudio();
    return FAILED(r) ? r : S_OK;
}

HRESULT AudioManager::LoadSound(SoundSegment** outSound, const char* name, const char* type,
                                bool prepareNow, bool midiData) {
    auto wave = FindResource(type, name);
    if (wave.empty()) return E_FAIL;
    if (!loader) return CO_E_NOTINITIALIZED;
    SoundObject* segment = nullptr;
    HRESULT r = loader->GetObject(wave, &segment);
    if (FAILED(r)) return r;
    *outSound = new (std::nothrow) SoundSegment(performance, loader, segment);
    if (!*outSound) {
        ReleaseSoundObject(segment);
        return E_OUTOFMEMORY;
    }
    if (midiData) return E_NOTIMPL;
    if (prepareNow) {
        r = (*outSound)->Prepare();
        if (FAILED(r)) return r;
    }
    return S_OK;
}
