// Fills, copies and bitmap decoding on RGB565 surfaces.
#include "platform/surface.h"

#include <algorithm>
#include <cstring>

#include "platform/bytes.h"

Surface::Surface(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, 0) {}

HRESULT Surface::Restore() {
    if (lost_) std::fill(pixels_.begin(), pixels_.end(), 0);
    lost_ = false;
    return S_OK;
}

HRESULT FillSurface(Surface& target, std::uint32_t value) {
    if (target.lost()) return DDERR_SURFACELOST;
    std::fill_n(target.pixels(), static_cast<std::size_t>(target.width()) * target.height(),
                static_cast<std::uint16_t>(value));
    return S_OK;
}

HRESULT BltFast(Surface& target, std::uint32_t x, std::uint32_t y, const Surface& source,
                const RECT* rect, std::uint32_t flags) {
    RECT r = rect ? *rect : RECT{0, 0, source.width(), source.height()};
    if (r.left < 0 || r.top < 0 || r.right > source.width() || r.bottom > source.height() ||
        r.left >= r.right || r.top >= r.bottom)
        return DDERR_INVALIDRECT;
    std::uint32_t w = static_cast<std::uint32_t>(r.right - r.left);
    std::uint32_t h = static_cast<std::uint32_t>(r.bottom - r.top);
    if (x > static_cast<std::uint32_t>(target.width()) - w ||
        y > static_cast<std::uint32_t>(target.height()) - h || w > std::uint32_t(target.width()) ||
        h > std::uint32_t(target.height()))
        return DDERR_INVALIDRECT;
    if (target.lost() || source.lost()) return DDERR_SURFACELOST;

    bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) && source.hasColorKey();
    std::uint16_t key = source.colorKey();
    for (std::uint32_t row = 0; row < h; ++row) {
        const std::uint16_t* from =
            source.pixels() + static_cast<std::size_t>(r.top + static_cast<int>(row)) * source.width() +
            r.left;
        std::uint16_t* to = &target.at(static_cast<int>(x), static_cast<int>(y + row));
        if (!keyed) {
            std::memcpy(to, from, w * sizeof(std::uint16_t));
            continue;
        }
        for (std::uint32_t i = 0; i < w; ++i)
            if (from[i] != key) to[i] = from[i];
    }
    return S_OK;
}

COLORREF Bitmap::ColorAt(int x, int y) const {
    std::size_t row = static_cast<std::size_t>(bottomUp ? height - 1 - y : y) * stride;
    const std::uint8_t* line = rows.data() + row;
    unsigned index = 0;
    switch (bitsPerPixel) {
        case 8: index = line[x]; break;
        case 4: index = (x & 1) ? (line[x / 2] & 15) : (line[x / 2] >> 4); break;
        default: index = (line[x / 8] >> (7 - x % 8)) & 1; break;
    }
    if (4 * index + 3 >= palette.size()) return 0;
    const std::uint8_t* c = palette.data() + 4 * index;
    return c[2] | (c[1] << 8) | (c[0] << 16);
}

bool DecodeBitmap(std::span<const std::uint8_t> dib, Bitmap& out) {
    if (dib.size() < 40 || ReadLe(dib.data(), 4) != 40) return false;
    const std::uint8_t* h = dib.data();
    std::int32_t width = static_cast<std::int32_t>(ReadLe(h + 4, 4));
    std::int32_t height = static_cast<std::int32_t>(ReadLe(h + 8, 4));
    int planes = static_cast<int>(ReadLe(h + 12, 2)), bits = static_cast<int>(ReadLe(h + 14, 2));
    std::uint32_t compression = ReadLe(h + 16, 4), used = ReadLe(h + 32, 4);
    if (planes != 1 || compression != 0 || (bits != 1 && bits != 4 && bits != 8)) return false;
    if (width <= 0 || width > 16384 || height == 0 || height < -16384 || height > 16384)
        return false;
    std::uint32_t colours = used ? used : (1u << bits);
    if (colours > (1u << bits)) return false;
    Bitmap b;
    b.width = width;
    b.height = height < 0 ? -height : height;
    b.bottomUp = height > 0;
    b.bitsPerPixel = bits;
    b.stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    std::size_t paletteEnd = 40 + 4 * static_cast<std::size_t>(colours);
    if (dib.size() < paletteEnd + b.stride * b.height) return false;
    b.palette = dib.subspan(40, 4 * colours);
    b.rows = dib.subspan(paletteEnd, b.stride * b.height);
    out = b;
    return true;
}

HRESULT CopyBitmapToSurface(const Bitmap& bitmap, Surface& target) {
    if (bitmap.width != target.width() || bitmap.height != target.height()) return E_INVALIDARG;
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x) target.at(x, y) = ColorToPixel(bitmap.ColorAt(x, y));
    return S_OK;
}
