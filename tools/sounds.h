// The game's three sounds, synthesised: 8-bit unsigned mono samples at fixed rates.
#pragma once

#include <cstdint>

#include "tools/formats.h"

struct Sound {
    std::uint32_t rate;
    Bytes samples;
};

Sound MakeShotSound();   // a crack over a low thump: 8000 Hz, 1896 samples
Sound MakeDieSound();    // a pop with a falling tone: 8403 Hz, 2890 samples
Sound MakeSplatSound();  // a wet squelch: 11000 Hz, 2208 samples
