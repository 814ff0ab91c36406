// The scaler against even_reference.h on several output sizes, and its rounding on its own.
#include "platform/sdl/scaler.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/scaler_math.h"
#include "tests/even_reference.h"

namespace {

constexpr int kPageW = SCREEN_WIDTH, kPageH = SCREEN_HEIGHT;

TEST(Scaler, EveryOutputSizeShowsThePageWithEvenPixelsAndBlackBars) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("scaler", 0, 0, 1920, 1080, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    sdl::PageScaler scaler;
    ASSERT_TRUE(scaler.Open(renderer, kPageW, kPageH));
    EXPECT_TRUE(scaler.FiltersOnCpu());

    // Every pixel unlike its neighbours: each blend shows.
    std::vector<std::uint16_t> pixels(kPageW * kPageH);
    std::uint32_t seed = 7;
    for (auto& pixel : pixels)
        pixel = static_cast<std::uint16_t>((seed = seed * 214013 + 2531011) >> 16);
    auto page = [&pixels](int x, int y) { return Widened(pixels[std::size_t(y) * kPageW + x]); };

    struct Case { int width, height; SDL_Rect area; int multiple; };  // multiple 0: whole scale
    // 2.25, 1.6 (odd bars), 1.458, 1.25, a whole 2 (bars above and below), 3.33, and back.
    for (Case c :
         {Case{1920, 1080, {240, 0, 1440, 1080}, 3}, Case{1366, 768, {171, 0, 1024, 768}, 2},
          Case{1000, 700, {33, 0, 933, 700}, 2}, Case{800, 600, {0, 0, 800, 600}, 2},
          Case{1280, 1024, {0, 32, 1280, 960}, 0}, Case{2560, 1600, {213, 0, 2133, 1600}, 4},
          Case{1920, 1080, {240, 0, 1440, 1080}, 3}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        SDL_SetWindowSize(window, c.width, c.height);
        ASSERT_TRUE(scaler.Draw(pixels.data()));
        const sdl::PageLayout& layout = scaler.Layout();
        ASSERT_EQ(layout.multiple, c.multiple);
        ASSERT_TRUE(SDL_RectEquals(&layout.area, &c.area));
        std::vector<std::uint32_t> shown(std::size_t(c.width) * c.height);
        ASSERT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, shown.data(),
                                       c.width * 4),
                  0)
            << SDL_GetError();
        int multiple = c.multiple ? c.multiple : c.area.w / kPageW;
        int wrong = 0, worst = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                SDL_Point at{x, y};
                Color expected{};
                if (SDL_PointInRect(&at, &c.area))
                    expected = EvenReference(page, kPageW, kPageH, multiple, c.area.w, c.area.h,
                                             x - c.area.x, y - c.area.y);
                std::uint32_t got = shown[std::size_t(y) * c.width + x];
                int off = 0;
                for (int k = 0; k < 3; ++k)
                    off = std::max(off,
                                   std::abs(int((got >> (16 - 8 * k)) & 0xFF) - int(expected[k])));
                worst = std::max(worst, off);
                // Rounding of the weights; at a whole scale SDL widens 16 to 32 bits its own way.
                wrong += off > (c.multiple ? 2 : 1);
            }
        EXPECT_EQ(wrong, 0) << "pixels differ, by up to " << worst;
    }
    scaler.Release();
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// Columns and rows of the page on the outputs of the scaler test, through each multiple.
// A whole picture's tolerance would hide a rounding once too low: each weight and blend alone.
TEST(ScalerMath, EachWeightIsTheNearest256thOfTheSample) {
    struct Line { int length, pageLength, multiple; };
    for (Line line : {Line{1440, 640, 3}, Line{1080, 480, 3}, Line{1024, 640, 2},
                      Line{933, 640, 2}, Line{700, 480, 2}, Line{2133, 640, 4}}) {
        std::vector<sdl::Tap> taps;
        sdl::MakeTaps(line.length, line.pageLength, line.multiple, taps);
        ASSERT_EQ(taps.size(), std::size_t(line.length));
        int wrong = 0;
        for (int i = 0; i < line.length; ++i) {
            const Sample s = SampleAt(i, line.length, line.pageLength, line.multiple);
            const double wanted = s.second == s.first ? 0 : s.share;  // of the pixel after first
            const sdl::Tap tap = taps[std::size_t(i)];
            const double got = tap.from == s.first ? tap.weight / 256.0
                               : tap.from == s.first + 1 && tap.weight == 0 ? 1.0
                                                                           : -1.0;
            wrong += std::abs(got - wanted) * 256 > 0.5;
        }
        EXPECT_EQ(wrong, 0) << line.length << " from " << line.pageLength << ", multiple "
                            << line.multiple;
    }
}

std::uint32_t Pixel(int r, int g, int b) { return 0xFF000000u | r << 16 | g << 8 | b; }

// Every weight on 86 x 86 pairs in each byte's lane (Blend2's pixels swap roles, lane to lane).
TEST(ScalerMath, BlendsRoundEachChannelToTheNearest) {
    int wrong = 0;
    for (std::uint32_t w = 0; w <= 256; ++w)
        for (int i = 0; i < 256; i += 3)
            for (int j = 0; j < 256; j += 3) {
                const std::uint32_t a = Pixel(i, j, 255 - i), b = Pixel(j, 255 - j, i);
                auto mix = [w](std::uint32_t p, std::uint32_t q) {
                    std::uint32_t out = 0xFF000000;
                    for (int shift : {0, 8, 16}) {
                        double x = (p >> shift & 0xFF) * (256.0 - w) + (q >> shift & 0xFF) * w;
                        out |= static_cast<std::uint32_t>(std::round(x / 256)) << shift;
                    }
                    return out;
                };
                const std::uint64_t two = sdl::Blend2(a | std::uint64_t{b} << 32,
                                                      b | std::uint64_t{a} << 32, w);
                wrong += sdl::Blend(a, b, w) != mix(a, b) ||
                         two != (mix(a, b) | std::uint64_t{mix(b, a)} << 32);
            }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
