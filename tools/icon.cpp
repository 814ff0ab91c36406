// The program icon: the creature's face at 32 by 32 (painted like the sprites, with fewer and
// bolder horns) and at 16 by 16 (placed pixel by pixel), 16 colours each; and the desktop's
// icons from 16 to 256 pixels in full colour, each painted at its own size.
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/artwork.h"
#include "tools/image.h"
#include "tools/target.h"

namespace {

IconImage FromPicture(Indexed picture) {
    IconImage icon{std::move(picture), {}};
    for (std::uint8_t index : icon.picture.pixels) icon.transparent.push_back(index == 0);
    return icon;
}

// The icon's look at a size: up to 32 pixels few, bold horns and big eyes; from 64 on the
// sprites' own look, with outlines that grow with the picture.
TargetLook IconLook(int size) {
    const float side = static_cast<float>(size);
    TargetLook look = TargetInCell(size <= 64 ? 45 : std::min(size, 158), 3);
    look.radius = side / 2 - (size >= 128 ? 2.0f : 0.5f);
    if (size <= 48) {
        look.outline = size <= 32 ? 1.0f : 1.25f;
        look.eyeScale = size <= 32 ? 1.35f : 1.25f;
        look.halo = 0;
        look.spikes = size <= 32 ? 8 : 10;
        look.body = 0.62f;
        look.glints = size > 32;
    } else {
        look.spikes = size <= 64 ? 10 : 12;
        look.outline = side / 64 * 1.4f;
    }
    return look;
}

Image PaintedImage(int size) {
    Image image(size, size);
    const float middle = static_cast<float>(size) / 2;
    PaintTarget(image, middle, middle, IconLook(size), size >= 256 ? 4 : 6);
    return image;
}

IconImage PaintedIcon(int size) {
    const Image image = PaintedImage(size);
    QuantizeOptions options;
    options.colours = 16;
    options.key = Key::kBlack;  // entry 0: the colour under the mask's transparent pixels
    // Keep the few pixels of horn and eye their own colours among the many purples.
    options.fixed = {{230, 200, 150}, {150, 110, 84}, {200, 250, 60}, {34, 6, 30}};
    return FromPicture(Quantize(image, options));
}

// clang-format off
constexpr std::string_view kSmallIcon[16] = {
    ".......HH.......",
    ".H.....hh.....H.",
    "..hh..oooo..hh..",
    "..hhoowwlmoohh..",
    "...owwllmmmdo...",
    "...ollmmmmmdo...",
    "..omkkmmmmkkdo..",
    "HhomgGkmmkGgdohH",
    "HhomgggmmgggdohH",
    "..olmmmmmmmddo..",
    "...okmmmmmmko...",
    "...omkHkkHkdo...",
    "..hhoodmmdoohh..",
    "..hh..oooo..hh..",
    ".H.....hh.....H.",
    ".......HH.......",
};
// clang-format on

IconImage PixelIcon() {
    // '.' is transparent (entry 0, black); the others in the order of this list.
    constexpr std::string_view kKeys = ".ohHdmlwgGk";
    const Rgb8 colours[] = {{0, 0, 0},       {34, 6, 30},     {200, 160, 115}, {246, 232, 190},
                            {96, 22, 104},   {168, 46, 156},  {222, 104, 198}, {250, 190, 235},
                            {150, 230, 40},  {255, 255, 190}, {70, 6, 24}};
    Indexed picture{16, 16, std::vector<Rgb8>(std::begin(colours), std::end(colours)), {}};
    picture.palette.resize(16, Rgb8{0, 0, 0});
    for (std::string_view row : kSmallIcon)
        for (char c : row) picture.pixels.push_back(static_cast<std::uint8_t>(kKeys.find(c)));
    return FromPicture(std::move(picture));
}

}  // namespace

std::vector<IconImage> MakeIcons() { return {PaintedIcon(32), PixelIcon()}; }

Image MakeDesktopIcon(int size) {
    if (size > 16) return PaintedImage(size);
    const IconImage icon = PixelIcon();  // placed by hand: painting cannot do better at 16
    Image image(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const Rgb8 c = icon.picture.ColourAt(x, y);
            if (!icon.transparent[static_cast<std::size_t>(y) * 16 + x])
                image.Set(x, y, {Rgb(c.r, c.g, c.b), 1});
        }
    return image;
}
