// The embedded pictures, sounds, icon and key table, checked on the bytes the program carries:
// their formats, the layout the frames copy from, colour keys as the 16-bit display sees them,
// and that the generator rebuilds the committed files exactly.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "platform/resource.h"

namespace {

using Bytes = std::span<const std::uint8_t>;

std::uint16_t U16(Bytes b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
std::uint32_t U32(Bytes b, std::size_t at) { return U16(b, at) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16; }
std::string Tag(Bytes b, std::size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

struct Rgb {
    int r, g, b;
    friend bool operator==(Rgb, Rgb) = default;
};
constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0};

// What the 16-bit display stores for a colour: 5-6-5 by truncation.
int To565(Rgb c) { return (c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3; }
int Luma(Rgb c) { return (299 * c.r + 587 * c.g + 114 * c.b) / 1000; }

// A bitmap resource: info header, palette, rows bottom-up. Coordinates are top-down.
class Dib {
public:
    explicit Dib(Bytes bytes) : bytes_(bytes) {}
    int Width() const { return static_cast<int>(U32(bytes_, 4)); }
    int Height() const { return static_cast<int>(U32(bytes_, 8)); }
    int Bits() const { return U16(bytes_, 14); }
    int Colours() const { return 1 << Bits(); }
    std::size_t RowBytes() const { return (Width() * Bits() + 31) / 32 * 4; }
    std::size_t PixelsAt() const { return 40 + 4 * Colours(); }
    Rgb Palette(int i) const {
        std::size_t at = 40 + 4 * i;
        return {bytes_[at + 2], bytes_[at + 1], bytes_[at]};
    }
    int Index(int x, int y) const {
        std::uint8_t byte = bytes_[PixelsAt() + (Height() - 1 - y) * RowBytes() + x * Bits() / 8];
        return Bits() == 8 ? byte : x % 2 ? byte & 0x0F : byte >> 4;
    }
    Rgb At(int x, int y) const { return Palette(Index(x, y)); }

private:
    Bytes bytes_;
};

Dib Bitmap(std::uint16_t id) { return Dib(FindResource(RT_BITMAP, id)); }

constexpr std::uint16_t kLoading = 101, kBackground = 105, kMenuPanel = 106, kSplat = 107, kSprites = 108,
                        kCrosshair = 109, kExplosion = 117, kMenuItems = 120;

struct Rect {
    int left, top, width, height;
};

// Every region the frames copy out of the sprite sheet.
std::vector<Rect> SpriteCells() {
    std::vector<Rect> cells;
    for (int k = 0; k < 5; ++k) {
        cells.push_back({158 * k, 0, 158, 158});
        cells.push_back({125 * k, 158, 125, 125});
        cells.push_back({75 * k, 283, 75, 75});
        cells.push_back({375 + 45 * k, 283, 45, 45});
    }
    for (int d = 0; d < 10; ++d) cells.push_back({375 + 19 * d, 328, 19, 23});
    return cells;
}

bool EdgesAre(const Dib& dib, Rect r, Rgb key) {
    for (int i = 0; i < r.width; ++i)
        if (dib.At(r.left + i, r.top) != key || dib.At(r.left + i, r.top + r.height - 1) != key) return false;
    for (int j = 0; j < r.height; ++j)
        if (dib.At(r.left, r.top + j) != key || dib.At(r.left + r.width - 1, r.top + j) != key) return false;
    return true;
}

int FigurePixels(const Dib& dib, Rect r, Rgb key) {
    int count = 0;
    for (int j = 0; j < r.height; ++j)
        for (int i = 0; i < r.width; ++i) count += dib.At(r.left + i, r.top + j) != key;
    return count;
}

// --- Bitmaps ------------------------------------------------------------------------------------

TEST(Bitmaps, HeadersAreUncompressedBottomUpWithFullPalettes) {
    struct Expected {
        std::uint16_t id;
        int width, height, bits;
    };
    for (Expected e : {Expected{kLoading, 64, 16, 4}, {kBackground, 640, 480, 8}, {kMenuPanel, 320, 180, 8},
                       {kSplat, 126, 126, 8}, {kSprites, 790, 358, 8}, {kCrosshair, 64, 64, 4},
                       {kExplosion, 1024, 128, 8}, {kMenuItems, 160, 70, 8}}) {
        SCOPED_TRACE(e.id);
        Bytes b = FindResource(RT_BITMAP, e.id);
        ASSERT_GE(b.size(), 40u);
        const std::uint32_t colours = 1u << e.bits;
        const std::uint32_t image = (e.width * e.bits + 31) / 32 * 4 * e.height;
        EXPECT_EQ(U32(b, 0), 40u);
        EXPECT_EQ(U32(b, 4), static_cast<std::uint32_t>(e.width));
        EXPECT_EQ(U32(b, 8), static_cast<std::uint32_t>(e.height));  // positive: bottom-up
        EXPECT_EQ(U16(b, 12), 1);
        EXPECT_EQ(U16(b, 14), e.bits);
        EXPECT_EQ(U32(b, 16), 0u);  // BI_RGB
        EXPECT_EQ(U32(b, 20), image);
        EXPECT_EQ(U32(b, 24), 2835u);
        EXPECT_EQ(U32(b, 28), 2835u);
        EXPECT_EQ(U32(b, 32), colours);
        EXPECT_EQ(U32(b, 36), 0u);
        EXPECT_EQ(b.size(), 40 + 4 * colours + image);
        for (std::uint32_t i = 0; i < colours; ++i) EXPECT_EQ(b[40 + 4 * i + 3], 0) << "palette entry " << i;
    }
}

TEST(Bitmaps, FileHeadersPointAtThePixels) {
    for (const char* name : {"loading.bmp", "background.bmp", "menupanel.bmp", "splat.bmp", "sprites.bmp",
                             "crosshair.bmp", "explosion.bmp", "menuitems.bmp"}) {
        SCOPED_TRACE(name);
        std::ifstream in(std::string(QUENDRA_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
        std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GT(file.size(), 54u);
        Bytes b(file);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(U32(b, 2), file.size());
        EXPECT_EQ(U32(b, 6), 0u);
        EXPECT_EQ(U32(b, 10), 14 + 40 + 4 * (1u << U16(b, 14 + 14)));
    }
}

// --- Sprite sheet, effects and keys -------------------------------------------------------------

TEST(SpriteSheet, EveryRegionLiesInsideThePicture) {
    Dib sheet = Bitmap(kSprites);
    for (Rect r : SpriteCells()) {
        EXPECT_GE(r.left, 0);
        EXPECT_LE(r.left + r.width, sheet.Width());
        EXPECT_LE(r.top + r.height, sheet.Height());
    }
    Dib explosion = Bitmap(kExplosion);
    EXPECT_EQ(128 * 8, explosion.Width());
    EXPECT_EQ(128, explosion.Height());
}

TEST(SpriteSheet, WhiteSurroundsEveryFigure) {
    Dib sheet = Bitmap(kSprites);
    for (Rect r : SpriteCells()) {
        SCOPED_TRACE(testing::Message() << "cell at " << r.left << "," << r.top);
        EXPECT_TRUE(EdgesAre(sheet, r, kWhite));
        EXPECT_GT(FigurePixels(sheet, r, kWhite), r.width * r.height / 4);
    }
}

TEST(KeyedPictures, NoFigurePixelTurnsIntoTheKeyOn16Bits) {
    struct Keyed {
        std::uint16_t id;
        Rgb key;
    };
    for (Keyed k : {Keyed{kSprites, kWhite}, {kSplat, kBlack}, {kExplosion, kBlack}, {kCrosshair, kBlack}}) {
        SCOPED_TRACE(k.id);
        Dib dib = Bitmap(k.id);
        int collisions = 0;
        for (int y = 0; y < dib.Height(); ++y)
            for (int x = 0; x < dib.Width(); ++x) {
                Rgb c = dib.At(x, y);
                collisions += c != k.key && To565(c) == To565(k.key);
            }
        EXPECT_EQ(collisions, 0);
    }
}

TEST(KeyedPictures, BlackSurroundsTheEffects) {
    Dib explosion = Bitmap(kExplosion);
    for (int c = 0; c < 8; ++c) {
        SCOPED_TRACE(c);
        Rect cell{128 * c, 0, 128, 128};
        EXPECT_TRUE(EdgesAre(explosion, cell, kBlack));
        EXPECT_GT(FigurePixels(explosion, cell, kBlack), 0);
    }
    Dib splat = Bitmap(kSplat);
    EXPECT_TRUE(EdgesAre(splat, {0, 0, 126, 126}, kBlack));
    EXPECT_GT(FigurePixels(splat, {0, 0, 126, 126}, kBlack), 126 * 126 / 3);
}

TEST(KeyedPictures, CrosshairIsCentredOnItsAimingPoint) {
    Dib crosshair = Bitmap(kCrosshair);
    EXPECT_TRUE(EdgesAre(crosshair, {0, 0, 64, 64}, kBlack));
    EXPECT_NE(crosshair.At(32, 32), kBlack);
    // As much of it left as right of the aiming point, and above as below.
    EXPECT_EQ(FigurePixels(crosshair, {1, 0, 31, 64}, kBlack), FigurePixels(crosshair, {33, 0, 31, 64}, kBlack));
    EXPECT_EQ(FigurePixels(crosshair, {0, 1, 64, 31}, kBlack), FigurePixels(crosshair, {0, 33, 64, 31}, kBlack));
}

// --- Menu and loading notice --------------------------------------------------------------------

TEST(Menu, HighlightedBandsCoverTheirLabelsLetterForLetter) {
    Dib panel = Bitmap(kMenuPanel), items = Bitmap(kMenuItems);
    // The letters are the only bright pixels of a label box, on the panel and on a band alike.
    constexpr int kBright = 210;
    for (int s = 0; s < 3; ++s) {
        SCOPED_TRACE(s);
        int letters = 0, changed = 0;
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 160; ++x) {
                Rgb label = panel.At(149 + x, 77 + 23 * s + y), band = items.At(x, 23 * s + y);
                ASSERT_EQ(Luma(label) >= kBright, Luma(band) >= kBright) << x << "," << y;
                letters += Luma(label) >= kBright;
                changed += label != band;
            }
        EXPECT_GT(letters, 100);
        EXPECT_GT(changed, 160 * 23 / 2) << "the band is highlighted";
    }
}

TEST(Menu, BestScoreFieldIsPlainForTheDigits) {
    Dib panel = Bitmap(kMenuPanel);
    Rgb field = panel.At(129, 157);
    for (int y = 157; y <= 179; ++y)
        for (int x = 129; x <= 318; ++x) ASSERT_EQ(panel.At(x, y), field) << x << "," << y;
    EXPECT_LT(Luma(field), 64) << "dark, so the bright digits stand out";
}

TEST(Loading, LightLettersOnBlack) {
    Dib loading = Bitmap(kLoading);
    EXPECT_TRUE(EdgesAre(loading, {0, 0, 64, 16}, kBlack));
    int light = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x) light += Luma(loading.At(x, y)) >= 160;
    EXPECT_GT(light, 60);
}

// --- Keys and icon ------------------------------------------------------------------------------

TEST(Keys, AcceleratorTableIsExact) {
    Bytes keys = FindResource(RT_ACCELERATOR, 102);
    const std::vector<std::uint8_t> expected = {
        0x03, 0, 0x28, 0, 0x44, 0x9C, 0, 0,  // Down -> 40004
        0x03, 0, 0x1B, 0, 0x42, 0x9C, 0, 0,  // Escape -> 40002
        0x13, 0, 0x79, 0, 0x41, 0x9C, 0, 0,  // Alt+F10 -> 40001
        0x03, 0, 0x0D, 0, 0x47, 0x9C, 0, 0,  // Enter -> 40007
        0x83, 0, 0x26, 0, 0x43, 0x9C, 0, 0,  // Up -> 40003, last entry
    };
    EXPECT_EQ(std::vector<std::uint8_t>(keys.begin(), keys.end()), expected);
}

TEST(Icon, GroupNamesTwoSixteenColourImages) {
    Bytes group = FindResource(RT_GROUP_ICON, 103);
    ASSERT_EQ(group.size(), 34u);
    EXPECT_EQ(U16(group, 0), 0);
    EXPECT_EQ(U16(group, 2), 1);
    EXPECT_EQ(U16(group, 4), 2);
    const int sizes[] = {32, 16};
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE(n);
        std::size_t at = 6 + 14 * n;
        EXPECT_EQ(group[at], sizes[n]);
        EXPECT_EQ(group[at + 1], sizes[n]);
        EXPECT_EQ(group[at + 2], 16);
        EXPECT_EQ(group[at + 3], 0);
        EXPECT_EQ(U16(group, at + 4), 1);
        EXPECT_EQ(U16(group, at + 6), 4);
        EXPECT_EQ(U32(group, at + 8), FindResource(RT_ICON, static_cast<std::uint16_t>(n + 1)).size());
        EXPECT_EQ(U16(group, at + 12), n + 1);
    }
}

TEST(Icon, ImagesHaveColourPixelsAndAMask) {
    for (int n = 1; n <= 2; ++n) {
        const int size = n == 1 ? 32 : 16;
        SCOPED_TRACE(size);
        Bytes image = FindResource(RT_ICON, static_cast<std::uint16_t>(n));
        const std::size_t xorSize = size / 2 * size, andSize = 4 * size;  // mask rows padded to 4 bytes
        ASSERT_EQ(image.size(), 40 + 64 + xorSize + andSize);
        EXPECT_EQ(U32(image, 0), 40u);
        EXPECT_EQ(U32(image, 4), static_cast<std::uint32_t>(size));
        EXPECT_EQ(U32(image, 8), static_cast<std::uint32_t>(2 * size));
        EXPECT_EQ(U16(image, 12), 1);
        EXPECT_EQ(U16(image, 14), 4);
        EXPECT_EQ(U32(image, 16), 0u);
        // Transparent in the corner, opaque and coloured in the middle; black colour pixels under
        // the transparent ones, so the screen shows through unchanged.
        Bytes mask = image.subspan(40 + 64 + xorSize);
        auto transparent = [&](int x, int y) { return (mask[(size - 1 - y) * 4 + x / 8] >> (7 - x % 8)) & 1; };
        auto colour = [&](int x, int y) {
            std::uint8_t byte = image[40 + 64 + (size - 1 - y) * size / 2 + x / 2];
            int index = x % 2 ? byte & 0x0F : byte >> 4;
            return Rgb{image[40 + 4 * index + 2], image[40 + 4 * index + 1], image[40 + 4 * index]};
        };
        EXPECT_EQ(transparent(0, 0), 1);
        EXPECT_EQ(transparent(size / 2, size / 2), 0);
        EXPECT_NE(colour(size / 2, size / 2), kBlack);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if (transparent(x, y)) {
                    EXPECT_EQ(colour(x, y), kBlack) << x << "," << y;
                }
            }
    }
}

// --- Sounds -------------------------------------------------------------------------------------

struct SoundCase {
    const char* name;
    std::uint32_t rate, length;
};
constexpr SoundCase kSounds[] = {{"IDR_VORPSHOT", 8000, 1896}, {"IDR_VORPDIE", 8403, 2890}, {"IDR_VORPSPLAT", 11000, 2208}};

TEST(Sounds, AreMonoEightBitPcmWavesOfTwoChunks) {
    for (SoundCase s : kSounds) {
        SCOPED_TRACE(s.name);
        Bytes wav = FindResource(RT_WAVE, s.name);
        ASSERT_EQ(wav.size(), 44 + s.length);
        EXPECT_EQ(Tag(wav, 0), "RIFF");
        EXPECT_EQ(U32(wav, 4), wav.size() - 8);
        EXPECT_EQ(Tag(wav, 8), "WAVE");
        EXPECT_EQ(Tag(wav, 12), "fmt ");
        EXPECT_EQ(U32(wav, 16), 16u);
        EXPECT_EQ(U16(wav, 20), 1);   // PCM
        EXPECT_EQ(U16(wav, 22), 1);   // mono
        EXPECT_EQ(U32(wav, 24), s.rate);
        EXPECT_EQ(U32(wav, 28), s.rate);
        EXPECT_EQ(U16(wav, 32), 1);
        EXPECT_EQ(U16(wav, 34), 8);
        EXPECT_EQ(Tag(wav, 36), "data");
        EXPECT_EQ(U32(wav, 40), s.length);
    }
}

TEST(Sounds, NeverClipAndStartAndEndAtRest) {
    for (SoundCase s : kSounds) {
        SCOPED_TRACE(s.name);
        Bytes samples = FindResource(RT_WAVE, s.name).subspan(44);
        int lowest = 255, highest = 0;
        for (std::uint8_t v : samples) lowest = std::min<int>(lowest, v), highest = std::max<int>(highest, v);
        EXPECT_GT(lowest, 0);
        EXPECT_LT(highest, 255);
        EXPECT_GT(highest - lowest, 128) << "loud enough to hear";
        EXPECT_NEAR(samples.front(), 128, 2);
        EXPECT_NEAR(samples.back(), 128, 2);
    }
}

// --- The generator ------------------------------------------------------------------------------

TEST(Generator, RebuildsTheCommittedFilesByteForByte) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "quendra-assets-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path fresh = pattern;
    ASSERT_EQ(std::system((std::string("\"") + QUENDRA_MAKE_ASSETS + "\" \"" + fresh.string() + "\"").c_str()), 0);
    auto read = [](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fresh)) {
        SCOPED_TRACE(entry.path().filename().string());
        const fs::path committed = fs::path(QUENDRA_SOURCE_DIR) / "resources" / entry.path().filename();
        EXPECT_TRUE(fs::exists(committed));
        EXPECT_TRUE(read(entry.path()) == read(committed));
        ++files;
    }
    EXPECT_EQ(files, 14);
    fs::remove_all(fresh);
}

}  // namespace
