// The menu screen's pictures (the panel and the highlighted labels) and the loading notice.
#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "tools/artwork.h"
#include "tools/font.h"
#include "tools/image.h"
#include "tools/noise.h"
#include "tools/target.h"

namespace {

constexpr int kPanelWidth = MENUPANEL_WIDTH, kPanelHeight = MENUPANEL_HEIGHT;
constexpr int kLabelLeft = MENU_LABEL_LEFT, kLabelTop = MENU_LABEL_TOP;
constexpr int kLabelWidth = MENU_LABEL_WIDTH, kLabelHeight = MENU_LABEL_HEIGHT;
constexpr std::array<std::string_view, MENU_LABELS> kLabels = {"start new game", "delete highscore",
                                                               "leave the game"};
// The best score's field, right and bottom inclusive: the digits fill it.
constexpr int kFieldLeft = MENU_FIELD_LEFT, kFieldTop = MENU_FIELD_TOP;
constexpr int kFieldRight = kFieldLeft + DIGIT_WIDTH * DIGIT_COUNT - 1;
constexpr int kFieldBottom = kFieldTop + DIGIT_HEIGHT - 1;

// Label text is the only thing in a label box this bright, on the panel and on the highlight bar
// alike, so the bright pixels of both are exactly the letters.
const Colour kLabelText = Rgb(232, 238, 255);
const Colour kHighlightText = Rgb(255, 255, 228);
const Colour kFieldColour = Rgb(12, 14, 36);

// The letters of label s inside its box, centred.
Mask LabelMask(int s) {
    Mask mask(kLabelWidth, kLabelHeight);
    const int width = TextWidth(kLabels[s], true);
    DrawText(mask, kLabels[s], (kLabelWidth - width) / 2, 5, true);
    return mask;
}

// The panel's plate: deep night blue with a faint weave and a soft light behind the creature.
Colour PanelPlate(float x, float y) {
    float v = y / kPanelHeight;
    Colour c = Mix(Rgb(40, 30, 92), Rgb(14, 10, 40), v);
    float weave = std::sin((x + y) * 0.9f) * std::sin((x - y) * 0.9f);
    c = c * (1 + 0.06f * weave + 0.1f * (Fbm(x / 30, y / 30, 3, 90u) - 0.5f));
    float dx = x - 70, dy = y - 106;
    return Mix(c, Rgb(120, 60, 150), 0.45f * std::exp(-(dx * dx + dy * dy) / (2 * 42.0f * 42.0f)));
}

void Fill(Image& image, int x0, int y0, int x1, int y1, Colour c) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) image.Set(x, y, {c, 1});
}

// Lettering: a mask painted with a vertical ramp, a light top edge, a dark outline just outside
// it and, if asked, a drop shadow `shadow` pixels down and right.
void PaintLettering(Image& image, const Mask& mask, int x, int y, const Ramp& fill, Colour outline,
                    int shadow) {
    const int pad = 1 + shadow;
    Mask padded(mask.Width() + 2 * pad, mask.Height() + 2 * pad);
    int top = mask.Height(), bottom = 0;
    for (int j = 0; j < mask.Height(); ++j)
        for (int i = 0; i < mask.Width(); ++i)
            if (mask.Get(i, j))
                padded.Set(i + pad, j + pad), top = std::min(top, j), bottom = std::max(bottom, j);
    const Mask grown = padded.Grown(1);
    x -= pad, y -= pad;
    for (int j = 0; j < padded.Height(); ++j) {
        for (int i = 0; i < padded.Width(); ++i) {
            if (!grown.Get(i, j)) {
                if (shadow && grown.Get(i - shadow, j - shadow))
                    image.Over(x + i, y + j, {Rgb(6, 4, 16), 0.7f});
                continue;
            }
            if (!padded.Get(i, j)) {
                image.Set(x + i, y + j, {outline, 1});
                continue;
            }
            Colour c = fill.At(float(j - pad - top) / std::max(1, bottom - top));
            if (!padded.Get(i, j - 1)) c = Mix(c, Rgb(255, 255, 240), 0.55f);  // lit top edges
            else if (!padded.Get(i, j + 1)) c = c * 0.8f;                      // shaded feet
            image.Set(x + i, y + j, {c, 1});
        }
    }
}

