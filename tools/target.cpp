#include "tools/target.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tools/noise.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

struct Vec3 {
    float x, y, z;
};
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Normalised(Vec3 v) {
    float k = 1 / std::sqrt(Dot(v, v));
    return {v.x * k, v.y * k, v.z * k};
}

const Vec3 kLight = Normalised({-0.5f, -0.65f, 0.75f});
const Vec3 kHalfway = Normalised({kLight.x, kLight.y, kLight.z + 1});

const Colour kOutline = Rgb(34, 6, 30);
const Ramp kSkin{{0.0f, Rgb(44, 8, 52)}, {0.3f, Rgb(104, 22, 116)}, {0.62f, Rgb(176, 48, 164)},
                 {0.85f, Rgb(228, 104, 200)}, {1.0f, Rgb(250, 170, 228)}};
const Ramp kHorn{{0.0f, Rgb(70, 30, 60)}, {0.35f, Rgb(140, 88, 84)}, {0.7f, Rgb(214, 176, 128)},
                 {1.0f, Rgb(246, 232, 190)}};

// The two eyes' glowing fill, from the rim (0) to the middle (1), when dim and when blazing.
const Ramp kEyeDim{{0.0f, Rgb(40, 52, 14)}, {1.0f, Rgb(96, 118, 26)}};
const Ramp kEyeLit{
    {0.0f, Rgb(90, 190, 20)}, {0.55f, Rgb(210, 250, 60)}, {1.0f, Rgb(255, 255, 205)}};
const Colour kHalo = Rgb(150, 255, 60);
const Colour kPupil = Rgb(36, 10, 14);
const Colour kMouth = Rgb(70, 6, 24);
const Colour kTooth = Rgb(240, 228, 196);

struct Spike {
    float angle, length;
};

std::vector<Spike> MakeSpikes(int count) {
    std::vector<Spike> spikes;
    for (int i = 0; i < count; ++i)
        spikes.push_back({-kPi / 2 + 2 * kPi * i / count + kPi / count, i % 2 ? 0.87f : 1.0f});
    return spikes;
}

// Distance (negative inside) from p to a spike: a slightly concave horn from under the body to
// its tip; `across` is where p lies across the horn (-1..1) and `along` how far up it (0..1).
float SpikeDistance(float px, float py, const Spike& s, int count, float bodyRadius, float& across,
                    float& along) {
    const float ux = std::cos(s.angle), uy = std::sin(s.angle);
    const float u = px * ux + py * uy, v = -px * uy + py * ux;
    const float base = bodyRadius * 0.8f, tip = s.length, halfWidth = 2.46f / count;
    const float t = std::clamp((u - base) / (tip - base), 0.0f, 1.0f);
    const float width = halfWidth * std::pow(1 - t, 1.25f);
    across = width > 0 ? std::clamp(v / width, -1.0f, 1.0f) : 0;
    along = t;
    const float slope = halfWidth / (tip - base);
    float side = (std::abs(v) - width) / std::sqrt(1 + slope * slope);
    return std::max({side, u - tip, base - u});
}

// Distance (negative inside) to the left eye in coordinates mirrored so that +x points away
// from the nose; the brow cuts the inner top off for a scowl.
float EyeDistance(float qx, float qy, float rx, float ry) {
    float e = (std::sqrt((qx / rx) * (qx / rx) + (qy / ry) * (qy / ry)) - 1) * std::min(rx, ry);
    float brow = (-qy + (-0.5f * ry - 0.55f * qx)) / std::sqrt(1 + 0.55f * 0.55f);
    return std::max(e, brow);
}

// A horn is a cone lit from the upper left: bright on the lit flank, darker at its base.
Colour HornColour(float angle, float across, float along) {
    const float ux = std::cos(angle), uy = std::sin(angle);
    Vec3 normal = Normalised({ux * 0.35f - uy * across * 0.9f, uy * 0.35f + ux * across * 0.9f,
                              std::sqrt(std::max(0.05f, 1 - across * across * 0.8f))});
    float light = std::max(0.0f, Dot(normal, kLight));
    Colour c = kHorn.At(0.12f + 0.7f * light * (0.45f + 0.55f * along) + 0.2f * along);
    c = c + Rgb(255, 250, 230) * (0.35f * std::pow(std::max(0.0f, Dot(normal, kHalfway)), 18.0f));
    return Clamp01(c);
}

// A sawtooth that is 0 at whole numbers and 1 halfway between: the fangs of the grin.
float Saw(float x) { return std::abs(x - std::floor(x) - 0.5f) * 2; }

}  // namespace

TargetLook TargetInCell(int cellSize, int phase) {
    static constexpr float kGlow[5] = {0.08f, 0.35f, 0.68f, 1.0f, 0.55f};
    TargetLook look{};
    look.radius = cellSize / 2.0f - (cellSize >= 100 ? 3.0f : 2.0f);
    look.outline = cellSize >= 150 ? 2.4f : cellSize >= 120 ? 2.0f : cellSize >= 70 ? 1.5f : 1.0f;
    look.eyeScale = cellSize >= 120 ? 1.0f : cellSize >= 70 ? 1.1f : 1.25f;
    look.pupils = cellSize >= 70;
    look.teeth = cellSize >= 70;
    look.glow = kGlow[phase];
    return look;
}

