// Fills, copies and bitmap decoding on RGB565 surfaces.
#include "platform/surface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/bytes.h"

Surface::Surface(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, 0) {}

HRESULT Surface::Restore() {
    if (lost_) {
        std::fill(pixels_.begin(), pixels_.end(), 0);
        lost_ = false;
        PixelsWritten();
    }
    return S_OK;
}

void Surface::SetColorKey(std::uint16_t key) {
    key_ = key;
    hasKey_ = true;
    PixelsWritten();
}

// A keyed copy writes only the runs of pixels that differ from the key: mapped here, once per
// change of the key or the pixels, it costs one memcpy a run in every frame instead of a test
// a pixel. A surface wider than a run's 16-bit ends, or no memory for the map, keeps the
// pixel-by-pixel copy.
void Surface::PixelsWritten() {
    runsReady_ = false;
    if (!hasKey_ || width_ > 0xFFFF) return;
    const std::size_t width = static_cast<std::size_t>(width_);
    std::size_t count = 0;
    for (std::size_t i = 0; i < pixels_.size(); ++i)
        count += pixels_[i] != key_ && (i % width == 0 || pixels_[i - 1] == key_);
    try {
        runs_.clear();
        runs_.reserve(count);
        rowRuns_.resize(static_cast<std::size_t>(height_) + 1);
        for (int y = 0; y < height_; ++y) {
            rowRuns_[static_cast<std::size_t>(y)] = static_cast<std::uint32_t>(runs_.size());
            const std::uint16_t* row = pixels_.data() + static_cast<std::size_t>(y) * width;
            for (std::size_t x = 0; x < width;) {
                while (x < width && row[x] == key_) ++x;
                std::size_t begin = x;
                while (x < width && row[x] != key_) ++x;
                if (x > begin)
                    runs_.push_back(
                        Run{static_cast<std::uint16_t>(begin), static_cast<std::uint16_t>(x)});
            }
        }
    } catch (const std::bad_alloc&) {
        runs_ = {};
        rowRuns_ = {};
        return;
    }
    rowRuns_[static_cast<std::size_t>(height_)] = static_cast<std::uint32_t>(runs_.size());
    runsReady_ = true;
}

HRESULT FillSurface(Surface& target, std::uint32_t value) {
    if (target.lost()) return DDERR_SURFACELOST;
    // The first pixels one by one, then the filled part copied onto the rest, doubling: memcpy
    // speed without a loop of 16-bit stores.
    std::uint16_t* p = target.pixels();
    const std::size_t total = static_cast<std::size_t>(target.width()) * target.height();
    std::size_t done = std::min<std::size_t>(total, 64);
    std::fill_n(p, done, static_cast<std::uint16_t>(value));
    for (; done < total; done *= 2)
        std::memcpy(p + done, p, std::min(done, total - done) * sizeof(std::uint16_t));
    target.PixelsWritten();
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

    const bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) && source.hasColorKey();
    const std::uint16_t key = source.colorKey();
    const std::size_t sourceWidth = static_cast<std::size_t>(source.width());
    const std::size_t targetWidth = static_cast<std::size_t>(target.width());
    const std::uint16_t* from = source.pixels() + static_cast<std::size_t>(r.top) * sourceWidth +
                                static_cast<std::size_t>(r.left);
    std::uint16_t* to = target.pixels() + std::size_t{y} * targetWidth + x;
    if (!keyed && w == sourceWidth && w == targetWidth) {
        std::memcpy(to, from, std::size_t{w} * h * sizeof(std::uint16_t));
    } else if (!keyed) {
        for (std::uint32_t row = 0; row < h; ++row, from += sourceWidth, to += targetWidth)
            std::memcpy(to, from, w * sizeof(std::uint16_t));
    } else if (source.copiesByRuns()) {
        // Runs count source columns; column c lands at `to` + c - left.
        const std::uint32_t left = static_cast<std::uint32_t>(r.left), right = left + w;
        for (std::uint32_t row = 0; row < h; ++row, from += sourceWidth, to += targetWidth) {
            std::span<const Surface::Run> runs = source.RunsOf(r.top + static_cast<int>(row));
            const Surface::Run* run =
                std::partition_point(runs.data(), runs.data() + runs.size(),
                                     [&](Surface::Run a) { return a.end <= left; });
            for (; run != runs.data() + runs.size() && run->begin < right; ++run) {
                std::uint32_t begin = std::max<std::uint32_t>(run->begin, left) - left;
                std::uint32_t end = std::min<std::uint32_t>(run->end, right) - left;
                std::memcpy(to + begin, from + begin, (end - begin) * sizeof(std::uint16_t));
            }
        }
    } else {
        for (std::uint32_t row = 0; row < h; ++row, from += sourceWidth, to += targetWidth)
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
    target.PixelsWritten();
    return S_OK;
}
