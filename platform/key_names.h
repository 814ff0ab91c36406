// The names of keys in scripts and recordings, both ways: read by the script reader and written by
// the recorder. The keys and their names are platform/keys.h's.
#pragma once

#include <cstdint>
#include <string_view>

// The virtual key a lower-case name stands for (`up`, `enter`, `a`, `f10` ...); any other name
// stands for a key the game knows nothing of (VK_UNKNOWN).
std::uint32_t KeyFromName(std::string_view name);

// The name of a virtual key, written into `out` (at least 8 bytes); `unknown` for a key without
// one (it reads back as VK_UNKNOWN, which the game treats as it treats every key it does not know).
const char* KeyName(std::uint32_t key, char* out);
