// Checks screenshots of the real game: `frame_check crosshair X Y SHOT.ppm` whether the
// crosshair stands centred on (X, Y); `frame_check even DUMP.bmp SHOT.ppm [X Y W H]` whether it
// shows a replay dump with even pixels (exactly, at its own size). Exit 0 when so, 1 if not, 2 on
// error.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/assets.h"
#include "platform/resource.h"
#include "platform/surface.h"
#include "tests/even_reference.h"

namespace {

constexpr int kWidth = SCREEN_WIDTH, kHeight = SCREEN_HEIGHT;  // a dump, the game's page

// A binary PPM (P6) screenshot of at least the page's size, as xwd | convert and the browser
// tests write them: its size and its bytes, red, green, blue.
struct Shot {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    Color At(int x, int y) const {
        const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        return {double(p[0]), double(p[1]), double(p[2])};
    }
};
bool ReadPpm(const char* path, Shot& shot) {
    std::ifstream file(path, std::ios::binary);
    // Header words, which may be interleaved with comment lines.
    auto word = [&file]() {
        std::string text;
        while (file >> text && text[0] == '#') std::getline(file, text);
        return std::atoi(text.c_str() + (text[0] == 'P'));
    };
    const bool p6 = word() == 6;
    shot.width = word(), shot.height = word();
    const int maximum = word();
    if (!p6 || maximum != 255 || shot.width < kWidth || shot.height < kHeight)
        return false;
    file.get();
    shot.rgb.resize(static_cast<std::size_t>(shot.width) * shot.height * 3);
    return static_cast<bool>(file.read(reinterpret_cast<char*>(shot.rgb.data()),
                                       static_cast<std::streamsize>(shot.rgb.size())));
}

// A replay dump: 16-bit BMP with RGB565 masks, bottom-up.
bool ReadDump(const char* path, std::vector<std::uint16_t>& page) {
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), {});
    if (bytes.size() < 66 + kWidth * kHeight * 2 || bytes[0] != 'B') return false;
    std::size_t offset = bytes[10] | (bytes[11] << 8) | (bytes[12] << 16);
    page.resize(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::size_t at = offset + (static_cast<std::size_t>(kHeight - 1 - y) * kWidth + x) * 2;
            page[y * kWidth + x] = static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
        }
    return true;
}

// Every pixel of the crosshair picture that is not its black key must be on the screenshot.
int Crosshair(int cx, int cy, const char* shotPath) {
    Shot shot;
    Bitmap picture;
    if (!ReadPpm(shotPath, shot) || !DecodeBitmap(FindResource(RT_BITMAP, IDB_CROSSHAIR), picture))
        return 2;
    int checked = 0, differing = 0;
    const int left = cx - picture.width / 2, top = cy - picture.height / 2;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            std::uint16_t pixel = ColorToPixel(picture.ColorAt(x, y));
            if (pixel == ColorToPixel(KEY_BLACK)) continue;
            ++checked;
            const Color c = shot.At(left + x, top + y);  // as the 16-bit value the game drew
            differing += ColorToPixel(int(c[0]) | int(c[1]) << 8 | int(c[2]) << 16) != pixel;
        }
    if (differing) std::printf("%d of %d crosshair pixels differ\n", differing, checked);
    return checked > 0 && differing == 0 ? 0 : 1;
}

// A screenshot shows the dump with even pixels: on the largest 4:3 area, centred, as drawing
// it nearest-neighbour at the next whole multiple of its size and filtering that linearly to
// the area gives, within 2 steps a channel, with black bars. Given an area (x, y, width,
// height, in area[0..3]), the dump is looked for there, and only there.
int Even(const char* dumpPath, const char* shotPath, const int* area) {
    std::vector<std::uint16_t> dump;
    Shot shot;
    if (!ReadDump(dumpPath, dump) || !ReadPpm(shotPath, shot)) return 2;
    const int width = shot.width, height = shot.height;
    const bool wide = width * kHeight >= height * kWidth;
    int areaW = wide ? height * kWidth / kHeight : width;
    int areaH = wide ? height : width * kHeight / kWidth;
    int areaX = (width - areaW) / 2, areaY = (height - areaH) / 2;
    if (area) {
        areaX = area[0], areaY = area[1], areaW = area[2], areaH = area[3];
        if (areaX < 0 || areaY < 0 || areaW < 1 || areaH < 1 || areaX + areaW > width ||
            areaY + areaH > height)
            return 2;
    }
    const int multiple = (areaH + kHeight - 1) / kHeight;
    auto page = [&dump](int x, int y) {
        return Widened(dump[static_cast<std::size_t>(y) * kWidth + x]);
    };
    int wrong = 0, worst = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Color shown = shot.At(x, y), expected{};
            bool inside = x >= areaX && x < areaX + areaW && y >= areaY && y < areaY + areaH;
            if (area && !inside) continue;
            if (inside)
                expected = EvenReference(page, kWidth, kHeight, multiple, areaW, areaH,
                                         x - areaX, y - areaY);
            int off = 0;
            for (int k = 0; k < 3; ++k) off = std::max(off, int(std::abs(shown[k] - expected[k])));
            worst = std::max(worst, off);
            wrong += off > 2;
        }
    if (wrong) std::printf("%d screen pixels differ from the even-pixel reference (by up to %d)\n",
                           wrong, worst);
    return wrong == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "crosshair") == 0)
        return Crosshair(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
    if ((argc == 4 || argc == 8) && std::strcmp(argv[1], "even") == 0) {
        int area[4];
        for (int i = 0; i < 4 && argc == 8; ++i) area[i] = std::atoi(argv[4 + i]);
        return Even(argv[2], argv[3], argc == 8 ? area : nullptr);
    }
    std::fprintf(stderr, "usage: frame_check crosshair X Y SHOT | even DUMP SHOT [X Y W H]\n");
    return 2;
}
