// The picture with even pixels by its definition, for the tests to hold the game's against: the
// page drawn nearest-neighbour at `multiple` times its size, sampled linearly (edges repeated)
// at the centre of each of the area's pixels; 8-bit channels by bit replication, rounded.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

using Color = std::array<double, 3>;

// Where output pixel `at` of `length` samples a line of `pageLength` page pixels drawn
// `multiple` times as wide: `share` (0 to 1) of the way from page pixel `first` to `second`.
struct Sample {
    int first, second;
    double share;
};
inline Sample SampleAt(int at, int length, int pageLength, int multiple) {
    int enlarged = pageLength * multiple;
    double where = std::clamp((at + 0.5) * enlarged / length - 0.5, 0.0, enlarged - 1.0);
    int left = static_cast<int>(where);
    return {left / multiple, std::min(left + 1, enlarged - 1) / multiple, where - left};
}

inline Color Widened(std::uint16_t pixel) {
    int r = pixel >> 11, g = (pixel >> 5) & 63, b = pixel & 31;
    return {double(r << 3 | r >> 2), double(g << 2 | g >> 4), double(b << 3 | b >> 2)};
}

// `page(x, y)` gives a page pixel as a Color.
template <typename Page>
Color EvenReference(Page page, int pageW, int pageH, int multiple, int areaW, int areaH, int x,
                    int y) {
    auto [x0, x1, fx] = SampleAt(x, areaW, pageW, multiple);
    auto [y0, y1, fy] = SampleAt(y, areaH, pageH, multiple);
    Color a = page(x0, y0), b = page(x1, y0), c = page(x0, y1), d = page(x1, y1);
    Color out{};
    for (int k = 0; k < 3; ++k) {
        double top = a[k] + (b[k] - a[k]) * fx, bottom = c[k] + (d[k] - c[k]) * fx;
        out[k] = std::round(top + (bottom - top) * fy);
    }
    return out;
}
