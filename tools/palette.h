// Reduction of a true-colour picture to an indexed one: median cut refined by a few rounds of
// k-means, optional ordered dithering, and colour keys. The game shows every picture on a
// 16-bit (5-6-5) display and leaves out the pixels that become the key's 16-bit value there,
// so a keyed picture keeps its figure colours clear of that value.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/image.h"

struct Rgb8 {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb8, Rgb8) = default;
};

Rgb8 ToRgb8(Colour c);

enum class Key { kNone, kBlack, kWhite };

// Whether the colour becomes the same 16-bit value as the key (truncated to 5-6-5).
bool CollidesWithKey(Rgb8 c, Key key);

struct Indexed {
    int width = 0, height = 0;
    std::vector<Rgb8> palette;          // always the full 16 or 256 entries
    std::vector<std::uint8_t> pixels;   // rows top-down
    std::uint8_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Rgb8 ColourAt(int x, int y) const { return palette[At(x, y)]; }
};

struct QuantizeOptions {
    int colours = 256;
    // With a key, palette entry 0 is the key colour (black or white); pixels covered less than
    // `coverage` take it and no other entry collides with it.
    Key key = Key::kNone;
    float coverage = 0.5f;
    // Compare coverage with an ordered-dither threshold instead, so that thin parts of the
    // figure become a see-through stipple.
    bool stipple = false;
    // Ordered dither on the colours, in 0..255 steps (0 = none).
    float dither = 0;
    // Colours that must be in the palette exactly (e.g. text colours).
    std::vector<Rgb8> fixed;
};

// Opaque pictures are taken as they are, coverage ignored.
Indexed Quantize(const Image& image, const QuantizeOptions& options);

// 8 by 8 ordered-dither threshold in (0, 1).
float BayerThreshold(int x, int y);
