// The effect pictures: the explosion in eight steps, the splat, and the crosshair. All three are
// keyed with black, so their darkest colours stay a little above it.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tools/artwork.h"
#include "tools/image.h"
#include "tools/noise.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kCell = EXPLOSION_CELL, kCells = EXPLOSION_CELLS;

const Ramp kFire{{0.0f, Rgb(70, 26, 20)},    {0.2f, Rgb(136, 28, 10)},  {0.4f, Rgb(222, 72, 12)},
                 {0.6f, Rgb(255, 148, 24)},  {0.8f, Rgb(255, 226, 90)}, {1.0f, Rgb(255, 255, 222)}};
const Ramp kSmoke{{0.0f, Rgb(44, 38, 40)}, {0.5f, Rgb(92, 84, 82)}, {1.0f, Rgb(168, 160, 150)}};

// Hot sparks and bits of the creature thrown out of the blast.
struct Fragment {
    enum Kind { kSpark, kSkin, kHorn } kind;
    float angle, speed, size, spin;
};

std::vector<Fragment> MakeFragments() {
    Rng rng(0xB1A57u);
    std::vector<Fragment> out;
    for (int i = 0; i < 18; ++i)
        out.push_back(
            {Fragment::kSpark, rng.Range(0, 2 * kPi), rng.Range(9, 13), rng.Range(0.9f, 1.5f), 0});
    for (int i = 0; i < 7; ++i)
        out.push_back({i < 4 ? Fragment::kSkin : Fragment::kHorn,
                       (i + rng.Range(0.2f, 0.8f)) * 2 * kPi / 7, rng.Range(12, 15.5f),
                       rng.Range(4.2f, 5.6f), rng.Range(-1.4f, 1.4f)});
    return out;
}

// A fragment `steps` steps into its flight, at (ux, uy) from its centre.
Paint FragmentAt(const Fragment& f, int steps, float ux, float uy) {
    if (f.kind == Fragment::kSpark) {
        // A streak that tapers back towards the blast.
        const float dx = std::cos(f.angle), dy = std::sin(f.angle),
                    length = 4 + 1.5f * f.speed / steps;
        const float along = ux * dx + uy * dy, across = -ux * dy + uy * dx;
        const float back = std::clamp(-along / length, 0.0f, 1.0f);
        const float gap = std::hypot(along + back * length, across);
        if (gap > f.size * (1 - 0.15f * steps) * (1 - 0.7f * back)) return {};
        return {Mix(Rgb(255, 250, 200), Rgb(255, 140, 30), back), 1};
    }
    // A torn lump of skin or a broken horn, turning as it flies.
    const float a = f.spin * steps, ca = std::cos(a), sa = std::sin(a);
    const float rx = ux * ca + uy * sa, ry = -ux * sa + uy * ca;
    const bool horn = f.kind == Fragment::kHorn;
    const float shape = horn ? std::max(std::abs(ry) * 2.2f + rx * 0.9f, -rx * 1.4f)
                             : std::hypot(rx, ry * 1.26f) *
                                   (1 + 0.25f * std::sin(3 * std::atan2(ry, rx) + f.angle));
    if (shape > f.size) return {};
    if (shape > f.size - 1) return {Rgb(40, 8, 36), 1};
    const Colour c = horn ? Rgb(214, 176, 128) : Rgb(160, 40, 150);
    // Lit from the upper left.
    return {Mix(c, Rgb(255, 226, 244), Clamp01(-(ux + uy) / f.size) * 0.45f), 1};
}

