// The embedded pictures' keyed cells and crosshair, and the generator rebuilding them exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/assets.h"
#include "platform/resource.h"
#include "tests/files.h"

namespace {

// A bitmap resource, decoded as the program decodes it; ColorAt counts rows from the top.
Bitmap Dib(std::uint16_t id) {
    Bitmap bitmap;
    EXPECT_TRUE(DecodeBitmap(FindResource(RT_BITMAP, id), bitmap));
    return bitmap;
}

struct Rect { int left, top, width, height; };

// Pixels of `r` other than the key; with `on16Bits`, as the 16-bit display tells them apart.
int FigurePixels(const Bitmap& dib, Rect r, COLORREF key, bool on16Bits = false) {
    int count = 0;
    for (int j = 0; j < r.height; ++j)
        for (int i = 0; i < r.width; ++i) {
            const COLORREF c = dib.ColorAt(r.left + i, r.top + j);
            count += on16Bits ? ColorToPixel(c) != ColorToPixel(key) : c != key;
        }
    return count;
}

TEST(KeyedPictures, TheKeySurroundsEveryFigure) {
    // `count` cells side by side from `first`; each figure covers 1/share of it (0: a pixel).
    struct Cells { std::uint16_t id; COLORREF key; Rect first; int count, share; };
    std::vector<Cells> table = {
        {IDB_SPRITES, KEY_WHITE, {DIGIT_LEFT, DIGIT_TOP, DIGIT_WIDTH, DIGIT_HEIGHT}, 10, 4},
        {IDB_EXPLOSION, KEY_BLACK, {0, 0, EXPLOSION_CELL, EXPLOSION_CELL}, 8, 0},
        {IDB_SPLAT, KEY_BLACK, {0, 0, SPLAT_SIZE, SPLAT_SIZE}, 1, 3},
        {IDB_CROSSHAIR, KEY_BLACK, {0, 0, CROSSHAIR_SIZE, CROSSHAIR_SIZE}, 1, 0}};
    for (const SpriteRow* row :
         {&SMALL_TARGETS, &MEDIUM_SMALL_TARGETS, &MEDIUM_LARGE_TARGETS, &LARGE_TARGETS})
        table.push_back(
            {IDB_SPRITES, KEY_WHITE, {row->left, row->top, row->size, row->size}, 5, 4});
    for (const Cells& c : table) {
        const Bitmap dib = Dib(c.id);
        for (int i = 0; i < c.count; ++i) {
            const Rect r{c.first.left + c.first.width * i, c.first.top, c.first.width,
                         c.first.height};
            SCOPED_TRACE(testing::Message() << c.id << ": cell at " << r.left << "," << r.top);
            const int figure = FigurePixels(dib, r, c.key);
            EXPECT_EQ(figure, FigurePixels(dib, {r.left + 1, r.top + 1, r.width - 2, r.height - 2},
                                           c.key));  // nothing on the edges
            EXPECT_GE(figure * std::max(c.share, 1), c.share ? r.width * r.height : 1);
            EXPECT_EQ(FigurePixels(dib, r, c.key, true), figure);  // none turns into the key
        }
    }
}

// As much of the crosshair left as right of the aiming point, and above as below.
TEST(KeyedPictures, CrosshairIsCentredOnItsAimingPoint) {
    const Bitmap crosshair = Dib(IDB_CROSSHAIR);
    EXPECT_NE(crosshair.ColorAt(32, 32), KEY_BLACK);
    EXPECT_EQ(FigurePixels(crosshair, {1, 0, 31, 64}, KEY_BLACK),
              FigurePixels(crosshair, {33, 0, 31, 64}, KEY_BLACK));
    EXPECT_EQ(FigurePixels(crosshair, {0, 1, 64, 31}, KEY_BLACK),
              FigurePixels(crosshair, {0, 33, 64, 31}, KEY_BLACK));
}

TEST(Generator, RebuildsTheCommittedFilesByteForByte) {
    namespace fs = std::filesystem;
    const fs::path fresh = FreshFolder("quendra-assets");
    const std::string quoted = "\"" + fresh.string() + "\"";  // the pictures and the icons both
    ASSERT_EQ(std::system(("\"" QUENDRA_MAKE_ASSETS "\" " + quoted + " " + quoted).c_str()), 0);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fresh)) {
        SCOPED_TRACE(entry.path().filename().string());
        const bool icon = entry.path().extension() == ".png";  // the desktop icons
        const fs::path committed = fs::path(QUENDRA_SOURCE_DIR) /
                                   (icon ? "dist/icons" : "resources") / entry.path().filename();
        EXPECT_TRUE(fs::exists(committed));
        EXPECT_TRUE(FileBytes(entry.path()) == FileBytes(committed));
        ++files;
    }
#define QUENDRA_ROW(...) +1
    // every embedded file, and the six desktop icons
    EXPECT_EQ(files, 6 QUENDRA_NUMBERED(QUENDRA_ROW) QUENDRA_NAMED(QUENDRA_ROW));
#undef QUENDRA_ROW
    fs::remove_all(fresh);
}

}  // namespace
