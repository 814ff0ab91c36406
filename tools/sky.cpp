// The play screen's background: a summer sky, deep blue at the top and hazy at the horizon,
// with a low sun glow and heaps of cumulus built from lit, noise-frayed puffs.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/artwork.h"
#include "tools/image.h"
#include "tools/noise.h"

namespace {

constexpr int kWidth = BACKGROUND_WIDTH, kHeight = BACKGROUND_HEIGHT;

struct Puff {
    float x, y, r;
};

struct Cloud {
    float base;     // the underside, flattened
    float scale;    // 1 for a near cloud, smaller far away
    float opacity;  // far clouds are thinner
    float left, top, right, bottom;
    std::vector<Puff> puffs;
};

// A heap of puffs: big ones along the base, smaller ones piled on top towards the middle.
Cloud MakeCloud(Rng& rng, float x, float base, float width, float scale, float opacity) {
    Cloud cloud{base, scale, opacity, 1e9f, 1e9f, -1e9f, -1e9f, {}};
    const int count = static_cast<int>(width / (16 * scale)) + 2;
    for (int i = 0; i < count; ++i) {
        float t = (i + 0.5f) / count;
        float hump = std::sin(t * 3.14159f);
        float r = scale * (15 + 19 * hump) * rng.Range(0.8f, 1.2f);
        float px = x + (t - 0.5f) * width + rng.Signed() * 5 * scale;
        float py = base - r * 0.55f - hump * scale * rng.Range(8, 26);
        cloud.puffs.push_back({px, py, r});
        if (hump > 0.4f && rng.Unit() < 0.8f)
            cloud.puffs.push_back({px + rng.Signed() * r * 0.6f, py - r * rng.Range(0.5f, 0.9f),
                                   r * rng.Range(0.5f, 0.75f)});
    }
    for (const Puff& p : cloud.puffs) {
        cloud.left = std::min(cloud.left, p.x - 2 * p.r);
        cloud.right = std::max(cloud.right, p.x + 2 * p.r);
        cloud.top = std::min(cloud.top, p.y - 2 * p.r);
    }
    cloud.bottom = base + 10;
    return cloud;
}

std::vector<Cloud> MakeClouds() {
    Rng rng(0x5EED5C1Eu);
    std::vector<Cloud> clouds;
    // Far, thin clouds high up; nearer, bigger heaps lower down.
    clouds.push_back(MakeCloud(rng, 110, 112, 170, 0.5f, 0.65f));
    clouds.push_back(MakeCloud(rng, 360, 84, 120, 0.45f, 0.55f));
    clouds.push_back(MakeCloud(rng, 575, 150, 180, 0.6f, 0.75f));
    clouds.push_back(MakeCloud(rng, 250, 228, 240, 0.8f, 0.85f));
    clouds.push_back(MakeCloud(rng, 530, 300, 260, 0.95f, 0.95f));
    clouds.push_back(MakeCloud(rng, 70, 352, 280, 1.1f, 1.0f));
    clouds.push_back(MakeCloud(rng, 380, 460, 440, 1.35f, 1.0f));
    clouds.push_back(MakeCloud(rng, 680, 440, 220, 1.15f, 1.0f));
    return clouds;
}

// How much cloud there is at a point: blended puffs, frayed by noise, cut off at the base.
float Density(const Cloud& cloud, float x, float y) {
    float d = 0;
    for (const Puff& p : cloud.puffs) {
        float dx = x - p.x, dy = y - p.y;
        float q = (dx * dx + dy * dy) / (p.r * p.r);
        if (q < 4) d += std::exp(-2.2f * q);
    }
    // Fray the edges, but only near the puffs so no stray wisps float off on their own.
    const float s = cloud.scale;
    float fray = 0.5f * (Fbm(x / (26 * s), y / (20 * s), 3, 29u) - 0.5f) +
                 0.2f * (Fbm(x / (7 * s), y / (7 * s), 2, 31u) - 0.5f);
    d += fray * std::min(1.0f, 2.5f * d);
    return d * SmoothStep(cloud.base + 8, cloud.base - 16 * s, y);
}

const Ramp kSky{{0.0f, Rgb(22, 58, 142)}, {0.35f, Rgb(46, 104, 190)}, {0.7f, Rgb(104, 160, 222)},
                {1.0f, Rgb(178, 212, 238)}};
const Ramp kCloudLight{{0.0f, Rgb(120, 138, 180)},
                       {0.35f, Rgb(176, 190, 220)},
                       {0.7f, Rgb(232, 236, 248)},
                       {1.0f, Rgb(255, 253, 246)}};

}  // namespace

Indexed MakeBackground() {
    Image image(kWidth, kHeight);
    const auto clouds = MakeClouds();

    Shade(image, 0, 0, kWidth, kHeight, 2, [&](float x, float y) -> Paint {
        float v = y / kHeight;
        Colour c = kSky.At(v + 0.04f * (Fbm(x / 160, y / 60, 3, 3u) - 0.5f));
        // The sun's glow beyond the upper-left corner.
        float sun = std::exp(-((x + 30) * (x + 30) + (y + 50) * (y + 50)) / (2 * 130.0f * 130.0f));
        c = Mix(c, Rgb(236, 244, 255), 0.5f * sun);
        // High streaks of haze.
        float streak = Fbm(x / 220, y / 14, 4, 11u);
        c = Mix(c, Rgb(220, 232, 248),
                0.2f * SmoothStep(0.55f, 0.8f, streak) * SmoothStep(0.1f, 0.5f, v));

        for (const Cloud& cloud : clouds) {
            if (x < cloud.left || x > cloud.right || y < cloud.top || y > cloud.bottom) continue;
            float d = Density(cloud, x, y);
            float alpha = SmoothStep(0.3f, 0.62f, d) * cloud.opacity;
            if (alpha <= 0) continue;
            // Lit where the cloud thins out towards the sun, shadowed inside and underneath.
            float towardsSun = Density(cloud, x - 7 * cloud.scale, y - 10 * cloud.scale);
            float light = 0.74f + 0.85f * (d - towardsSun) - 0.1f * std::max(0.0f, d - 1);
            light -= 0.35f * SmoothStep(cloud.base - 36 * cloud.scale, cloud.base + 4, y);
            Colour cc = Mix(kCloudLight.At(light), c, 0.3f * (1 - cloud.opacity) + 0.08f);
            c = Mix(c, cc, alpha);
        }
        return {c, 1};
    });
    QuantizeOptions options;
    options.dither = 4;
    return Quantize(image, options);
}
