// The game variables, and the moves between the menu and a game (they keep the best score).
#include "game/state.h"

#include "game/best_score.h"
#include "platform/best_score_file.h"
#include "game/random.h"
#include "platform/window.h"

namespace {
constexpr std::int32_t kStartX = 319, kStartY = 239;  // the crosshair starts at the centre
}  // namespace

std::int32_t cursorX = kStartX;
std::int32_t cursorY = kStartY;
std::int32_t score = 0;
std::uint8_t lastTargetIndex = 0;
std::int32_t bestScore = 0;
Target targets[MAX_TARGETS] = {};
std::uint32_t lastFrameTime = 0;
Screen* screen = nullptr;
std::uint32_t windowActive = 0;
std::uint32_t stepTime = 0;
std::uint8_t buttonLatch = 0;
std::int32_t runBest = 0;
std::uint8_t playing = 0;
std::uint8_t menuSelection = 0;

Picture* backgroundPicture = nullptr;
Picture* spritesPicture = nullptr;
Picture* explosionPicture = nullptr;
Picture* loadingPicture = nullptr;
Picture* menuPanelPicture = nullptr;
Picture* menuItemsPicture = nullptr;
Picture* splatPicture = nullptr;
Picture* crosshairPicture = nullptr;

AudioManager* audioManager = nullptr;
SoundSegment* shotSound = nullptr;
SoundSegment* dieSound = nullptr;
SoundSegment* splatSound = nullptr;

void StartNewGame() {
    targets[0] = Target{320, 240, 0};
    lastTargetIndex = 0;
    score = 3;
    runBest = 3;
    playing = 1;
    lastFrameTime = timeGetTime();
}

void EndGame() {
    std::int32_t stored = ReadBestScore();
    std::int32_t shown = stored;
    if (runBest > stored) {
        WriteBestScore(runBest);
        shown = runBest;
    }
    playing = 0;
    menuSelection = MENU_START;
    bestScore = shown;
}

void ResetBestScore() {
    WriteBestScore(0);
    runBest = 0;
    EndGame();
}

void ResetGameState() {
    cursorX = kStartX;
    cursorY = kStartY;
    score = 0;
    lastTargetIndex = 0;
    bestScore = 0;
    for (Target& target : targets) target = Target{};
    lastFrameTime = 0;
    windowActive = 0;
    stepTime = 0;
    buttonLatch = 0;
    runBest = 0;
    playing = 0;
    menuSelection = MENU_START;
    SeedRandom(UNSEEDED);
    SetBestScorePath(BEST_SCORE_FILE);
}
