// The page with even pixels, drawn by the scaler through SDL's software renderer (the CPU route)
// on outputs of several sizes in turn, against the picture's definition (even_reference.h).
#include "platform/sdl/scaler.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/platform.h"
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

    struct Case {
        int width, height;
        SDL_Rect area;
        int multiple;  // 0: a whole-number scale
    };
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

}  // namespace
