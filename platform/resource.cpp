// The lookup over the resource files that the build links into the program (embedded.S).
#include "platform/resource.h"

#include <cstring>

// Each embedded file is one run of bytes between two symbols that the assembler file defines.
#define QUENDRA_EMBEDDED(X) \
    X(loading_bmp)          \
    X(background_bmp)       \
    X(menupanel_bmp)        \
    X(splat_bmp)            \
    X(sprites_bmp)          \
    X(crosshair_bmp)        \
    X(explosion_bmp)        \
    X(menuitems_bmp)        \
    X(shot_wav)             \
    X(die_wav)              \
    X(splat_wav)            \
    X(app_ico)              \
    X(app_icon_group_bin)   \
    X(keys_bin)

#define QUENDRA_DECLARE(name) \
    extern "C" const std::uint8_t quendra_res_##name[], quendra_res_##name##_end[];
QUENDRA_EMBEDDED(QUENDRA_DECLARE)
#undef QUENDRA_DECLARE

namespace {

using Bytes = std::span<const std::uint8_t>;

#define QUENDRA_FILE(name)                                                  \
    Bytes name() {                                                          \
        return {quendra_res_##name, static_cast<std::size_t>(              \
                                        quendra_res_##name##_end - quendra_res_##name)}; \
    }
QUENDRA_EMBEDDED(QUENDRA_FILE)
#undef QUENDRA_FILE

constexpr std::size_t kBitmapFileHeaderSize = 14;

std::uint32_t ReadLe32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// A bitmap resource is the file without its 14-byte file header.
Bytes Dib(Bytes file) {
    return file.size() > kBitmapFileHeaderSize ? file.subspan(kBitmapFileHeaderSize) : Bytes{};
}

// Image n (1-based) of the icon file: its directory has a 6-byte head, then 16 bytes an image
// whose last 8 give the image's size and offset.
Bytes IconImage(unsigned n) {
    Bytes ico = app_ico();
    if (ico.size() < 6) return {};
    unsigned count = ico[4] | (ico[5] << 8);
    if (n < 1 || n > count || ico.size() < 6 + 16 * count) return {};
    const std::uint8_t* entry = ico.data() + 6 + 16 * (n - 1);
    std::uint32_t size = ReadLe32(entry + 8), offset = ReadLe32(entry + 12);
    if (offset > ico.size() || size > ico.size() - offset) return {};
    return ico.subspan(offset, size);
}

bool Same(ResourceId a, ResourceId b) {
    if (a.text || b.text) return a.text && b.text && std::strcmp(a.text, b.text) == 0;
    return a.number == b.number;
}

}  // namespace

std::span<const std::uint8_t> FindResource(ResourceId type, ResourceId name) {
    if (Same(type, RT_BITMAP) && !name.text) {
        switch (name.number) {
            case 101: return Dib(loading_bmp());
            case 105: return Dib(background_bmp());
            case 106: return Dib(menupanel_bmp());
            case 107: return Dib(splat_bmp());
            case 108: return Dib(sprites_bmp());
            case 109: return Dib(crosshair_bmp());
            case 117: return Dib(explosion_bmp());
            case 120: return Dib(menuitems_bmp());
        }
    } else if (Same(type, RT_WAVE) && name.text) {
        if (std::strcmp(name.text, "IDR_VORPSHOT") == 0) return shot_wav();
        if (std::strcmp(name.text, "IDR_VORPDIE") == 0) return die_wav();
        if (std::strcmp(name.text, "IDR_VORPSPLAT") == 0) return splat_wav();
    } else if (Same(type, RT_ICON) && !name.text) {
        return IconImage(name.number);
    } else if (Same(type, RT_GROUP_ICON) && Same(name, 103)) {
        return app_icon_group_bin();
    } else if (Same(type, RT_ACCELERATOR) && Same(name, 102)) {
        return keys_bin();
    }
    return {};
}
