// The game's pictures, each made from scratch in code.
#pragma once

#include <vector>

#include "game/assets.h"
#include "tools/formats.h"
#include "tools/palette.h"

// Each picture at its size in game/assets.h, with the regions the game's frames copy from there.
Indexed MakeSprites();     // white key: the creature at four sizes, the digits
Indexed MakeBackground();  // the sky
Indexed MakeExplosion();   // its cells, black key
Indexed MakeSplat();       // black key
Indexed MakeCrosshair();   // 16 colours, black key
Indexed MakeMenuPanel();   // with the labels and the best score's field
Indexed MakeMenuItems();   // the highlighted menu labels
Indexed MakeLoading();     // 16 colours
std::vector<IconImage> MakeIcons();  // 32 x 32 and 16 x 16
Image MakeDesktopIcon(int size);     // size x size with alpha, for the desktop's icon theme
