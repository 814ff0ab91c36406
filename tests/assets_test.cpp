// The embedded pictures, checked on the bytes the program carries: the layout the frames copy
// from, colour keys as the 16-bit display sees them, and that the generator rebuilds the
// committed files exactly (which pins every header it writes, and the sounds).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/catalogue.h"
#include "platform/resource.h"
#include "platform/surface.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0;

// A bitmap resource, decoded as the program decodes it; ColorAt counts rows from the top.
Bitmap Dib(std::uint16_t id) {
    Bitmap bitmap;
    EXPECT_TRUE(DecodeBitmap(FindResource(RT_BITMAP, id), bitmap));
    return bitmap;
}

struct Rect {
    int left, top, width, height;
};

struct Keyed {
    std::uint16_t id;
    COLORREF key;
    Rect cell;  // a region the frames copy
    int figure;  // at least this many pixels of it are not the key
};

// Every region the frames copy out of a keyed picture.
std::vector<Keyed> KeyedCells() {
    std::vector<Keyed> cells;
    for (int k = 0; k < 5; ++k) {
        cells.push_back({IDB_SPRITES, kWhite, {158 * k, 0, 158, 158}, 158 * 158 / 4});
        cells.push_back({IDB_SPRITES, kWhite, {125 * k, 158, 125, 125}, 125 * 125 / 4});
        cells.push_back({IDB_SPRITES, kWhite, {75 * k, 283, 75, 75}, 75 * 75 / 4});
        cells.push_back({IDB_SPRITES, kWhite, {375 + 45 * k, 283, 45, 45}, 45 * 45 / 4});
    }
    for (int d = 0; d < 10; ++d) cells.push_back({IDB_SPRITES, kWhite, {375 + 19 * d, 328, 19, 23}, 19 * 23 / 4});
    for (int c = 0; c < 8; ++c) cells.push_back({IDB_EXPLOSION, kBlack, {128 * c, 0, 128, 128}, 1});
    cells.push_back({IDB_SPLAT, kBlack, {0, 0, 126, 126}, 126 * 126 / 3});
    cells.push_back({IDB_CROSSHAIR, kBlack, {0, 0, 64, 64}, 1});
    return cells;
}

bool EdgesAre(const Bitmap& dib, Rect r, COLORREF key) {
    for (int i = 0; i < r.width; ++i)
        if (dib.ColorAt(r.left + i, r.top) != key || dib.ColorAt(r.left + i, r.top + r.height - 1) != key) return false;
    for (int j = 0; j < r.height; ++j)
        if (dib.ColorAt(r.left, r.top + j) != key || dib.ColorAt(r.left + r.width - 1, r.top + j) != key) return false;
    return true;
}

int FigurePixels(const Bitmap& dib, Rect r, COLORREF key) {
    int count = 0;
    for (int j = 0; j < r.height; ++j)
        for (int i = 0; i < r.width; ++i) count += dib.ColorAt(r.left + i, r.top + j) != key;
    return count;
}

TEST(KeyedPictures, TheKeySurroundsEveryFigure) {
    for (const Keyed& k : KeyedCells()) {
        SCOPED_TRACE(testing::Message() << k.id << ": cell at " << k.cell.left << "," << k.cell.top);
        const Bitmap dib = Dib(k.id);
        EXPECT_TRUE(EdgesAre(dib, k.cell, k.key));
        EXPECT_GE(FigurePixels(dib, k.cell, k.key), k.figure);
    }
}

TEST(KeyedPictures, NoFigurePixelTurnsIntoTheKeyOn16Bits) {
    for (Keyed k : {Keyed{IDB_SPRITES, kWhite, {}, 0}, {IDB_SPLAT, kBlack, {}, 0},
                    {IDB_EXPLOSION, kBlack, {}, 0}, {IDB_CROSSHAIR, kBlack, {}, 0}}) {
        SCOPED_TRACE(k.id);
        const Bitmap dib = Dib(k.id);
        int collisions = 0;
        for (int y = 0; y < dib.height; ++y)
            for (int x = 0; x < dib.width; ++x) {
                const COLORREF c = dib.ColorAt(x, y);
                collisions += c != k.key && ColorToPixel(c) == ColorToPixel(k.key);
            }
        EXPECT_EQ(collisions, 0);
    }
}

TEST(KeyedPictures, CrosshairIsCentredOnItsAimingPoint) {
    const Bitmap crosshair = Dib(IDB_CROSSHAIR);
    EXPECT_NE(crosshair.ColorAt(32, 32), kBlack);
    // As much of it left as right of the aiming point, and above as below.
    EXPECT_EQ(FigurePixels(crosshair, {1, 0, 31, 64}, kBlack), FigurePixels(crosshair, {33, 0, 31, 64}, kBlack));
    EXPECT_EQ(FigurePixels(crosshair, {0, 1, 64, 31}, kBlack), FigurePixels(crosshair, {0, 33, 64, 31}, kBlack));
}

TEST(Generator, RebuildsTheCommittedFilesByteForByte) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "quendra-assets-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path fresh = pattern;
    const std::string quoted = "\"" + fresh.string() + "\"";  // the pictures and the icons both
    const std::string command = std::string("\"") + QUENDRA_MAKE_ASSETS + "\" " + quoted + " " + quoted;
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto read = [](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fresh)) {
        SCOPED_TRACE(entry.path().filename().string());
        const bool icon = entry.path().extension() == ".png";  // the desktop icons
        const fs::path committed = fs::path(QUENDRA_SOURCE_DIR) /
                                   (icon ? "dist/icons" : "resources") / entry.path().filename();
        EXPECT_TRUE(fs::exists(committed));
        EXPECT_TRUE(read(entry.path()) == read(committed));
        ++files;
    }
#define QUENDRA_ROW(...) +1
    // every embedded file, and the six desktop icons
    EXPECT_EQ(files, 6 QUENDRA_NUMBERED(QUENDRA_ROW) QUENDRA_NAMED(QUENDRA_ROW));
#undef QUENDRA_ROW
    fs::remove_all(fresh);
}

}  // namespace
