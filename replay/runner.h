// Runs the program on the scripted platform, driven by a parsed script.
#pragma once

#include <cstdint>
#include <cstdio>
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
// program's exit code, or kCheckFailed (driver.h) when a recording's checkpoint did not hold,
// or 2 when a recording's best score has no place to be kept.
int Run(const Options& options, const Script& script, std::FILE* out);

// Writes a 640 x 480 RGB565 page as a 16-bit BMP with RGB565 masks; false when it can't.
bool WriteDump(const char* path, const std::vector<std::uint16_t>& page);

// The one state line for the game as it stands (without the newline).
void PrintState(std::FILE* out, std::uint32_t clock);

}  // namespace replay
