// The game's pictures, each made from scratch in code.
#pragma once

#include <vector>

#include "tools/formats.h"
#include "tools/palette.h"

// Sprite sheet geometry that the game's frames copy from.
namespace sheet {
inline constexpr int kWidth = 790, kHeight = 358;
inline constexpr int kDigitLeft = 375, kDigitTop = 328, kDigitWidth = 19, kDigitHeight = 23;
}  // namespace sheet

Indexed MakeSprites();     // 790 x 358, white key: the creature at four sizes, the digits
Indexed MakeBackground();  // 640 x 480 sky
Indexed MakeExplosion();   // 1024 x 128, eight cells, black key
Indexed MakeSplat();       // 126 x 126, black key
Indexed MakeCrosshair();   // 64 x 64, 16 colours, black key
Indexed MakeMenuPanel();   // 320 x 180
Indexed MakeMenuItems();   // 160 x 70, the highlighted menu labels
Indexed MakeLoading();     // 64 x 16, 16 colours
std::vector<IconImage> MakeIcons();  // 32 x 32 and 16 x 16
Image MakeDesktopIcon(int size);     // size x size with alpha, for the desktop's icon theme
