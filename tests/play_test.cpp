// The play frame's rules and pixels, and the menu frame's pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "app/app.h"
#include "app/state_line.h"
#include "game/assets.h"
#include "game/frames.h"
#include "game/random.h"
#include "game/state.h"
#include "platform/resource.h"
#include "tests/test_support.h"

namespace {

using Place = std::tuple<int, int, int>;  // x, y, frame
Place PlaceOf(const Target& t) { return {t.x, t.y, t.frame}; }

constexpr std::uint32_t kSeed = 20240607;

// The next new position the game's own generator gives (x first, then y).
Place NextPlace() {
    int x = NextRandom() % 482;
    return {x, NextRandom() % 322, 0};
}

// Ten digits of `value` at (left + 19, y) onwards.
void PutDigits(Page& page, const Art& sprites, int left, int y, int value) {
    for (int p = 10; p >= 1; --p, value /= 10)
        Put(page, sprites, left + 19 * p, y, 375 + 19 * (value % 10), 328, 19, 23);
}

// The frame the rules call for, given the targets as the drawing pass meets them.
Page ExpectedPage(const std::vector<Target>& pass, int score, int cursorX, int cursorY) {
    static const Art background = LoadArt(IDB_BACKGROUND, -1);
    static const Art crosshair = LoadArt(IDB_CROSSHAIR, 0);
    static const Art sprites = LoadArt(IDB_SPRITES, ColorToPixel(0xFFFFFF));
    static const Art splat = LoadArt(IDB_SPLAT, 0), explosion = LoadArt(IDB_EXPLOSION, 0);
    static const int size[] = {45, 75, 125, 158}, left[] = {375, 0, 0, 0};
    static const int top[] = {283, 283, 158, 0}, offset[] = {57, 42, 17, 0};
    Page page = background.pixels;
    for (const Target& t : pass) {
        const int f = t.frame, r = f / 5;
        if (f < 20)
            Put(page, sprites, t.x + offset[r], t.y + offset[r], left[r] + size[r] * (f % 5),
                top[r], size[r], size[r]);
        else if (f <= 34)
            Put(page, splat, t.x + 16, t.y + 16, 0, 0, 126, 126), score -= f == 20;
        else if (f == 36)
            ++score;
        else if (f >= 37)
            Put(page, explosion, t.x + 15, t.y + 15, 128 * std::min(f - 36, 7), 0, 128, 128);
    }
    PutDigits(page, sprites, 349, 0, std::max(score, 0));  // below 0: ten zeros
    Put(page, crosshair, cursorX - 32, cursorY - 32, 0, 0, 64, 64);
    return page;
}

class PlayFrameTest : public ProgramTest {
protected:
    PlayFrameTest() : ProgramTest(kStarted) {}
    void SetUp() override {
        ProgramTest::SetUp();
        StartNewGame();
        SeedRandom(kSeed);
    }

