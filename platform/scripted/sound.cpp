// The scripted sound engine: no output; says which sound is asked to play or stop.
#include <array>
#include <cstring>

#include "platform/platform.h"
#include "platform/resource.h"
#include "platform/scripted/scripted.h"

using scripted::world;

namespace snd {

namespace {

struct Slot {
    const char* name = nullptr;  // null: free
    bool prepared = false;
};
std::array<Slot, 16> slots;
bool open = false;

// The game's sounds are known by the resource they were made from.
const char* NameOf(std::span<const std::uint8_t> wave) {
    static const struct {
        const char* resource;
        const char* name;
    } known[] = {{"IDR_VORPSHOT", "shot"}, {"IDR_VORPDIE", "die"}, {"IDR_VORPSPLAT", "splat"}};
    for (const auto& k : known)
        if (FindResource(RT_WAVE, k.resource).data() == wave.data()) return k.name;
    return "other";
}

Slot* Find(SoundId id) {
    if (id < 0 || id >= static_cast<SoundId>(slots.size()) || !slots[id].name) return nullptr;
    return &slots[id];
}

}  // namespace

bool Open() {
    open = !world().faults.audio;
    return open;
}

SoundId Load(std::span<const std::uint8_t> wave) {
    if (!open || wave.size() < 12 || std::memcmp(wave.data(), "RIFF", 4) != 0) return -1;
    for (std::size_t i = 0; i < slots.size(); ++i)
        if (!slots[i].name) {
            slots[i] = Slot{NameOf(wave), false};
            return static_cast<SoundId>(i);
        }
    return -1;
}

bool Prepare(SoundId id) {
    Slot* slot = Find(id);
    if (!slot || world().faults.prepare) return false;
    slot->prepared = true;
    return true;
}

bool Play(SoundId id) {
    Slot* slot = Find(id);
    if (!slot || !slot->prepared) return false;
    std::fprintf(world().out, "sound play %s\n", slot->name);
    return true;
}

void Stop(SoundId id) {
    if (Slot* slot = Find(id)) std::fprintf(world().out, "sound stop %s\n", slot->name);
}

void StopAll() {}

void Unload(SoundId id) {
    if (Slot* slot = Find(id)) *slot = Slot{};
}

void Close() {
    slots.fill(Slot{});
    open = false;
}

}  // namespace snd
