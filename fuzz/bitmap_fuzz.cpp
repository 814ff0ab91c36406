// The bitmap decoder on any bytes, given as a BMP file (the decoder takes what follows the
// 14-byte file header, as the picture loader does): what it accepts lies inside the input and
// every pixel of it can be read.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 14) return 0;
    std::span<const std::uint8_t> dib(data + 14, size - 14);
    Bitmap bitmap;
    if (!DecodeBitmap(dib, bitmap)) return 0;
    auto inside = [&](std::span<const std::uint8_t> part) {
        return part.data() >= dib.data() && part.data() + part.size() <= dib.data() + dib.size();
    };
    if (!inside(bitmap.palette) || !inside(bitmap.rows) || bitmap.width <= 0 ||
        bitmap.height <= 0 ||
        bitmap.rows.size() < bitmap.stride * static_cast<std::size_t>(bitmap.height))
        std::abort();
    volatile COLORREF sum = 0;
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x) sum = sum + bitmap.ColorAt(x, y);
    return 0;
}
