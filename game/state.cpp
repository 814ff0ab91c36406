// The game variables and the best-score file.
#include "game/state.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "game/random.h"
#include "platform/bytes.h"
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

namespace {

// Plain system calls rather than stdio: a game that ends inside a frame reads and writes the
// file there, and frames allocate nothing.

// Reads up to 4 bytes from the start of the file; creates an empty file when there is none.
std::int32_t ReadBestScore() {
    std::uint8_t bytes[4] = {};
    int file = open(BEST_SCORE_FILE, O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (file >= 0) {
        for (std::size_t got = 0; got < sizeof bytes;) {
            ssize_t n = read(file, bytes + got, sizeof bytes - got);
            if (n <= 0) break;  // bytes not delivered stay 0
            got += static_cast<std::size_t>(n);
        }
        close(file);
    }
    return static_cast<std::int32_t>(ReadLe(bytes, 4));
}

// Replaces the file with exactly these 4 bytes. The bytes go to a new file that is renamed
// over the old one, so a crash or a full disk never leaves the file empty or half-written:
// it holds either the old value or the new one.
void WriteBestScore(std::int32_t value) {
    std::uint32_t v = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                                   std::uint8_t(v >> 24)};
    static constexpr const char* kNewFile = "QUENDRA.DAT.new";
    int file = open(kNewFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) return;
    bool written = write(file, bytes, sizeof bytes) == static_cast<ssize_t>(sizeof bytes);
    written = fsync(file) == 0 && written;
    written = close(file) == 0 && written;
    if (!written || std::rename(kNewFile, BEST_SCORE_FILE) != 0) std::remove(kNewFile);
}

}  // namespace

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
}
