// The scripted sound engine: no output; says which sound is asked to play or stop.
#include <cstring>
#include <string_view>

#include "platform/catalogue.h"
#include "platform/platform.h"
#include "platform/resource.h"
#include "platform/scripted/scripted.h"

using scripted::world;

namespace snd {

namespace {

using Slot = scripted::World::Sound;

// The game's sounds are known by the resource they were made from, and named after its file.
std::string_view NameOf(std::span<const std::uint8_t> wave) {
#define QUENDRA_KNOWN(constant, type, file)                              \
    if (FindResource(type, constant).data() == wave.data()) {            \
        std::string_view name = file;                                    \
        return name.substr(0, name.rfind('.'));                          \
    }
    QUENDRA_NAMED(QUENDRA_KNOWN)
#undef QUENDRA_KNOWN
    return "other";
}

void Say(const char* what, std::string_view name) {
    if (!world().out) return;
    std::fprintf(world().out, "sound %s %.*s\n", what, static_cast<int>(name.size()), name.data());
}

Slot* Find(SoundId id) {
    auto& slots = world().sounds;
    if (id < 0 || id >= static_cast<SoundId>(slots.size()) || slots[id].name.empty())
        return nullptr;
    return &slots[id];
}

}  // namespace

bool Open() {
    world().soundOpen = scripted::source().SoundOpens();
    return world().soundOpen;
}

SoundId Load(std::span<const std::uint8_t> wave) {
    auto& slots = world().sounds;
    if (!world().soundOpen || wave.size() < 12 || std::memcmp(wave.data(), "RIFF", 4) != 0)
        return -1;
    for (std::size_t i = 0; i < slots.size(); ++i)
        if (slots[i].name.empty()) {
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
    Say("play", slot->name);
    return true;
}

void Stop(SoundId id) {
    if (Slot* slot = Find(id)) Say("stop", slot->name);
}

void StopAll() {}  // only shut-down stops everything, and the runner prints nothing for it

void Unload(SoundId id) {
    if (Slot* slot = Find(id)) *slot = Slot{};
}

void Close() {
    world().sounds.fill(Slot{});
    world().soundOpen = false;
}

}  // namespace snd
