// The two kinds of frame: the play frame while a game runs, the menu frame otherwise.
#pragma once

#include <cstdint>

#include "platform/results.h"

// Target frame numbers: what a target is doing and which picture it shows.
inline constexpr std::uint16_t FRAME_FIRST_GROWING = 0;   // 0..19: growing, four sizes of five
inline constexpr std::uint16_t FRAME_SPLATTING = 20;      // reached the screen: splat, lose a point
inline constexpr std::uint16_t FRAME_LAST_SPLAT = 34;     // 21..34: the splat stays
inline constexpr std::uint16_t FRAME_RESPAWN = 35;        // waiting for a new position
inline constexpr std::uint16_t FRAME_HIT = 36;            // hit, scored in the next pass
inline constexpr std::uint16_t FRAME_LAST_EXPLOSION = 44; // 37..44: explosion cells 1..7, then 7

// The targets move on one animation step once more than this many milliseconds have gathered.
inline constexpr std::uint32_t STEP_MS = 75;
inline constexpr std::int32_t POINTS_PER_TARGET = 50;

// One play frame: mouse, shot, animation step, drawing, hits, splats, score, crosshair,
// present. `elapsed` is the milliseconds since the previous frame (never 0). Returns the
// failing ShowFrame code, else 0.
HRESULT PlayFrame(std::uint32_t elapsed);
// Draws `value` (0 or more) as DIGIT_COUNT digits from the sprite sheet with leading zeros, digit
// p (1 to DIGIT_COUNT, the last the units) at (left + DIGIT_WIDTH * p, y); stops at the first
// digit that fails and returns its code, else 0.
HRESULT DrawDigits(std::uint32_t left, std::uint32_t y, std::int32_t value);
// Draws `score` (below 0: 0) with DrawDigits at the top of the screen; a digit that fails ends
// the drawing, and the frame goes on.
void DrawScore();
// One menu frame: black, the panel, the selected entry highlighted, the best score's digits,
// present. A negative code when a digit or the present fails.
HRESULT MenuFrame();
