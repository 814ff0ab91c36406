// The desktop sound engine (not yet: the game plays silent).
#include "platform/platform.h"

namespace snd {

bool Open() { return false; }
SoundId Load(std::span<const std::uint8_t>) { return -1; }
bool Prepare(SoundId) { return false; }
bool Play(SoundId) { return false; }
void Stop(SoundId) {}
void StopAll() {}
void Unload(SoundId) {}
void Close() {}

}  // namespace snd
