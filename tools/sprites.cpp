// The sprite sheet: the creature in five glow phases at each of four sizes, and the digits.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tools/artwork.h"
#include "tools/image.h"
#include "tools/target.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

struct Point {
    float x, y;
};
using Stroke = std::vector<Point>;

// An elliptical arc from angle a0 to a1 in degrees (0 = right, 90 = down), as a polyline.
Stroke Arc(float cx, float cy, float rx, float ry, float a0, float a1) {
    Stroke s;
    const int steps = 40;
    for (int i = 0; i <= steps; ++i) {
        float a = (a0 + (a1 - a0) * i / steps) * kPi / 180;
        s.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return s;
}

// The centre lines of each digit in a 10 by 15 box.
std::vector<Stroke> DigitStrokes(int digit) {
    switch (digit) {
        case 0: return {Arc(5, 7.5f, 5, 7.5f, 0, 360)};
        case 1: return {{{1.6f, 3.2f}, {5.6f, 0}, {5.6f, 15}}, {{2, 15}, {9.2f, 15}}};
        case 2: {
            Stroke s = Arc(5, 4.6f, 4.8f, 4.6f, 165, 385);
            s.push_back({0, 15});
            s.push_back({10, 15});
            return {s};
        }
        case 3: return {Arc(5, 3.75f, 4.6f, 3.75f, 200, 450), Arc(5, 11.25f, 5, 3.75f, 270, 520),
                        {{3, 7.5f}, {5, 7.5f}}};
        case 4: return {{{7.2f, 15}, {7.2f, 0}, {0, 10.6f}, {10, 10.6f}}};
        case 5: {
            Stroke s{{9.6f, 0}, {1, 0}, {0.6f, 7}};
            Stroke bowl = Arc(5, 10.1f, 5, 4.9f, 230, 520);
            s.insert(s.end(), bowl.begin(), bowl.end());
            return {s};
        }
        case 6: return {Arc(5, 10, 5, 5, 0, 360), Arc(6.6f, 10, 6.6f, 10, 180, 290)};
        case 7: return {{{0, 0}, {10, 0}, {3.6f, 15}}};
        case 8: return {Arc(5, 3.7f, 4.3f, 3.7f, 0, 360), Arc(5, 11, 5, 4, 0, 360)};
        case 9: return {Arc(5, 5, 5, 5, 0, 360), Arc(3.4f, 5, 6.6f, 10, 0, 110)};
    }
    return {};
}

float SegmentDistance(Point p, Point a, Point b) {
    float dx = b.x - a.x, dy = b.y - a.y;
    float t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    float ex = p.x - a.x - t * dx, ey = p.y - a.y - t * dy;
    return std::sqrt(ex * ex + ey * ey);
}

const Ramp kDigitFill{
    {0.0f, Rgb(255, 250, 170)}, {0.45f, Rgb(255, 214, 60)}, {1.0f, Rgb(240, 120, 24)}};
const Colour kDigitEdge = Rgb(44, 20, 12);

// A digit in its cell at (x, y): a golden stroke with a dark edge, so that it reads on
// the sky as well as on the menu's dark field.
void PaintDigit(Image& image, int digit, int x, int y) {
    const auto strokes = DigitStrokes(digit);
    const float left = x + 4.5f, top = y + 4.0f;  // the 10 by 15 box inside the cell
    const float half = 1.55f, edge = 1.3f;
    Shade(image, x, y, x + DIGIT_WIDTH, y + DIGIT_HEIGHT, 6, [&](float px, float py) -> Paint {
        Point p{px - left, py - top};
        float d = 1e9f;
        for (const Stroke& s : strokes)
            for (std::size_t i = 1; i < s.size(); ++i)
                d = std::min(d, SegmentDistance(p, s[i - 1], s[i]));
        if (d > half + edge) return {};
        if (d > half) return {kDigitEdge, 1};
        Colour c = kDigitFill.At(p.y / 15.0f);
        // A rounded tube: lighter along the middle of the stroke.
        c = Mix(c, Rgb(255, 255, 225), 0.35f * (1 - d / half) * (1 - p.y / 20.0f));
        return {c, 1};
    });
}

}  // namespace

Indexed MakeSprites() {
    Image image(SPRITES_WIDTH, SPRITES_HEIGHT);
    for (const SpriteRow* row : GROWING_ROWS) {
        for (int k = 0; k < PICTURES_PER_SIZE; ++k) {
            float centre = row->size / 2.0f;
            PaintTarget(image, row->left + row->size * k + centre, row->top + centre,
                        TargetInCell(row->size, k), 5);
        }
    }
    for (int d = 0; d < 10; ++d) PaintDigit(image, d, DIGIT_LEFT + DIGIT_WIDTH * d, DIGIT_TOP);
    QuantizeOptions options;
    options.key = Key::kWhite;
    return Quantize(image, options);
}
