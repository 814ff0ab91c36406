// The play frame: every rule of the game, in one fixed order per frame.
#include <cstdint>

#include "audio/audio.h"
#include "display/screen.h"
#include "game/assets.h"
#include "game/frames.h"
#include "game/random.h"
#include "game/state.h"
#include "input/mouse.h"

namespace {

// The crosshair's centre stays where the whole crosshair is on the screen.
constexpr std::int32_t kCrosshairOffset = CROSSHAIR_SIZE / 2;
constexpr std::int32_t kCursorMin = kCrosshairOffset;
constexpr std::int32_t kCursorMaxX = SCREEN_WIDTH - kCrosshairOffset;
constexpr std::int32_t kCursorMaxY = SCREEN_HEIGHT - kCrosshairOffset;
// A new position is taken modulo these counts, so that a target's whole cell (its largest
// picture) lies on the screen.
constexpr int kPositionsX = SCREEN_WIDTH - LARGE_TARGETS.size;
constexpr int kPositionsY = SCREEN_HEIGHT - LARGE_TARGETS.size;
constexpr int kSplatOffset = 16, kExplosionOffset = 15;
constexpr std::uint32_t kScoreLeft = 349;

void PlaceAtRandom(Target& target) {
    target.x = static_cast<std::uint16_t>(NextRandom() % kPositionsX);
    target.y = static_cast<std::uint16_t>(NextRandom() % kPositionsY);
    target.frame = FRAME_FIRST_GROWING;
}

// The sum is taken in 64 bits, so that a huge movement can't wrap round to the other edge.
std::int32_t MoveWithin(std::int32_t position, std::int32_t movement, std::int32_t low,
                        std::int32_t high) {
    std::int64_t value = std::int64_t{position} + movement;
    if (value < low) return low;
    if (value > high) return high;
    return static_cast<std::int32_t>(value);
}

// Returns whether the frame fires a shot: the button first seen up after it was seen down.
bool ReadShot() {
    bool down = (mouseState.rgbButtons[0] & BUTTON_DOWN) != 0;
    if (down && !buttonLatch) {
        buttonLatch = 1;
    } else if (!down && buttonLatch) {
        buttonLatch = 0;
        if (shotSound) {
            shotSound->Stop(DMUS_SEGF_BEAT);
            shotSound->Play(DMUS_SEGF_SECONDARY);
        }
        return true;
    }
    return false;
}

// At most one step a frame; a longer frame's surplus is worked off one step a frame.
void Step(std::uint32_t elapsed) {
    stepTime += elapsed;
    if (stepTime <= STEP_MS) return;
    stepTime -= STEP_MS;
    for (int i = 0; i <= lastTargetIndex; ++i)
        if (targets[i].frame != FRAME_RESPAWN && targets[i].frame != FRAME_HIT) ++targets[i].frame;
    // One more target for every 50 points; the count can't go past the table's 256.
    if (score / POINTS_PER_TARGET > lastTargetIndex && lastTargetIndex < MAX_TARGETS - 1) {
        ++lastTargetIndex;
        PlaceAtRandom(targets[lastTargetIndex]);
    }
}

const SpriteRow& GrowingRow(std::uint16_t frame) {
    return *GROWING_ROWS[frame / PICTURES_PER_SIZE];
}

// A shot hits a target when the crosshair's centre, the point the player aims with, lies on the
// target's picture where it is drawn.
bool IsHit(const Target& target, const SpriteRow& row) {
    const std::int32_t left = target.x + row.offset, top = target.y + row.offset;
    return cursorX >= left && cursorX <= left + row.size - 1 && cursorY >= top &&
           cursorY <= top + row.size - 1;
}

void HandleTarget(Target& target, bool shot) {
    const std::uint32_t x = target.x, y = target.y;
    if (target.frame < FRAME_SPLATTING) {
        const SpriteRow& row = GrowingRow(target.frame);
        std::int32_t left = row.left + row.size * (target.frame % PICTURES_PER_SIZE);
        screen->DrawPicturePart(x + row.offset, y + row.offset, left, row.top, left + row.size,
                                row.top + row.size, spritesPicture);
        if (shot && IsHit(target, row)) target.frame = FRAME_HIT;
    } else if (target.frame == FRAME_SPLATTING) {
        screen->DrawPicture(x + kSplatOffset, y + kSplatOffset, splatPicture);
        if (splatSound) splatSound->Play(DMUS_SEGF_SECONDARY);
        target.frame = FRAME_SPLATTING + 1;
        --score;
        if (score == 0) EndGame();
    } else if (target.frame <= FRAME_LAST_SPLAT) {
        screen->DrawPicture(x + kSplatOffset, y + kSplatOffset, splatPicture);
    } else if (target.frame == FRAME_RESPAWN) {
        PlaceAtRandom(target);
    } else if (target.frame == FRAME_HIT) {
        if (dieSound) dieSound->Play(DMUS_SEGF_SECONDARY);
        target.frame = FRAME_HIT + 1;
        ++score;
        if (score > runBest) runBest = score;
    } else {
        // Explosion cells 1 to 7, then cell 7 once more before the respawn.
        std::int32_t cell =
            target.frame == FRAME_LAST_EXPLOSION ? EXPLOSION_LAST_CELL : target.frame - FRAME_HIT;
        std::int32_t left = EXPLOSION_CELL * cell;
        screen->DrawPicturePart(x + kExplosionOffset, y + kExplosionOffset, left, 0,
                                left + EXPLOSION_CELL, EXPLOSION_CELL, explosionPicture);
        if (target.frame == FRAME_LAST_EXPLOSION) target.frame = FRAME_RESPAWN;
    }
}

}  // namespace

HRESULT DrawDigits(std::uint32_t left, std::uint32_t y, std::int32_t value) {
    for (int p = DIGIT_COUNT; p != 0; --p) {
        std::int32_t d = value % 10;
        std::int32_t from = DIGIT_LEFT + DIGIT_WIDTH * d;
        HRESULT r = screen->DrawPicturePart(left + DIGIT_WIDTH * static_cast<std::uint32_t>(p), y,
                                            from, DIGIT_TOP, from + DIGIT_WIDTH,
                                            DIGIT_TOP + DIGIT_HEIGHT, spritesPicture);
        if (FAILED(r)) return r;
        value /= 10;
    }
    return S_OK;
}

void DrawScore() {
    // A score below 0 comes only from a second splat in the pass whose first splat ended the
    // game, so it lasts that one frame; the sheet has no minus sign, and it is drawn as 0.
    DrawDigits(kScoreLeft, 0, score < 0 ? 0 : score);
}

HRESULT PlayFrame(std::uint32_t elapsed) {
    ReadMouse();
    cursorX = MoveWithin(cursorX, mouseState.lX, kCursorMin, kCursorMaxX);
    cursorY = MoveWithin(cursorY, mouseState.lY, kCursorMin, kCursorMaxY);
    bool shot = ReadShot();
    Step(elapsed);

    screen->DrawPicture(0, 0, backgroundPicture);
    for (int i = 0; i <= lastTargetIndex; ++i) HandleTarget(targets[i], shot);
    DrawScore();
    screen->DrawPicture(static_cast<std::uint32_t>(cursorX - kCrosshairOffset),
                        static_cast<std::uint32_t>(cursorY - kCrosshairOffset), crosshairPicture);

    HRESULT r = screen->ShowFrame();
    return FAILED(r) ? r : S_OK;
}