Paint FireballAt(float px, float py, float t) {
    const float radius = 13 + 43 * (1 - std::pow(1 - t, 1.7f));
    const float qx = px / radius, qy = py / radius;
    const float rr = std::sqrt(qx * qx + qy * qy);
    if (rr > 1.6f) return {};
    // Billows that grow with the ball and churn as it expands.
    float billow = Fbm(qx * 2.3f + t * 0.9f, qy * 2.3f - t * 0.6f, 5, 501u);
    float fine = Fbm(qx * 6 + 13, qy * 6 - t, 3, 502u);
    float density = (1 - rr * rr) + 1.1f * (billow - 0.5f) + 0.35f * (fine - 0.5f);
    // Late on, the middle burns out and the cloud becomes a loose ring.
    density *= 1 - 0.6f * std::pow(t, 1.5f) * (1 - SmoothStep(0.0f, 0.75f, rr));
    if (density <= 0) return {};

    float heat = std::clamp((1.25f - 1.22f * t) * (0.4f + 0.9f * density) - 0.35f * rr, 0.0f, 1.0f);
    // Smoke lit from the upper left where its billows thin out towards the light.
    float towards = Fbm((qx - 0.1f) * 2.3f + t * 0.9f, (qy - 0.13f) * 2.3f - t * 0.6f, 5, 501u);
    float lit = std::clamp(0.5f + 4.5f * (billow - towards) - 0.25f * qy - 0.1f * t, 0.0f, 1.0f);
    Colour smoke = kSmoke.At(lit);
    // Glowing from within.
    smoke = Mix(smoke, Rgb(150, 60, 30), 0.5f * SmoothStep(0.0f, 0.3f, heat));
    Colour c = Mix(smoke, kFire.At(heat), SmoothStep(0.2f, 0.45f, heat));
    // Fire is solid; the smoke thins out as it drifts, breaking up and taking on the sky's tint.
    c = Mix(c, Rgb(118, 140, 178),
            0.5f * SmoothStep(0.45f, 1.0f, t) * (1 - SmoothStep(0.2f, 0.45f, heat)));
    float threshold = 0.1f + 0.32f * t * t;
    float smokeAlpha = SmoothStep(threshold, threshold + 0.06f, density);
    float fireAlpha = SmoothStep(0.25f, 0.4f, heat) * SmoothStep(0.0f, 0.12f, density);
    return {c, std::max(smokeAlpha, fireAlpha)};
}

}  // namespace

Indexed MakeExplosion() {
    Image image(EXPLOSION_WIDTH, EXPLOSION_HEIGHT);
    const auto fragments = MakeFragments();
    for (int cell = 0; cell < kCells; ++cell) {
        const float t = cell / float(kCells - 1);
        const float cx = kCell * cell + kCell / 2.0f, cy = kCell / 2.0f;
        Shade(image, kCell * cell, 0, kCell * (cell + 1), kCell, 3,
              [&](float x, float y) { return FireballAt(x - cx, y - cy, t); });
        // Sparks and shards fly out in the first steps, falling a little, and leave the picture.
        if (cell == 0 || cell > 4) continue;
        for (const Fragment& f : fragments) {
            if (f.kind == Fragment::kSpark && cell > 3) continue;
            const float dist = 8 + f.speed * cell;
            const float fx = cx + std::cos(f.angle) * dist,
                        fy = cy + std::sin(f.angle) * dist + 0.6f * cell * cell;
            if (std::abs(fx - cx) > 57 || std::abs(fy - cy) > 57) continue;
            Shade(image, int(fx) - 8, int(fy) - 8, int(fx) + 9, int(fy) + 9, 4,
                  [&](float x, float y) { return FragmentAt(f, cell, x - fx, y - fy); });
        }
    }
    QuantizeOptions options;
    options.key = Key::kBlack;
    return Quantize(image, options);
}

