// Checks screenshots of the real game: `frame_check same DUMP.bmp SHOT.ppm` says whether a
// screenshot shows exactly the frame of a replay dump; `frame_check crosshair X Y SHOT.ppm`
// whether the crosshair stands centred on (X, Y). Exit 0 when it does, 1 when not, 2 on error.
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

namespace {

constexpr int kWidth = 640, kHeight = 480;

// A binary PPM (P6) screenshot, reduced to the 16-bit values the game draws.
bool ReadScreenshot(const char* path, std::vector<std::uint16_t>& page) {
    std::ifstream file(path, std::ios::binary);
    // Header words, which may be interleaved with comment lines.
    auto word = [&file]() {
        std::string text;
        while (file >> text && text[0] == '#') std::getline(file, text);
        return text;
    };
    std::string magic = word();
    int width = std::atoi(word().c_str()), height = std::atoi(word().c_str());
    int maximum = std::atoi(word().c_str());
    if (magic != "P6" || maximum != 255 || width < kWidth || height < kHeight) return false;
    file.get();
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    if (!file.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size())))
        return false;
    page.resize(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            page[y * kWidth + x] = ColorToPixel(p[0] | (p[1] << 8) | (p[2] << 16));
        }
    return true;
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

int Same(const char* dumpPath, const char* shotPath) {
    std::vector<std::uint16_t> dump, shot;
    if (!ReadDump(dumpPath, dump) || !ReadScreenshot(shotPath, shot)) return 2;
    int differing = 0;
    for (std::size_t i = 0; i < dump.size(); ++i) differing += dump[i] != shot[i];
    if (differing) std::printf("%d pixels differ\n", differing);
    return differing ? 1 : 0;
}

// Every pixel of the crosshair picture that is not its black key must be on the screenshot.
int Crosshair(int cx, int cy, const char* shotPath) {
    std::vector<std::uint16_t> shot;
    Bitmap picture;
    if (!ReadScreenshot(shotPath, shot) ||
        !DecodeBitmap(FindResource(RT_BITMAP, IDB_CROSSHAIR), picture))
        return 2;
    int checked = 0, differing = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            std::uint16_t pixel = ColorToPixel(picture.ColorAt(x, y));
            if (pixel == ColorToPixel(KEY_BLACK)) continue;
            ++checked;
            differing += shot[(cy - 32 + y) * kWidth + (cx - 32 + x)] != pixel;
        }
    if (differing) std::printf("%d of %d crosshair pixels differ\n", differing, checked);
    return checked > 0 && differing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "same") == 0) return Same(argv[2], argv[3]);
    if (argc == 5 && std::strcmp(argv[1], "crosshair") == 0)
        return Crosshair(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
    std::fprintf(stderr, "usage: frame_check same DUMP SHOT | crosshair X Y SHOT\n");
    return 2;
}
