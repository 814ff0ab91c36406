// A fresh program for each test.
#include "tests/test_support.h"

#include "app/app.h"
#include "audio/audio.h"
#include "display/screen.h"
#include "game/random.h"
#include "game/state.h"
#include "input/mouse.h"

void ResetProgram() {
    FreeGame();
    scripted::Reset();
    scripted::world().out = stdout;
    cursorX = 319;
    cursorY = 239;
    score = 0;
    lastTargetIndex = 0;
    bestScore = 0;
    for (Target& target : targets) target = Target{0, 0, 0};
    lastFrameTime = 0;
    windowActive = 0;
    stepTime = 0;
    buttonLatch = 0;
    runBest = 0;
    playing = 0;
    menuSelection = 0;
    mouseState = MouseState{};
    SeedRandom(1);
}
