// How long a menu frame and a play frame take to compose (the scripted platform's present is a
// plain copy of the page, so this is the game's own cost), with 1, 16 and 256 targets.
#include <chrono>
#include <cstdio>

#include "app/app.h"
#include "game/frames.h"
#include "game/state.h"
#include "platform/scripted/scripted.h"

namespace {

double MicrosecondsPerFrame(int frames) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        scripted::world().clock += 16;
        scripted::world().pendingX += (i % 9) - 4;
        scripted::world().buttonDown = i % 8 < 4;
        RenderFrame();
        if (!playing) StartNewGame();
    }
    std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / frames;
}

}  // namespace

int main() {
    scripted::world().out = std::fopen("/dev/null", "w");
    HWND window = nullptr;
    HACCEL accelerators = nullptr;
    if (FAILED(CreateMainWindow(nullptr, SW_SHOWDEFAULT, &window, &accelerators)) ||
        FAILED(InitGame(window))) {
        std::fprintf(stderr, "bench-frames: the game did not start\n");
        return 1;
    }
    std::printf("menu frame: %.1f us\n", MicrosecondsPerFrame(2000));
    for (int targetCount : {1, 16, 256}) {
        StartNewGame();
        // Splats take points away while the targets come into use, one a step: keep the score up.
        for (int i = 0; i < 3000 && lastTargetIndex + 1 < targetCount; ++i) {
            score = 50 * (targetCount - 1) + 25;
            MicrosecondsPerFrame(1);
        }
        std::printf("play frame, %3d targets: %.1f us\n", lastTargetIndex + 1,
                    MicrosecondsPerFrame(2000));
    }
    return 0;
}
