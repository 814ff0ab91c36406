// The sound engine and its sounds.
#include "audio/audio.h"

#include <new>

#include "platform/resource.h"

SoundSegment::SoundSegment(SoundPerformance* performance_, SoundObject* segment_)
    : segment(segment_), performance(performance_) {}

SoundSegment::~SoundSegment() {
    ReleaseSoundObject(segment);  // its instances end and its prepared form goes with it
    segment = nullptr;
    performance = nullptr;
}

HRESULT SoundSegment::Play(std::uint32_t) {
    if (!segment || !performance) return CO_E_NOTINITIALIZED;
    if (!prepared) return E_FAIL;
    return performance->PlaySegment(*segment);
}

HRESULT SoundSegment::Stop(std::uint32_t) {
    if (!segment || !performance) return CO_E_NOTINITIALIZED;
    return performance->Stop(segment);
}

HRESULT SoundSegment::Prepare() {
    if (!segment || !performance) return CO_E_NOTINITIALIZED;
    HRESULT r = performance->Prepare(*segment);
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

HRESULT AudioManager::Open() {
    loader = new (std::nothrow) SoundLoader;
    if (!loader) return E_OUTOFMEMORY;
    performance = new (std::nothrow) SoundPerformance;
    if (!performance) return E_OUTOFMEMORY;
    HRESULT r = performance->InitAudio();
    return FAILED(r) ? r : S_OK;
}

HRESULT AudioManager::LoadSound(SoundSegment** outSound, const char* name, const char* type,
                                bool prepareNow) {
    auto wave = FindResource(type, name);
    if (wave.empty()) return E_FAIL;
    if (!loader) return CO_E_NOTINITIALIZED;
    SoundObject* segment = nullptr;
    HRESULT r = loader->GetObject(wave, &segment);
    if (FAILED(r)) return r;
    *outSound = new (std::nothrow) SoundSegment(performance, segment);
    if (!*outSound) {
        ReleaseSoundObject(segment);
        return E_OUTOFMEMORY;
    }
    if (prepareNow) {
        r = (*outSound)->Prepare();
        if (FAILED(r)) return r;
    }
    return S_OK;
}