// A mask scaled up by whole pixels.
Mask Scaled(const Mask& mask, int k) {
    Mask out(mask.Width() * k, mask.Height() * k);
    for (int j = 0; j < out.Height(); ++j)
        for (int i = 0; i < out.Width(); ++i)
            if (mask.Get(i / k, j / k)) out.Set(i, j);
    return out;
}

Mask TextMask(std::string_view text, bool bold) {
    Mask mask(TextWidth(text, bold), kFontHeight);
    DrawText(mask, text, 0, 0, bold);
    return mask;
}

// A bevelled frame line around [x0, x1] x [y0, y1]: light on the top and left, dark below.
void Bevel(Image& image, int x0, int y0, int x1, int y1, Colour light, Colour dark) {
    for (int x = x0; x <= x1; ++x) image.Set(x, y0, {light, 1}), image.Set(x, y1, {dark, 1});
    for (int y = y0; y <= y1; ++y) image.Set(x0, y, {light, 1}), image.Set(x1, y, {dark, 1});
}

}  // namespace

Indexed MakeMenuPanel() {
    Image image(kPanelWidth, kPanelHeight);
    Shade(image, 0, 0, kPanelWidth, kPanelHeight, 2, [](float x, float y) -> Paint {
        return {PanelPlate(x, y), 1};
    });

    // The frame: gold, bevelled, two steps deep.
    const Colour goldLight = Rgb(255, 222, 130), goldDark = Rgb(150, 92, 30), edge = Rgb(20, 12, 8);
    Bevel(image, 0, 0, kPanelWidth - 1, kPanelHeight - 1, edge, edge);
    Bevel(image, 1, 1, kPanelWidth - 2, kPanelHeight - 2, goldLight, goldDark);
    Bevel(image, 2, 2, kPanelWidth - 3, kPanelHeight - 3, Rgb(214, 160, 64), Rgb(110, 64, 22));
    Bevel(image, 3, 3, kPanelWidth - 4, kPanelHeight - 4, edge, edge);

    // Title and notice across the top.
    const Ramp titleFill{
        {0.0f, Rgb(255, 246, 160)}, {0.45f, Rgb(255, 176, 40)}, {1.0f, Rgb(214, 54, 20)}};
    const Mask title = Scaled(TextMask("QUENDRA", true), 3);
    PaintLettering(image, title, (kPanelWidth - title.Width()) / 2, 7, titleFill, Rgb(40, 8, 20),
                   3);
    const std::string_view notice = "shoot them before they splat!";
    const Ramp noticeFill{{0.0f, Rgb(150, 230, 255)}, {1.0f, Rgb(90, 170, 230)}};
    PaintLettering(image, TextMask(notice, false), (kPanelWidth - TextWidth(notice, false)) / 2, 46,
                   noticeFill, Rgb(10, 8, 30), 0);
    // A thin rule under the notice.
    for (int x = 24; x < kPanelWidth - 24; ++x) {
        float fade = 1 - std::abs(x - kPanelWidth / 2.0f) / (kPanelWidth / 2.0f - 24);
        image.Over(x, 63, {Rgb(255, 200, 90), 0.8f * fade});
        image.Over(x, 64, {Rgb(60, 30, 10), 0.6f * fade});
    }

    // The creature on the left, eyes ablaze.
    TargetLook look = TargetInCell(125, 3);
    look.radius = 48;
    PaintTarget(image, 70, 106, look, 4);

    // The three labels.
    const Ramp labelFill{{0.0f, kLabelText}, {1.0f, kLabelText}};
    for (int s = 0; s < MENU_LABELS; ++s) {
        Mask mask = LabelMask(s);
        for (int j = 0; j < kLabelHeight; ++j)
            for (int i = 0; i < kLabelWidth; ++i) {
                int x = kLabelLeft + i, y = kLabelTop + kLabelHeight * s + j;
                if (mask.Get(i - 1, j - 1) && !mask.Get(i, j)) image.Set(x, y, {Rgb(8, 6, 24), 1});
                if (mask.Get(i, j)) image.Set(x, y, {kLabelText, 1});
            }
    }

    // The best-score field in the lower right corner, set into the frame, and its label.
    Fill(image, kFieldLeft, kFieldTop, kFieldRight, kFieldBottom, kFieldColour);
    for (int x = kFieldLeft - 2; x <= kFieldRight + 1; ++x)
        image.Set(x, kFieldTop - 2, {goldLight, 1}), image.Set(x, kFieldTop - 1, {edge, 1});
    for (int y = kFieldTop - 2; y <= kFieldBottom; ++y)
        image.Set(kFieldLeft - 2, y, {goldLight, 1}), image.Set(kFieldLeft - 1, y, {edge, 1});
    for (int y = kFieldTop - 1; y <= kFieldBottom; ++y)
        image.Set(kFieldRight + 1, y, {goldDark, 1});
    const Ramp bestFill{{0.0f, Rgb(255, 240, 150)}, {1.0f, Rgb(250, 160, 40)}};
    const std::string_view best = "highscore";
    PaintLettering(image, TextMask(best, true), kFieldLeft - 6 - TextWidth(best, true), 162,
                   bestFill, Rgb(30, 10, 10), 1);

    QuantizeOptions options;
    options.fixed = {ToRgb8(kLabelText), ToRgb8(kFieldColour)};
    return Quantize(image, options);
}

