// The one line that says the game's state: quendra-replay's `state` prints it, and recordings
// keep it in their checkpoints.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes the state's fields, "clock=C active=W ... targets=LIST", for the clock `clock` into
// `out` (at most `size` bytes, the NUL included; 8192 always hold them); returns their length.
// Allocates nothing.
std::size_t FormatState(char* out, std::size_t size, std::uint32_t clock);
