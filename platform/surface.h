// Surfaces: plain RGB565 memory with an optional source colour key, and the pixel work that
// the display services do on them (fill, unscaled copy, colour conversion, bitmap decoding).
// Common code, so that a frame is bit for bit the same on every backend.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/results.h"

using COLORREF = std::uint32_t;  // 0x00BBGGRR

struct RECT {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Copy flags.
inline constexpr std::uint32_t DDBLTFAST_NOCOLORKEY = 0;
inline constexpr std::uint32_t DDBLTFAST_SRCCOLORKEY = 1;

class Surface {
public:
    Surface(int width, int height);  // black

    int width() const { return width_; }
    int height() const { return height_; }
    // Writing through the mutable accessors leaves keyed copies from this surface on their slow
    // path until PixelsWritten(); the const ones are for reading.
    std::uint16_t* pixels() {
        runsReady_ = false;
        return pixels_.data();
    }
    const std::uint16_t* pixels() const { return pixels_.data(); }
    std::uint16_t& at(int x, int y) {
        runsReady_ = false;
        return pixels_[static_cast<std::size_t>(y) * width_ + x];
    }
    std::uint16_t at(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * width_ + x];
    }

    // The source colour key that keyed copies leave out. Setting it maps the runs of pixels
    // that keyed copies write (once, here, so that frames allocate nothing).
    void SetColorKey(std::uint16_t key);
    bool hasColorKey() const { return hasKey_; }
    std::uint16_t colorKey() const { return key_; }
    // To be called after writing pixels of a keyed surface (at loading time: it may allocate),
    // so that keyed copies from it take the fast path again.
    void PixelsWritten();
    // Whether keyed copies from this surface go by its map of opaque runs.
    bool copiesByRuns() const { return runsReady_; }

    // A lost surface refuses drawing until restored (its pixels are then undefined: black).
    bool lost() const { return lost_; }
    void MarkLost() { lost_ = true; }
    HRESULT Restore();

    // Exchanges the pixels of two surfaces of one size (a page flip); never allocates.
    void SwapPixels(Surface& other) {
        pixels_.swap(other.pixels_);
        runsReady_ = other.runsReady_ = false;
    }

    // A run of pixels of one row that differ from the key: [begin, end).
    struct Run {
        std::uint16_t begin, end;
    };
    // The runs of row y, left to right (valid while copiesByRuns()).
    std::span<const Run> RunsOf(int y) const {
        return {runs_.data() + rowRuns_[static_cast<std::size_t>(y)],
                runs_.data() + rowRuns_[static_cast<std::size_t>(y) + 1]};
    }

private:
    int width_, height_;
    std::vector<std::uint16_t> pixels_;
    std::uint16_t key_ = 0;
    bool hasKey_ = false;
    bool lost_ = false;
    bool runsReady_ = false;
    std::vector<std::uint32_t> rowRuns_;  // row y's runs are runs_[rowRuns_[y], rowRuns_[y + 1])
    std::vector<Run> runs_;
};

// The 16-bit value the display stores for a colour: each channel truncated to 5, 6 and 5 bits.
constexpr std::uint16_t ColorToPixel(COLORREF color) {
    std::uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// Fills the whole surface with a raw pixel value.
HRESULT FillSurface(Surface& target, std::uint32_t value);

// Copies a rectangle of `source` (the whole of it when `rect` is null) unscaled to (x, y) of
// `target`, leaving out the source's key value when `flags` has DDBLTFAST_SRCCOLORKEY and the
// source has a key (by the source's runs of other pixels when it has them mapped, else pixel by
// pixel; the pixels drawn are the same). Nothing is clipped: a rectangle that is empty or reaches
// outside either surface is refused with DDERR_INVALIDRECT and nothing is written.
HRESULT BltFast(Surface& target, std::uint32_t x, std::uint32_t y, const Surface& source,
                const RECT* rect, std::uint32_t flags);

// A device-independent bitmap (40-byte info header, palette, rows), decoded in place.
struct Bitmap {
    int width = 0, height = 0;
    int bitsPerPixel = 0;
    bool bottomUp = true;
    std::span<const std::uint8_t> palette;  // 4 bytes an entry: blue, green, red, unused
    std::span<const std::uint8_t> rows;
    std::size_t stride = 0;

    COLORREF ColorAt(int x, int y) const;  // y counts from the top
};

// Reads a 1, 4 or 8-bit palettized, uncompressed bitmap; false when the bytes are not one.
bool DecodeBitmap(std::span<const std::uint8_t> dib, Bitmap& out);

// Copies a bitmap onto a surface of the same size, converting each colour to 16 bits.
HRESULT CopyBitmapToSurface(const Bitmap& bitmap, Surface& target);