    // Frames with exactly one 75 ms step, with none, and with none but a shot.
    static void StepFrame() { stepTime = 0, PlayFrame(76); }
    static void QuietFrame() { stepTime = 0, PlayFrame(1); }
    static void ShotFrame() { buttonLatch = 1, scripted::world().buttonDown = false, QuietFrame(); }
};

TEST_F(PlayFrameTest, CrosshairCentreStaysWithinItsLimits) {
    struct Case { std::int64_t dx, dy; int x, y; };
    const Case cases[] = {{-299, 0, 32, 239},   {381, 0, 608, 239},   {0, -219, 319, 32},
                          {0, 461, 319, 448},   {-287, -207, 32, 32}, {289, 209, 608, 448},
                          {5, -3, 324, 236},    {-5000000000, 5000000000, 32, 448}};
    for (const Case& c : cases) {
        cursorX = 319, cursorY = 239;
        scripted::world().pendingX = c.dx, scripted::world().pendingY = c.dy;
        QuietFrame();
        scripted::world().pendingX = scripted::world().pendingY = 0;
        EXPECT_EQ(std::make_pair(cursorX, cursorY), std::make_pair(c.x, c.y)) << c.dx;
    }
    scripted::world().pendingX = 10;  // from the edge, 10 counts move 10 pixels
    QuietFrame();
    EXPECT_EQ(cursorX, 42);
}

TEST_F(PlayFrameTest, NewGameKeepsCrosshairLatchAndStepTimeSoAHeldButtonFiresInIt) {
    cursorX = 399, cursorY = 319;
    scripted::world().buttonDown = true;
    QuietFrame();
    stepTime = 40;
    targets[7] = Target{1, 2, 3};
    EndGame();
    StartNewGame();
    EXPECT_EQ(std::make_tuple(cursorX, cursorY, buttonLatch, stepTime),
              std::make_tuple(399, 319, std::uint8_t{1}, 40u));
    EXPECT_EQ(PlaceOf(targets[7]), Place(1, 2, 3));

    scripted::world().buttonDown = false;
    PlayFrame(1);
    EXPECT_EQ(targets[0].frame, FRAME_HIT);
    EXPECT_EQ(stepTime, 41u);
}

TEST_F(PlayFrameTest, StepNeedsMoreThan75msAndCatchesUpOneStepPerFrame) {
    const std::tuple<std::uint32_t, std::uint32_t, int> frames[] = {
        {75, 75, 0}, {1, 1, 1}, {400, 326, 2}, {1, 252, 3}, {1, 178, 4}, {1, 104, 5}, {1, 30, 6},
        {1, 31, 6}};
    for (const auto& [elapsed, time, frame] : frames) {
        PlayFrame(elapsed);
        EXPECT_EQ(stepTime, time);
        EXPECT_EQ(targets[0].frame, frame);
    }
}

TEST_F(PlayFrameTest, EveryFiftyPointsBringOneMoreTargetAtTheNextStep) {
    score = 49;
    StepFrame();
    score = 50;
    QuietFrame();
    EXPECT_EQ(lastTargetIndex, 0);
    StepFrame();
    ASSERT_EQ(lastTargetIndex, 1);
    EXPECT_EQ(targets[0].frame, 2);

    score = 49;  // never shrinks
    StepFrame();
    EXPECT_EQ(lastTargetIndex, 1);
    score = 200;  // three more wanted: one per step
    for (int expected : {2, 3, 4, 4}) {
        StepFrame();
        EXPECT_EQ(lastTargetIndex, expected);
    }
}

class HitAreaTest : public PlayFrameTest, public ::testing::WithParamInterface<int> {};

// The crosshair's centre must lie on the picture as drawn: its edges on both axes, and outside.
TEST_P(HitAreaTest, CrosshairCentreMustLieOnTheDrawnPicture) {
    const int frame = GetParam(), group = frame / 5;
    const int size = std::array{45, 75, 125, 158}[group], at = std::array{57, 42, 17, 0}[group];
    const int in = at + size / 2;
    for (auto [d, hit] : {std::pair{at - 20, false}, {at - 1, false}, {at, true}, {in, true},
                          {at + size - 1, true}, {at + size, false}, {at + size + 19, false}})
        for (bool across : {false, true}) {
            targets[0] = Target{100, 100, static_cast<std::uint16_t>(frame)};
            cursorX = 100 + (across ? in : d), cursorY = 100 + (across ? d : in);
            ShotFrame();
            EXPECT_EQ(targets[0].frame, hit ? FRAME_HIT : frame) << "cursor at " << cursorX - 100
                                                                 << ", " << cursorY - 100;
        }
}

INSTANTIATE_TEST_SUITE_P(EachSize, HitAreaTest, ::testing::Values(0, 4, 5, 9, 10, 14, 15, 19));

TEST_F(PlayFrameTest, OneShotHitsEveryTargetUnderItAndEachScoresNextFrame) {
    lastTargetIndex = 2;
    targets[0] = Target{100, 100, 0};
    targets[1] = Target{110, 110, 19};  // its last growing frame: it won't splat
    targets[2] = Target{300, 300, 0};
    cursorX = 180, cursorY = 180;
    ShotFrame();
    EXPECT_EQ(std::make_tuple(targets[0].frame, targets[1].frame, targets[2].frame, score),
              std::make_tuple(FRAME_HIT, FRAME_HIT, std::uint16_t{0}, 3));
    EXPECT_EQ(Output(), "sound stop shot\nsound play shot\n");

    StepFrame();  // a step between hit and scoring changes nothing
    EXPECT_EQ(std::make_tuple(targets[0].frame, targets[1].frame, score, runBest),
              std::make_tuple(std::uint16_t{37}, std::uint16_t{37}, 5, 5));
    EXPECT_EQ(Output(), "sound play die\nsound play die\n");
}

// The first splat ends the game, and the pass goes on: scoring, a second splat (score -1, drawn
// as ten zeros), growth, and the frame shown.
TEST_F(PlayFrameTest, GameEndsInsideThePassAndTheFrameIsStillFinished) {
    score = 1;
    lastTargetIndex = 4;
    targets[0] = Target{0, 0, 19};
    targets[1] = Target{300, 0, 36};
    targets[2] = Target{0, 300, 19};
    targets[3] = Target{100, 100, 19};
    targets[4] = Target{300, 300, 3};
    cursorX = 380, cursorY = 32;  // over the score
    const std::uint32_t presented = scripted::world().framesPresented;
    StepFrame();
    char line[8192];
    FormatState(line, sizeof line, 0);
    EXPECT_EQ(playing, 0);
    EXPECT_NE(std::string(line).find(" score=-1 "), std::string::npos) << line;
    EXPECT_EQ(Output(), "sound play splat\nsound play die\nsound play splat\nsound play splat\n");
    EXPECT_EQ(scripted::world().framesPresented, presented + 1);
    ExpectPresented(ExpectedPage(
        {{0, 0, 20}, {300, 0, 36}, {0, 300, 20}, {100, 100, 20}, {300, 300, 4}}, 1, 380, 32));
}

TEST_F(PlayFrameTest, RandomNumbersGoToTheNewTargetFirstThenToRespawnsByIndex) {
    score = 100;
    lastTargetIndex = 1;
    targets[0] = Target{5, 5, FRAME_RESPAWN};
    targets[1] = Target{6, 6, FRAME_RESPAWN};
    StepFrame();
    ASSERT_EQ(lastTargetIndex, 2);
    const int after = NextRandom();
    SeedRandom(kSeed);
    for (int i : {2, 0, 1}) EXPECT_EQ(PlaceOf(targets[i]), NextPlace()) << i;
    EXPECT_EQ(NextRandom(), after);  // and nothing else was drawn
}

// With all 256 targets in play, enough points for a 257th bring none.
TEST_F(PlayFrameTest, AllTwoHundredFiftySixTargetsAreVisitedOnceAndNoMoreCome) {
    lastTargetIndex = 255;
    std::fill(std::begin(targets), std::end(targets), Target{0, 0, FRAME_HIT});
    score = 50 * 300;
    StepFrame();
    EXPECT_EQ(lastTargetIndex, 255);
    EXPECT_EQ(score, 50 * 300 + 256);
    EXPECT_TRUE(std::all_of(std::begin(targets), std::end(targets),
                            [](const Target& t) { return t.frame == 37; }));
    std::string all;
    for (int i = 0; i < 256; ++i) all += "sound play die\n";
    EXPECT_EQ(Output(), all);
}

// Each frame number shows its own picture at its own place; score and crosshair come last.
TEST_F(PlayFrameTest, FrameShowsEachTargetsPictureThenScoreThenCrosshair) {
    for (const std::vector<int>& frames : {std::vector{0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
                                           std::vector{10, 11, 12, 13, 14, 15, 16, 17, 18, 19},
                                           std::vector{20, 21, 27, 34, 35, 36},
                                           std::vector{37, 38, 39, 40, 41, 42, 43, 44}}) {
        std::vector<Target> pass;
        for (int frame : frames) {
            const int i = static_cast<int>(pass.size());
            pass.push_back(targets[i] = Target{std::uint16_t(i * 97 % 482),
                                               std::uint16_t(i * 61 % 322), std::uint16_t(frame)});
        }
        lastTargetIndex = static_cast<std::uint8_t>(pass.size() - 1);
        score = 1234567;
        cursorX = 380, cursorY = 32;  // over the score
        QuietFrame();
        ExpectPresented(ExpectedPage(pass, 1234567, 380, 32));
    }
}

// The menu: its panel, the highlighted entry, and the best score in ten digits.
TEST_F(PlayFrameTest, MenuPanelHighlightedEntryAndTenDigits) {
    for (auto [best, selection] : {std::pair{0, 0}, {42, 1}, {2147483647, 2}}) {
        bestScore = best;
        menuSelection = static_cast<std::uint8_t>(selection);
        ASSERT_EQ(MenuFrame(), S_OK);
        Page expected(SCREEN_WIDTH * SCREEN_HEIGHT, 0);
        Put(expected, LoadArt(IDB_MENUPANEL, -1), 159, 149, 0, 0, 320, 180);
        const int band = 23 * selection;  // rows band to band + 22, at y 226 + band
        Put(expected, LoadArt(IDB_MENUITEMS, -1), 308, 226 + band, 0, band, 160, 23);
        PutDigits(expected, LoadArt(IDB_SPRITES, ColorToPixel(0xFFFFFF)), 269, 306, best);
        ExpectPresented(expected);
    }
}

}  // namespace
