// The program icon: the creature's face at 32 by 32 (painted like the sprites, with fewer and
// bolder horns) and at 16 by 16 (placed pixel by pixel), 16 colours each.
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

IconImage PaintedIcon(int size) {
    Image image(size, size);
    TargetLook look = TargetInCell(45, 3);
    look.radius = size / 2.0f - 0.5f;
    look.outline = 1.0f;
    look.eyeScale = 1.35f;
    look.halo = 0;
    look.spikes = 8;
    look.body = 0.62f;
    look.glints = false;
    PaintTarget(image, size / 2.0f, size / 2.0f, look, 6);
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