Indexed MakeMenuItems() {
    Image image(MENUITEMS_WIDTH, MENUITEMS_HEIGHT, Rgb(0, 0, 0), 1);
    for (int s = 0; s < MENU_LABELS; ++s) {
        const int top = kLabelHeight * s;
        // A glowing bar with rounded corners over the panel's plate; it stays darker than the
        // letters.
        Shade(image, 0, top, kLabelWidth, top + kLabelHeight, 4, [&](float x, float y) -> Paint {
            const float v = (y - top) / kLabelHeight, radius = 7;
            float qx = std::max({0.0f, radius - x, x - (kLabelWidth - radius)});
            float qy = std::max({0.0f, radius - (y - top), (y - top) - (kLabelHeight - radius)});
            float outside = std::sqrt(qx * qx + qy * qy) - radius;
            Colour plate = PanelPlate(kLabelLeft + x, kLabelTop + y);
            if (outside > 0) return {plate, 1};
            Colour bar = Mix(Rgb(250, 150, 40), Rgb(170, 40, 24), v);
            bar = Mix(bar, Rgb(255, 190, 80), 0.35f * SmoothStep(0.3f, 0.0f, v));
            if (outside > -1.2f) bar = Rgb(110, 30, 14);
            return {bar, 1};
        });
        // Arrow heads at both ends point at the choice.
        for (int j = 0; j < 9; ++j) {
            int half = 4 - std::abs(j - 4);
            for (int i = 0; i <= half; ++i) {
                image.Set(6 + i, top + 7 + j, {Rgb(90, 14, 10), 1});
                image.Set(kLabelWidth - 7 - i, top + 7 + j, {Rgb(90, 14, 10), 1});
            }
        }
        Mask mask = LabelMask(s);
        for (int j = 0; j < kLabelHeight; ++j)
            for (int i = 0; i < kLabelWidth; ++i) {
                if (mask.Get(i - 1, j - 1) && !mask.Get(i, j))
                    image.Set(i, top + j, {Rgb(110, 20, 10), 1});
                if (mask.Get(i, j)) image.Set(i, top + j, {kHighlightText, 1});
            }
    }
    QuantizeOptions options;
    options.fixed = {ToRgb8(kHighlightText)};
    return Quantize(image, options);
}

Indexed MakeLoading() {
    constexpr int kWidth = LOADING_WIDTH, kHeight = LOADING_HEIGHT;
    Image image(kWidth, kHeight, Rgb(0, 0, 0), 1);
    const std::string_view text = "load ...";
    const Ramp fill{{0.0f, Rgb(255, 255, 255)}, {1.0f, Rgb(150, 200, 255)}};
    PaintLettering(image, TextMask(text, true), (kWidth - TextWidth(text, true)) / 2, 2, fill,
                   Rgb(0, 0, 0), 0);
    QuantizeOptions options;
    options.colours = 16;
    options.fixed = {Rgb8{0, 0, 0}};
    return Quantize(image, options);
}
