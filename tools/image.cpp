#include "tools/image.h"

float SmoothStep(float edge0, float edge1, float x) {
    float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

Colour Ramp::At(float t) const {
    if (t <= stops_.front().first) return stops_.front().second;
    for (std::size_t i = 1; i < stops_.size(); ++i) {
        if (t <= stops_[i].first) {
            auto [t0, c0] = stops_[i - 1];
            auto [t1, c1] = stops_[i];
            return Mix(c0, c1, (t - t0) / (t1 - t0));
        }
    }
    return stops_.back().second;
}

Image::Image(int width, int height, Colour fill, float alpha)
    : width_(width),
      height_(height),
      colour_(static_cast<std::size_t>(width) * height, fill),
      alpha_(static_cast<std::size_t>(width) * height, alpha) {}

void Image::Set(int x, int y, Paint p) {
    if (!Contains(x, y)) return;
    colour_[Index(x, y)] = p.colour;
    alpha_[Index(x, y)] = p.alpha;
}

void Image::Over(int x, int y, Paint p) {
    if (!Contains(x, y) || p.alpha <= 0) return;
    std::size_t i = Index(x, y);
    float below = alpha_[i] * (1 - p.alpha);
    float out = p.alpha + below;
    colour_[i] = (p.colour * p.alpha + colour_[i] * below) * (1 / out);
    alpha_[i] = out;
}

void Image::Draw(const Image& source, int x, int y) {
    for (int j = 0; j < source.Height(); ++j)
        for (int i = 0; i < source.Width(); ++i)
            Over(x + i, y + j, {source.ColourAt(i, j), source.AlphaAt(i, j)});
}

void Shade(Image& image, int x0, int y0, int x1, int y1, int n, const Shader& shader) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.Width());
    y1 = std::min(y1, image.Height());
    const float step = 1.0f / n;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            Colour sum;  // premultiplied
            float alpha = 0;
            for (int sy = 0; sy < n; ++sy) {
                for (int sx = 0; sx < n; ++sx) {
                    Paint p = shader(x + (sx + 0.5f) * step, y + (sy + 0.5f) * step);
                    p.alpha = Clamp01(p.alpha);
                    sum = sum + p.colour * p.alpha;
                    alpha += p.alpha;
                }
            }
            if (alpha <= 0) continue;
            image.Over(x, y, {sum * (1 / alpha), alpha / (n * n)});
        }
    }
}