void PaintTarget(Image& image, float cx, float cy, const TargetLook& look, int n) {
    const auto spikes = MakeSpikes(look.spikes);
    const float R = look.radius, ow = look.outline / R;
    const float eyeRx = 0.15f * look.eyeScale, eyeRy = 0.18f * look.eyeScale;
    const float eyeX = 0.25f, eyeY = -0.12f;
    const float glow = look.glow;

    Shader shader = [&](float x, float y) -> Paint {
        const float px = (x - cx) / R, py = (y - cy) / R;
        const float r = std::sqrt(px * px + py * py);
        const float body = r - look.body;

        // The horns behind the ball.
        float spike = 1e9f, across = 0, along = 0;
        for (const Spike& s : spikes) {
            float a, l, d = SpikeDistance(px, py, s, look.spikes, look.body, a, l);
            if (d < spike) spike = d, across = a, along = l;
        }
        const float silhouette = std::min(body, spike);
        if (silhouette > 0) return {};
        if (silhouette > -ow) return {kOutline, 1};

        if (body > -ow) {
            if (body < 0) return {kOutline, 1};  // the ball's rim, over the horns
            if (spike > -0.8f * ow) return {kOutline, 1};           // each horn's edge
            return {HornColour(std::atan2(py, px), across, along), 1};
        }

        // The ball: a lit sphere with a mottled skin.
        const float sx = px / look.body, sy = py / look.body;
        Vec3 normal{sx, sy, std::sqrt(std::max(0.0f, 1 - sx * sx - sy * sy))};
        float diffuse = std::max(0.0f, Dot(normal, kLight));
        float mottle = Fbm(px * 5 + 3.1f, py * 5 + 7.7f, 4, 71u) - 0.5f;
        float tone = 0.1f + 0.78f * diffuse + 0.18f * mottle;
        Colour c = kSkin.At(tone);
        float rim = std::pow(1 - normal.z, 2.5f) * std::max(0.0f, 0.6f * sx + 0.8f * sy);
        c = c + Rgb(90, 120, 200) * (0.45f * rim);
        c = c +
            Rgb(255, 235, 250) * (0.75f * std::pow(std::max(0.0f, Dot(normal, kHalfway)), 36.0f));

        // The eyes, mirrored about the middle.
        const float qx = (px < 0 ? -px : px) - eyeX, qy = py - eyeY;
        const float eye = EyeDistance(qx, qy, eyeRx, eyeRy);
        if (eye < 0) {
            if (eye > -ow) return {kOutline, 1};
            float depth = std::clamp(-eye / std::min(eyeRx, eyeRy), 0.0f, 1.0f);
            Colour e = Mix(kEyeDim.At(depth), kEyeLit.At(depth), glow);
            if (look.pupils) {  // upright slits
                float pupil =
                    std::hypot(qx / (0.22f * eyeRx), (qy - 0.1f * eyeRy) / (0.75f * eyeRy));
                if (pupil < 1) e = Mix(kPupil, e, 0.25f * glow * pupil);
            }
            // A glint towards the light.
            float gx = qx + 0.35f * eyeRx * (px < 0 ? -1 : 1), gy = qy + 0.1f * eyeRy;
            if (look.glints && gx * gx + gy * gy < (0.2f * eyeRx) * (0.2f * eyeRx))
                e = Rgb(255, 255, 236);
            return {e, 1};
        }
        // A jagged grin under the eyes: upper fangs point down, lower ones up.
        const float top = 0.2f - 0.55f * px * px, bottom = 0.33f - 1.25f * px * px;
        const float mouth = std::max(top - py, py - bottom);
        if (mouth < 0) {
            if (mouth > -ow) return {kOutline, 1};
            if (look.teeth) {
                const float gap = bottom - top;
                if (std::abs(px) < 0.3f && py - top < gap * 0.7f * Saw(px * 6.5f) - ow * 0.3f)
                    return {Mix(kTooth, Rgb(150, 120, 110), SmoothStep(0.0f, gap, py - top)), 1};
                if (std::abs(px) < 0.26f && bottom - py < gap * 0.4f * Saw(px * 6.5f + 0.5f))
                    return {Mix(kTooth, Rgb(150, 120, 110), 0.4f), 1};
            }
            return {Mix(kMouth, Rgb(150, 30, 50), SmoothStep(top, bottom, py) * 0.5f), 1};
        }
        // Sunken sockets, then the light the eyes throw onto the skin around them.
        float socket = SmoothStep(0.09f, 0.0f, eye);
        c = c * (1 - 0.45f * look.halo * socket);
        c = c + kHalo * (look.halo * glow * 0.75f * std::exp(-(eye / 0.07f) * (eye / 0.07f)));
        return {Clamp01(c), 1};
    };
    const int margin = static_cast<int>(std::ceil(R)) + 1;
    Shade(image, static_cast<int>(cx) - margin, static_cast<int>(cy) - margin,
          static_cast<int>(cx) + margin + 1, static_cast<int>(cy) + margin + 1, n, shader);
}
