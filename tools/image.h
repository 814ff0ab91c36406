// True-colour drawing surface that every picture is painted on before it is reduced to a
// palette: straight colours with a coverage value, composited "over", painted by shaders that
// are sampled several times per pixel so that edges come out smooth.
#pragma once

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

struct Colour {
    float r = 0, g = 0, b = 0;  // 0..1
};

inline Colour operator+(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Colour operator-(Colour a, Colour b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Colour operator*(Colour a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Colour operator*(Colour a, Colour b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }

// A colour from 0..255 components.
constexpr Colour Rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }
inline Colour Mix(Colour a, Colour b, float t) { return a + (b - a) * t; }
inline float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
inline Colour Clamp01(Colour c) { return {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b)}; }
inline float Luma(Colour c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }
float SmoothStep(float edge0, float edge1, float x);

// A colour gradient through stops at rising positions; positions outside take the end colours.
class Ramp {
public:
    Ramp(std::initializer_list<std::pair<float, Colour>> stops) : stops_(stops) {}
    Colour At(float t) const;

private:
    std::vector<std::pair<float, Colour>> stops_;
};

// What a shader returns for one sample point: a colour and how much of it covers the point.
struct Paint {
    Colour colour;
    float alpha = 0;
};

class Image {
public:
    Image(int width, int height, Colour fill = {}, float alpha = 0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Colour ColourAt(int x, int y) const { return colour_[Index(x, y)]; }
    float AlphaAt(int x, int y) const { return alpha_[Index(x, y)]; }
    void Set(int x, int y, Paint p);
    // Composites p over the pixel (ignored outside the image).
    void Over(int x, int y, Paint p);
    // Copies another image over this one with its top-left corner at (x, y).
    void Draw(const Image& source, int x, int y);

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

    int width_, height_;
    std::vector<Colour> colour_;
    std::vector<float> alpha_;
};

// Coordinates handed to a shader are continuous: pixel (i, j) covers [i, i+1) x [j, j+1).
using Shader = std::function<Paint(float x, float y)>;

// Paints the pixels of the rectangle [x0, x1) x [y0, y1) with the shader, sampled on an n by n
// grid inside each pixel and averaged, composited over what is there.
void Shade(Image& image, int x0, int y0, int x1, int y1, int n, const Shader& shader);
