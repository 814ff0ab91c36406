// The game's pictures and sounds: their ids (from the catalogue), sizes, regions, colour keys.
#pragma once

#include <cstdint>

#include "platform/catalogue.h"
#include "platform/surface.h"

// Colour keys, as colours.
inline constexpr COLORREF KEY_BLACK = 0x000000;
inline constexpr COLORREF KEY_WHITE = 0xFFFFFF;

// Picture sizes.
inline constexpr int LOADING_WIDTH = 64, LOADING_HEIGHT = 16;
inline constexpr int BACKGROUND_WIDTH = 640, BACKGROUND_HEIGHT = 480;  // the whole screen
inline constexpr int SPRITES_WIDTH = 790, SPRITES_HEIGHT = 358;
inline constexpr int EXPLOSION_WIDTH = 1024, EXPLOSION_HEIGHT = 128;
inline constexpr int MENUPANEL_WIDTH = 320, MENUPANEL_HEIGHT = 180;
inline constexpr int MENUITEMS_WIDTH = 160, MENUITEMS_HEIGHT = 70;
inline constexpr int SPLAT_SIZE = 126;
inline constexpr int CROSSHAIR_SIZE = 64;

// Regions of the sprite sheet: the target at each of its four sizes, five pictures a size, and
// the ten digits.
inline constexpr int PICTURES_PER_SIZE = 5;
struct SpriteRow {
    int size;         // width and height of one picture
    int left, top;    // of picture 0; picture k lies `size` * k further right
    int offset;       // where the picture sits inside a target's 158-pixel cell
};
inline constexpr SpriteRow SMALL_TARGETS{45, 375, 283, 57};
inline constexpr SpriteRow MEDIUM_SMALL_TARGETS{75, 0, 283, 42};
inline constexpr SpriteRow MEDIUM_LARGE_TARGETS{125, 0, 158, 17};
inline constexpr SpriteRow LARGE_TARGETS{158, 0, 0, 0};

inline constexpr int DIGIT_LEFT = 375, DIGIT_TOP = 328, DIGIT_WIDTH = 19, DIGIT_HEIGHT = 23;
inline constexpr int DIGIT_COUNT = 10;  // scores are shown with this many digits

// The explosion: eight cells of 128 by 128 side by side.
inline constexpr int EXPLOSION_CELL = 128;
inline constexpr int EXPLOSION_LAST_CELL = 7;
