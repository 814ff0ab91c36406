#include "tools/palette.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

struct Bin {
    Rgb8 colour;
    std::uint32_t count;
};

std::uint32_t Pack(Rgb8 c) { return (c.r << 16) | (c.g << 8) | c.b; }

int Component(Rgb8 c, int axis) { return axis == 0 ? c.r : axis == 1 ? c.g : c.b; }

int Distance(Rgb8 a, Rgb8 b) {
    int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

Rgb8 KeyColour(Key key) { return key == Key::kWhite ? Rgb8{255, 255, 255} : Rgb8{0, 0, 0}; }

// Moves a colour just out of the key's 16-bit value, changing it as little as possible.
Rgb8 AwayFromKey(Rgb8 c, Key key) {
    if (!CollidesWithKey(c, key)) return c;
    if (key == Key::kWhite) c.g = 247;            // green 61 of 63 in 5-6-5
    else
        c = {static_cast<std::uint8_t>(std::max<int>(c.r, 9)), c.g,
             static_cast<std::uint8_t>(std::max<int>(c.b, 9))};
    return c;
}

struct Box {
    std::size_t begin, end;
    double error;  // weighted sum of squared deviations
    int axis;      // the axis of largest spread
};

Box Measure(const std::vector<Bin>& bins, std::size_t begin, std::size_t end) {
    double n = 0, sum[3] = {}, sq[3] = {};
    for (std::size_t i = begin; i < end; ++i) {
        for (int a = 0; a < 3; ++a) {
            double v = Component(bins[i].colour, a);
            sum[a] += v * bins[i].count;
            sq[a] += v * v * bins[i].count;
        }
        n += bins[i].count;
    }
    Box box{begin, end, 0, 0};
    double best = -1;
    const double weight[3] = {3, 4, 2};
    for (int a = 0; a < 3; ++a) {
        double var = (sq[a] - sum[a] * sum[a] / n) * weight[a];
        box.error += var;
        if (var > best) best = var, box.axis = a;
    }
    if (end - begin < 2) box.error = 0;
    return box;
}

std::vector<Rgb8> MedianCut(std::vector<Bin>& bins, int wanted) {
    std::vector<Box> boxes{Measure(bins, 0, bins.size())};
    while (static_cast<int>(boxes.size()) < wanted) {
        auto worst = std::max_element(boxes.begin(), boxes.end(),
                                      [](const Box& a, const Box& b) { return a.error < b.error; });
        if (worst->error <= 0) break;
        Box box = *worst;
        auto first = bins.begin() + box.begin, last = bins.begin() + box.end;
        std::sort(first, last, [axis = box.axis](const Bin& a, const Bin& b) {
            int ca = Component(a.colour, axis), cb = Component(b.colour, axis);
            return ca != cb ? ca < cb : Pack(a.colour) < Pack(b.colour);
        });
        std::uint64_t total = 0, half = 0;
        for (auto it = first; it != last; ++it) total += it->count;
        std::size_t cut = box.begin;
        while (cut < box.end - 1 && (half + bins[cut].count) * 2 <= total)
            half += bins[cut++].count;
        cut = std::max(cut, box.begin + 1);
        *worst = Measure(bins, box.begin, cut);
        boxes.push_back(Measure(bins, cut, box.end));
    }
    std::vector<Rgb8> centres;
    for (const Box& box : boxes) {
        double n = 0, sum[3] = {};
        for (std::size_t i = box.begin; i < box.end; ++i) {
            for (int a = 0; a < 3; ++a)
                sum[a] += Component(bins[i].colour, a) * double(bins[i].count);
            n += bins[i].count;
        }
        centres.push_back({static_cast<std::uint8_t>(std::lround(sum[0] / n)),
                           static_cast<std::uint8_t>(std::lround(sum[1] / n)),
                           static_cast<std::uint8_t>(std::lround(sum[2] / n))});
    }
    return centres;
}

void Refine(const std::vector<Bin>& bins, std::vector<Rgb8>& centres, int rounds) {
    for (int round = 0; round < rounds; ++round) {
        std::vector<double> sum(centres.size() * 4, 0.0);
        for (const Bin& bin : bins) {
            std::size_t best = 0;
            int bestDistance = Distance(bin.colour, centres[0]);
            for (std::size_t i = 1; i < centres.size(); ++i) {
                int d = Distance(bin.colour, centres[i]);
                if (d < bestDistance) bestDistance = d, best = i;
            }
            for (int a = 0; a < 3; ++a)
                sum[best * 4 + a] += Component(bin.colour, a) * double(bin.count);
            sum[best * 4 + 3] += bin.count;
        }
        for (std::size_t i = 0; i < centres.size(); ++i) {
            double n = sum[i * 4 + 3];
            if (n <= 0) continue;
            centres[i] = {static_cast<std::uint8_t>(std::lround(sum[i * 4] / n)),
                          static_cast<std::uint8_t>(std::lround(sum[i * 4 + 1] / n)),
                          static_cast<std::uint8_t>(std::lround(sum[i * 4 + 2] / n))};
        }
    }
}

}  // namespace

