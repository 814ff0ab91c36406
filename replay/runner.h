// Runs the program on the scripted platform, driven by a parsed script.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/scripted/scripted.h"
#include "replay/script.h"

namespace replay {

struct Options {
    std::uint32_t seed = 0;   // the tick count, taken as the random seed
    std::uint32_t clock = 0;  // the clock when the program starts
    scripted::Faults faults;  // start-up steps that fail
};

// Runs WinMain once, printing state, sound, message and exit lines to `out`; returns the
// program's exit code, or kCheckFailed (driver.h) when a recording's checkpoint did not hold. A
// dump that can't be written is said on standard error with its line and sets `dumpFailed`; the
// run goes on.
int Run(const Options& options, const Script& script, std::FILE* out, bool& dumpFailed);

// Writes a 640 x 480 RGB565 page as a 16-bit BMP with RGB565 masks, whole or not at all (a
// regular file at `path` is replaced; nothing else is). Empty, or why it can't.
std::string WriteDump(const char* path, const std::vector<std::uint16_t>& page);

// The one state line for the game as it stands (without the newline).
void PrintState(std::FILE* out, std::uint32_t clock);

}  // namespace replay
