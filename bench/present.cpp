// The cost of showing one frame at 1920x1080: the plain route (upload the game's page, one copy
// scaled to the 4:3 area, present) against the even-pixel routes of scaler.h: filtered on the
// CPU through 3 times the page (the game's choice where the renderer draws with the CPU) and
// through 2 times, and filtered in the renderer through a 3-times render target (the game's
// choice on a graphics card). Starts its own Xvfb (`Xvfb -displayfd N -noreset -screen 0
// 1920x1080x24 -nolisten tcp`), so nothing else draws there, and takes the renderer the game
// would take: accelerated if there is one (SDL_RENDER_DRIVER chooses another). CPU time is this
// process's (the renderer's threads included) and the X server's, per frame; the routes take
// turns, the middle of five rounds counts. A last route only uploads a ready picture of the
// area's size and copies it one to one: the least any CPU-filtered route can cost.
#include <SDL.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/scaler.h"

extern char** environ;

namespace {

constexpr int kPageWidth = SCREEN_WIDTH, kPageHeight = SCREEN_HEIGHT, kFrames = 100, kRounds = 5;

pid_t server = 0;

// Starts Xvfb on a free display and points DISPLAY at it.
bool StartServer() {
    int fds[2];
    if (pipe(fds) != 0) return false;
    std::string fd = std::to_string(fds[1]);
    // -noreset: the server stays as it is between clients instead of resetting when the last
    // one leaves, which a client connecting meanwhile would find as no display at all.
    const char* argv[] = {"Xvfb", "-displayfd",   fd.c_str(), "-noreset", "-screen",
                          "0",    "1920x1080x24", "-nolisten", "tcp",      nullptr};
    if (posix_spawnp(&server, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return false;
    close(fds[1]);
    // The display number and a newline, once the server takes connections.
    std::string display = ":";
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') display += c;
    close(fds[0]);
    if (c != '\n' || display.size() < 2) return false;
    setenv("DISPLAY", display.c_str(), 1);
    return true;
}

double Seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The X server's CPU seconds so far (user and system).
double ServerSeconds() {
    std::string path = "/proc/" + std::to_string(server) + "/stat";
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return 0;
    char text[1024] = {};
    std::size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[length] = 0;
    const char* fields = std::strrchr(text, ')');  // after the command name
    unsigned long user = 0, system = 0;
    if (!fields || std::sscanf(fields + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
                               &user, &system) != 2)
        return 0;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Cost {
    double ownMs = 0, serverMs = 0, wallMs = 0;
};

}  // namespace

int main() {
    if (!StartServer()) {
        std::fprintf(stderr, "bench-present: can't start Xvfb (Debian's xvfb package)\n");
        return 1;
    }
    int code = 1;
    if (SDL_Init(SDL_INIT_VIDEO) == 0) {
        SDL_Window* window = SDL_CreateWindow(
            "bench", 0, 0, 1920, 1080, SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP);
        // As the game does, without waiting for a refresh (Xvfb has none).
        SDL_Renderer* renderer =
            window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
        if (!renderer && window) renderer = SDL_CreateRenderer(window, -1, 0);
        SDL_Texture* page =
            renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565,
                                         SDL_TEXTUREACCESS_STREAMING, kPageWidth, kPageHeight)
                     : nullptr;
        if (page) {
            SDL_SetTextureScaleMode(page, SDL_ScaleModeNearest);
            SDL_RendererInfo info{};
            SDL_GetRendererInfo(renderer, &info);
            int width = 0, height = 0;
            SDL_GetRendererOutputSize(renderer, &width, &height);
            sdl::PageScaler game;
            game.Open(renderer, kPageWidth, kPageHeight);
            std::printf(
                "present at %dx%d on Xvfb %s, renderer %s (the game filters %s), %d "
                "frames a round\n",
                width, height, std::getenv("DISPLAY"), info.name,
                game.FiltersOnCpu() ? "on the CPU" : "in the renderer", kFrames);
            game.Release();
            // A page that changes every frame, as the game's do.
            std::vector<std::uint16_t> pixels(kPageWidth * kPageHeight);
            std::uint32_t seed = 1;
            for (auto& pixel : pixels)
                pixel = static_cast<std::uint16_t>((seed = seed * 214013 + 2531011) >> 16);
            SDL_Rect area = sdl::LayOutPage(width, height, kPageWidth, kPageHeight, false).area;
            using Filtering = sdl::PageScaler::Filtering;
            std::array<sdl::PageScaler, 3> scalers{sdl::PageScaler(true, Filtering::OnCpu),
                                                   sdl::PageScaler(false, Filtering::OnCpu),
                                                   sdl::PageScaler(true, Filtering::InRenderer)};
            for (auto& scaler : scalers) scaler.Open(renderer, kPageWidth, kPageHeight);
            const char* names[] = {"plain one-texture route", "even, on the CPU, 3x",
                                   "even, on the CPU, 2x", "even, in the renderer, 3x",
                                   "floor: area-sized upload only"};
            std::array<std::vector<Cost>, 5> costs;
            // What any route that uploads a picture of the area's size pays at least.
            SDL_Texture* whole = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888,
                                                   SDL_TEXTUREACCESS_STREAMING, area.w, area.h);
            SDL_SetTextureBlendMode(whole, SDL_BLENDMODE_NONE);
            std::vector<std::uint32_t> wholePixels(static_cast<std::size_t>(area.w) * area.h);
            for (int round = -1; round < kRounds; ++round) {  // round -1 warms up
                for (int route = 0; route < 5; ++route) {
                    double own = Seconds(CLOCK_PROCESS_CPUTIME_ID), wall = Seconds(CLOCK_MONOTONIC);
                    double served = ServerSeconds();
                    for (int frame = 0; frame < kFrames; ++frame) {
                        pixels[static_cast<std::size_t>(frame) * 7 % pixels.size()] ^= 0xFFFF;
                        if (route == 0) {
                            SDL_UpdateTexture(page, nullptr, pixels.data(), kPageWidth * 2);
                            SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
                            SDL_RenderClear(renderer);
                            SDL_RenderCopy(renderer, page, nullptr, &area);
                        } else if (route == 4) {
                            wholePixels[static_cast<std::size_t>(frame)] ^= 0xFFFFFF;
                            SDL_UpdateTexture(whole, nullptr, wholePixels.data(), area.w * 4);
                            SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
                            SDL_RenderClear(renderer);
                            SDL_RenderCopy(renderer, whole, nullptr, &area);
                        } else {
                            scalers[static_cast<std::size_t>(route - 1)].Draw(pixels.data());
                        }
                        SDL_RenderPresent(renderer);
                    }
                    if (round < 0) continue;
                    Cost cost;
                    cost.ownMs = (Seconds(CLOCK_PROCESS_CPUTIME_ID) - own) * 1000 / kFrames;
                    cost.serverMs = (ServerSeconds() - served) * 1000 / kFrames;
                    cost.wallMs = (Seconds(CLOCK_MONOTONIC) - wall) * 1000 / kFrames;
                    costs[static_cast<std::size_t>(route)].push_back(cost);
                }
            }
            auto middle = [](std::vector<Cost> v, double Cost::*field) {
                std::sort(v.begin(), v.end(),
                          [field](const Cost& a, const Cost& b) { return a.*field < b.*field; });
                return v[v.size() / 2].*field;
            };
            double plain = middle(costs[0], &Cost::ownMs) + middle(costs[0], &Cost::serverMs);
            std::printf("%-30s %10s %10s %10s %8s\n", "ms a frame", "game CPU", "X CPU", "both",
                        "wall");
            for (std::size_t route = 0; route < 5; ++route) {
                double own = middle(costs[route], &Cost::ownMs);
                double served = middle(costs[route], &Cost::serverMs);
                std::printf("%-30s %10.3f %10.3f %10.3f %8.3f  %.2fx plain\n", names[route], own,
                            served, own + served, middle(costs[route], &Cost::wallMs),
                            (own + served) / plain);
            }
            for (auto& scaler : scalers) scaler.Release();
            code = 0;
        } else {
            std::fprintf(stderr, "bench-present: no window or renderer: %s\n", SDL_GetError());
        }
        SDL_Quit();
    }
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    return code;
}