namespace {

struct Blob {
    float x, y, r, weight;
};

std::vector<Blob> MakeSplatBlobs() {
    Rng rng(0x5B1A7u);
    std::vector<Blob> blobs{
        {63, 63, 36, 1.0f}, {55, 70, 26, 0.5f}, {71, 55, 24, 0.5f}, {70, 72, 22, 0.4f}};
    const int arms = 13;
    for (int i = 0; i < arms; ++i) {
        float angle = (i + rng.Range(0.1f, 0.9f)) * 2 * kPi / arms;
        float reach = rng.Range(42, 56);
        float width = rng.Range(6, 12);
        for (float d = 26; d < reach; d += width * 0.5f) {
            float k = (d - 26) / (reach - 26);
            float bend = rng.Signed() * 0.04f;
            blobs.push_back({63 + std::cos(angle + bend) * d, 63 + std::sin(angle + bend) * d,
                             width * (1 - 0.5f * k), 0.85f});
        }
        // A drop flung beyond the end of the arm.
        if (rng.Unit() < 0.7f) {
            float d = reach + rng.Range(3, 6);
            blobs.push_back(
                {63 + std::cos(angle) * d, 63 + std::sin(angle) * d, rng.Range(3.2f, 4.8f), 1.0f});
        }
    }
    for (int i = 0; i < 14; ++i) {
        float angle = rng.Range(0, 2 * kPi), d = rng.Range(40, 57);
        blobs.push_back(
            {63 + std::cos(angle) * d, 63 + std::sin(angle) * d, rng.Range(2.3f, 4.0f), 1.0f});
    }
    return blobs;
}

float Goo(const std::vector<Blob>& blobs, float x, float y) {
    float f = 0;
    for (const Blob& b : blobs) {
        float dx = x - b.x, dy = y - b.y;
        float q = (dx * dx + dy * dy) / (b.r * b.r);
        f += b.weight * std::exp(-q * (b.r > 30 ? q : 1));  // the big middle spreads out flat
    }
    return f + 0.14f * (Fbm(x / 7, y / 7, 3, 77u) - 0.5f);
}

const Ramp kGoo{{0.0f, Rgb(54, 8, 58)}, {0.4f, Rgb(126, 24, 126)}, {0.75f, Rgb(192, 62, 178)},
                {1.0f, Rgb(236, 132, 218)}};

}  // namespace

Indexed MakeSplat() {
    constexpr int kSize = SPLAT_SIZE;
    Image image(kSize, kSize);
    const auto blobs = MakeSplatBlobs();
    const float lx = -0.45f, ly = -0.6f, lz = 0.66f;
    Shade(image, 0, 0, kSize, kSize, 4, [&](float x, float y) -> Paint {
        const float f = Goo(blobs, x, y);
        const float edge = 0.45f;
        if (f < edge) return {};
        if (f < edge + 0.07f) return {Rgb(40, 6, 38), 1};
        // A wet surface: the field is its height.
        const float e = 0.5f;
        float gx = (Goo(blobs, x + e, y) - Goo(blobs, x - e, y)) / (2 * e);
        float gy = (Goo(blobs, x, y + e) - Goo(blobs, x, y - e)) / (2 * e);
        float nx = -gx * 6, ny = -gy * 6, nz = 1;
        float len = std::sqrt(nx * nx + ny * ny + nz * nz);
        nx /= len, ny /= len, nz /= len;
        float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
        float hx = lx, hy = ly, hz = lz + 1;
        float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
        float specular = std::pow(std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl), 60.0f);
        float depth = SmoothStep(edge, 1.6f, f);
        Colour c = kGoo.At(0.15f + 0.65f * diffuse + 0.2f * depth);
        c = c + Rgb(255, 236, 250) * (0.9f * specular);
        return {Clamp01(c), 1};
    });
    QuantizeOptions options;
    options.key = Key::kBlack;
    return Quantize(image, options);
}

Indexed MakeCrosshair() {
    constexpr int kSize = CROSSHAIR_SIZE;
    constexpr float kCentre = kSize / 2 + 0.5f;  // the middle of the pixel the game aims with
    Image image(kSize, kSize);
    Shade(image, 0, 0, kSize, kSize, 6, [&](float x, float y) -> Paint {
        const float dx = x - kCentre, dy = y - kCentre;
        const float r = std::sqrt(dx * dx + dy * dy);
        float ring = std::abs(r - 19.5f) - 1.3f;
        // Four ticks across the ring, clear of the middle.
        float ax = std::abs(dx), ay = std::abs(dy);
        float tickH = std::max(ay - 1.0f, std::max(8.5f - ax, ax - 28.5f));
        float tickV = std::max(ax - 1.0f, std::max(8.5f - ay, ay - 28.5f));
        float dot = r - 1.6f;
        float d = std::min({ring, tickH, tickV, dot});
        if (d > 1.2f) return {};
        if (d > 0) return {Rgb(64, 6, 10), 1};
        // Bright red, lighter towards the upper left of each stroke.
        Colour c = Mix(Rgb(255, 40, 24), Rgb(255, 200, 150), Clamp01(-d / 1.3f) * 0.6f);
        return {c, 1};
    });
    QuantizeOptions options;
    options.colours = 16;
    options.key = Key::kBlack;
    return Quantize(image, options);
}