Rgb8 ToRgb8(Colour c) {
    c = Clamp01(c);
    return {static_cast<std::uint8_t>(std::lround(c.r * 255)),
            static_cast<std::uint8_t>(std::lround(c.g * 255)),
            static_cast<std::uint8_t>(std::lround(c.b * 255))};
}

bool CollidesWithKey(Rgb8 c, Key key) {
    switch (key) {
        case Key::kWhite: return c.r >> 3 == 31 && c.g >> 2 == 63 && c.b >> 3 == 31;
        case Key::kBlack: return c.r >> 3 == 0 && c.g >> 2 == 0 && c.b >> 3 == 0;
        case Key::kNone: break;
    }
    return false;
}

float BayerThreshold(int x, int y) {
    static constexpr int kBayer[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
        {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
        {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
    return (kBayer[y & 7][x & 7] + 0.5f) / 64.0f;
}

Indexed Quantize(const Image& image, const QuantizeOptions& options) {
    const int w = image.Width(), h = image.Height();
    const bool keyed = options.key != Key::kNone;
    std::vector<char> figure(static_cast<std::size_t>(w) * h, 1);
    std::vector<Rgb8> colour(figure.size());
    std::unordered_map<std::uint32_t, std::uint32_t> counts;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * w + x;
            float alpha = image.AlphaAt(x, y);
            if (keyed) {
                float threshold = options.stipple ? BayerThreshold(x, y) : options.coverage;
                figure[i] = alpha >= threshold && alpha > 0;
                colour[i] = ToRgb8(image.ColourAt(x, y));
            } else {
                colour[i] = ToRgb8(image.ColourAt(x, y) * alpha);
            }
            if (figure[i]) ++counts[Pack(colour[i])];
        }
    }
    std::vector<Bin> bins;
    bins.reserve(counts.size());
    for (auto [packed, count] : counts)
        bins.push_back({{static_cast<std::uint8_t>(packed >> 16),
                         static_cast<std::uint8_t>(packed >> 8), static_cast<std::uint8_t>(packed)},
                        count});
    std::sort(bins.begin(), bins.end(),
              [](const Bin& a, const Bin& b) { return Pack(a.colour) < Pack(b.colour); });

    std::vector<Rgb8> palette;
    if (keyed) palette.push_back(KeyColour(options.key));
    const std::size_t firstFree = palette.size();
    for (Rgb8 c : options.fixed) palette.push_back(c);
    const int wanted = options.colours - static_cast<int>(palette.size());
    if (!bins.empty() && wanted > 0) {
        std::vector<Rgb8> centres = MedianCut(bins, wanted);
        Refine(bins, centres, 6);
        palette.insert(palette.end(), centres.begin(), centres.end());
    }
    for (std::size_t i = firstFree; i < palette.size(); ++i)
        palette[i] = AwayFromKey(palette[i], options.key);
    const std::size_t used = palette.size();
    palette.resize(options.colours, KeyColour(options.key));

    Indexed out{w, h, palette, std::vector<std::uint8_t>(figure.size(), 0)};
    std::unordered_map<std::uint32_t, std::uint8_t> nearest;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * w + x;
            if (!figure[i]) continue;  // entry 0, the key
            Rgb8 c = colour[i];
            if (options.dither > 0) {
                float offset = (BayerThreshold(x, y) - 0.5f) * options.dither;
                auto shift = [offset](std::uint8_t v) {
                    return static_cast<std::uint8_t>(
                        std::clamp<long>(std::lround(v + offset), 0, 255));
                };
                c = {shift(c.r), shift(c.g), shift(c.b)};
            }
            auto [slot, fresh] = nearest.try_emplace(Pack(c), 0);
            if (fresh) {
                std::size_t best = firstFree;
                int bestDistance = Distance(c, palette[firstFree]);
                for (std::size_t k = firstFree + 1; k < used; ++k) {
                    int d = Distance(c, palette[k]);
                    if (d < bestDistance) bestDistance = d, best = k;
                }
                slot->second = static_cast<std::uint8_t>(best);
            }
            out.pixels[i] = slot->second;
        }
    }
    return out;
}
