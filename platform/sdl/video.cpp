// The desktop display: the game's page scaled to the largest 4:3 area of the screen, with
// black bars and even, crisp pixels (scaler.h), shown at the display's refresh rate.
#include <cstdio>

#include "platform/platform.h"
#include "platform/sdl/scaler.h"
#include "platform/sdl/sdl.h"

namespace {

SDL_Renderer* renderer = nullptr;
sdl::PageScaler scaler;
int pageWidth = 0, pageHeight = 0;
bool deviceLost = false;
bool vsync = false;
Uint64 frameTicks = 0;   // performance-counter ticks a refresh, when pacing by hand
Uint64 lastPresent = 0;

// Without vsync the loop would render as fast as it can; hold it to the refresh rate instead.
// Some drivers claim vsync and don't wait, so it is held back then too, but only to 3/4 of a
// refresh, which a present that really waits for the display never trips over.
void Pace() {
    if (frameTicks == 0) return;
    Uint64 interval = vsync ? frameTicks * 3 / 4 : frameTicks;
    Uint64 now = SDL_GetPerformanceCounter();
    Uint64 due = lastPresent + interval;
    if (now < due) {
        // Whole milliseconds only: a frame a fraction early does no harm, spinning would.
        Uint32 ms = static_cast<Uint32>((due - now) * 1000 / SDL_GetPerformanceFrequency());
        if (ms > 0) SDL_Delay(ms);
        now = SDL_GetPerformanceCounter();
    }
    // Late frames don't bank time for a burst of early ones.
    lastPresent = (now - lastPresent > 2 * interval) ? now : due;
}

}  // namespace

namespace sdl {

void OnRenderDeviceReset() {
    deviceLost = true;
    scaler.Invalidate();
}

void OnRenderTargetsReset() { scaler.Invalidate(); }

}  // namespace sdl

namespace vid {

HRESULT Open(std::uint32_t width, std::uint32_t height, std::uint32_t bits) {
    if (bits != SCREEN_BITS || !sdl::window) return DDERR_INVALIDMODE;  // pages are RGB565 only
    renderer = SDL_CreateRenderer(sdl::window, -1,
                                  SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!renderer) renderer = SDL_CreateRenderer(sdl::window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!renderer) renderer = SDL_CreateRenderer(sdl::window, -1, 0);
    if (!renderer) {
        std::fprintf(stderr, "quendra: no renderer for the window: %s\n", SDL_GetError());
        return DDERR_INVALIDMODE;
    }
    sdl::ApplyCursor();  // an OpenGL renderer makes the window anew, with the desktop's arrow
    pageWidth = static_cast<int>(width);
    pageHeight = static_cast<int>(height);
    if (!scaler.Open(renderer, pageWidth, pageHeight)) {
        std::fprintf(stderr, "quendra: no %ux%u page: %s\n", width, height, SDL_GetError());
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
        return DDERR_INVALIDMODE;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    const char* driver = SDL_GetCurrentVideoDriver();
    bool drawsOnScreen = driver && SDL_strcmp(driver, "dummy") != 0 &&
                         SDL_strcmp(driver, "offscreen") != 0 &&
                         SDL_strcmp(info.name, "software") != 0;
    vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) && drawsOnScreen;
    SDL_DisplayMode mode{};
    int refresh = 60;
    if (SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(sdl::window), &mode) == 0 &&
        mode.refresh_rate > 0)
        refresh = mode.refresh_rate;
    frameTicks = SDL_GetPerformanceFrequency() / static_cast<Uint64>(refresh);
    lastPresent = SDL_GetPerformanceCounter();
    deviceLost = false;
    return S_OK;
}

HRESULT Present(const std::uint16_t* pixels) {
    if (!renderer) return DDERR_SURFACELOST;
    if (deviceLost) return DDERR_SURFACELOST;
    // A drawing step that fails leaves a black or partly drawn frame, as a refused copy would;
    // only a lost device ends the game.
    scaler.Draw(pixels);
    SDL_RenderPresent(renderer);
    Pace();
    return S_OK;
}

HRESULT Restore() {
    if (!deviceLost) return S_OK;
    if (!scaler.Open(renderer, pageWidth, pageHeight)) return DDERR_SURFACELOST;
    deviceLost = false;
    return S_OK;
}

void Close() {
    scaler.Release();
    if (renderer) SDL_DestroyRenderer(renderer);
    renderer = nullptr;
}

}  // namespace vid
