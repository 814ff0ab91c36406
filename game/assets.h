// The game's pictures and sounds: their ids (from the catalogue), sizes, regions, colour keys.
// The generator (tools/) draws the pictures to these sizes and regions.
#pragma once

#include <cstdint>

#include "platform/catalogue.h"
#include "platform/platform.h"
#include "platform/surface.h"

// Colour keys, as colours.
inline constexpr COLORREF KEY_BLACK = 0x000000;
inline constexpr COLORREF KEY_WHITE = 0xFFFFFF;

// Regions of the sprite sheet: the target at each of its four sizes, five pictures a size, and
// the ten digits.
inline constexpr int PICTURES_PER_SIZE = 5;
struct SpriteRow {
    int size;         // width and height of one picture
    int left, top;    // of picture 0; picture k lies `size` * k further right
    int offset;       // where the picture sits inside a target's cell (LARGE_TARGETS' square)
};
inline constexpr SpriteRow SMALL_TARGETS{45, 375, 283, 57};
inline constexpr SpriteRow MEDIUM_SMALL_TARGETS{75, 0, 283, 42};
inline constexpr SpriteRow MEDIUM_LARGE_TARGETS{125, 0, 158, 17};
inline constexpr SpriteRow LARGE_TARGETS{158, 0, 0, 0};
// The rows in the order a target grows through them.
inline constexpr const SpriteRow* GROWING_ROWS[] = {&SMALL_TARGETS, &MEDIUM_SMALL_TARGETS,
                                                    &MEDIUM_LARGE_TARGETS, &LARGE_TARGETS};

inline constexpr int DIGIT_LEFT = 375, DIGIT_TOP = 328, DIGIT_WIDTH = 19, DIGIT_HEIGHT = 23;
inline constexpr int DIGIT_COUNT = 10;  // scores are shown with this many digits

// The explosion: its cells side by side, square.
inline constexpr int EXPLOSION_CELL = 128, EXPLOSION_CELLS = 8;
inline constexpr int EXPLOSION_LAST_CELL = EXPLOSION_CELLS - 1;

// The menu panel's labels, one under another, one for each menu entry: the first one's box in
// the panel (the menu items picture holds a highlighted band of that size for each label, and a
// last row no band uses), and the field in the panel that the best score's digits fill.
inline constexpr int MENU_LABEL_LEFT = 149, MENU_LABEL_TOP = 77;
inline constexpr int MENU_LABEL_WIDTH = 160, MENU_LABEL_HEIGHT = 23, MENU_LABELS = 3;
inline constexpr int MENU_FIELD_LEFT = 129, MENU_FIELD_TOP = 157;

// Picture sizes.
inline constexpr int LOADING_WIDTH = 64, LOADING_HEIGHT = 16;
inline constexpr int BACKGROUND_WIDTH = int{SCREEN_WIDTH}, BACKGROUND_HEIGHT = int{SCREEN_HEIGHT};
inline constexpr int SPRITES_WIDTH = 790, SPRITES_HEIGHT = 358;
inline constexpr int EXPLOSION_WIDTH = EXPLOSION_CELL * EXPLOSION_CELLS;
inline constexpr int EXPLOSION_HEIGHT = EXPLOSION_CELL;
inline constexpr int MENUPANEL_WIDTH = 320, MENUPANEL_HEIGHT = 180;
inline constexpr int MENUITEMS_WIDTH = MENU_LABEL_WIDTH;
inline constexpr int MENUITEMS_HEIGHT = MENU_LABEL_HEIGHT * MENU_LABELS + 1;
inline constexpr int SPLAT_SIZE = 126;
inline constexpr int CROSSHAIR_SIZE = 64;
