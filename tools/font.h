// The game's pixel font: proportional glyphs 12 rows high (capitals and ascenders in rows 0-8,
// the x-height in rows 3-8, descenders down to row 11), drawn as masks so that pictures can
// colour, outline and shade the lettering as they like.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// A one-bit picture; reads outside it are empty.
class Mask {
public:
    Mask(int width, int height)
        : width_(width), height_(height), bits_(static_cast<std::size_t>(width) * height, 0) {}
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Get(int x, int y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_ &&
               bits_[static_cast<std::size_t>(y) * width_ + x];
    }
    void Set(int x, int y) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_)
            bits_[static_cast<std::size_t>(y) * width_ + x] = 1;
    }
    // Every pixel within `radius` steps (8-connected) of a set pixel.
    Mask Grown(int radius) const;

private:
    int width_, height_;
    std::vector<std::uint8_t> bits_;
};

inline constexpr int kFontHeight = 12;
inline constexpr int kFontBaseline = 9;  // the first row below the letters' feet

// Bold glyphs are each one pixel wider: every stroke is doubled to the right.
int TextWidth(std::string_view text, bool bold);

// Sets the text's pixels in the mask with the top-left of its first glyph at (x, y).
void DrawText(Mask& mask, std::string_view text, int x, int y, bool bold);
