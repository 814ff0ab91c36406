// The window procedure, the keyboard commands, RenderFrame, and how the program starts and ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>

#include "app/app.h"
#include "audio/audio.h"
#include "display/screen.h"
#include "game/assets.h"
#include "game/state.h"
#include "input/mouse.h"
#include "replay/runner.h"
#include "tests/test_support.h"

namespace {

// Takes every waiting message, the quit message included; returns the first one's number.
UINT Drain() {
    UINT first = 0;
    for (MSG message; MessageWaiting();)
        if (GetMessage(&message), !first) first = message.message;
    return first;
}

class ShellTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Open(false);
    }
};

TEST_F(ShellTest, EachCommandInEachState) {
    struct Case {
        const char* what;
        std::uint8_t playing, selection;
        std::uint16_t command;
        std::uint8_t playingAfter, selectionAfter;
        UINT posted;
    };
    const Case cases[] = {
        {"up on the first entry", 0, 0, ID_UP, 0, 0, 0},
        {"up", 0, 2, ID_UP, 0, 1, 0},
        {"down on the last entry", 0, 2, ID_DOWN, 0, 2, 0},
        {"down", 0, 0, ID_DOWN, 0, 1, 0},
        {"down in a game", 1, 0, ID_DOWN, 1, 1, 0},
        {"up in a game", 1, 2, ID_UP, 1, 1, 0},
        {"enter in a game", 1, 2, ID_SELECT, 1, 2, 0},
        {"escape in the menu", 0, 2, ID_BACK, 0, 2, 0},
        {"escape in a game", 1, 2, ID_BACK, 0, 0, 0},
        {"enter on start", 0, 0, ID_SELECT, 1, 0, 0},
        {"enter on delete", 0, 1, ID_SELECT, 0, 0, 0},
        {"enter on leave", 0, 2, ID_SELECT, 0, 2, WM_CLOSE},
        {"alt+f10 in the menu", 0, 1, ID_EXIT, 0, 1, WM_CLOSE},
        {"alt+f10 in a game", 1, 1, ID_EXIT, 1, 1, WM_CLOSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        playing = c.playing, menuSelection = c.selection;
        score = runBest = bestScore = 17, lastTargetIndex = 5;
        scripted::world().clock = 4321;
        EXPECT_EQ(SendMessage(window_, WM_COMMAND, c.command | (1u << 16), 0), 0);
        EXPECT_EQ(std::make_pair(playing, menuSelection),
                  std::make_pair(c.playingAfter, c.selectionAfter));
        EXPECT_EQ(CurrentWindow(), window_);  // a close is only asked for, not done at once
        EXPECT_EQ(Drain(), c.posted);
        const bool started = c.command == ID_SELECT && c.selection == 0 && !c.playing;
        const bool reset = c.command == ID_SELECT && c.selection == 1 && !c.playing;
        EXPECT_EQ(std::make_tuple(score, int{lastTargetIndex}, bestScore),
                  std::make_tuple(started ? 3 : 17, started ? 0 : 5, reset ? 0 : 17));
        if (started) {
            EXPECT_EQ(std::make_tuple(runBest, targets[0].x, targets[0].y, lastFrameTime),
                      std::make_tuple(3, std::uint16_t{320}, std::uint16_t{240}, 4321u));
        }
    }
}

TEST_F(ShellTest, WindowMessages) {
    const std::uint32_t active[] = {1, 0, 1, 1, 0};  // restored, minimised, max, maxshow, maxhide
    for (WPARAM kind = 0; kind < 5; ++kind) {
        windowActive = !active[kind];
        SendMessage(window_, WM_SIZE, kind, 0);
        EXPECT_EQ(windowActive, active[kind]) << kind;
    }
    for (WPARAM command : {0xF000u, 0xF010u, 0xF030u, 0xF170u})
        EXPECT_EQ(SendMessage(window_, WM_SYSCOMMAND, command, 0), 1) << command;
    for (WPARAM command : {0xF012u, 0xF001u, 0xF032u, 0xF172u, 0xF020u})
        EXPECT_EQ(SendMessage(window_, WM_SYSCOMMAND, command, 0), 0) << command;
    EXPECT_EQ(Drain(), 0u);
    SendMessage(window_, WM_SYSCOMMAND, SC_CLOSE, 0);  // reaches the default handling
    EXPECT_EQ(Drain(), WM_CLOSE);
    EXPECT_EQ(SendMessage(window_, WM_SETCURSOR, 0, 0), 1);
    for (UINT message : {WM_EXITSIZEMOVE, WM_EXITMENULOOP}) {  // frame time restarts
        lastFrameTime = 5;
        scripted::world().clock = 9000 + message;
        SendMessage(window_, message, 0, 0);
        EXPECT_EQ(lastFrameTime, 9000 + message);
    }
}

TEST_F(ShellTest, DestroyReleasesWhatExistsAndQuitsWithZero) {
    ASSERT_EQ(InitGame(window_), S_OK);
    EXPECT_EQ(SendMessage(window_, WM_DESTROY, 0, 0), 0);
    EXPECT_FALSE(screen || backgroundPicture || spritesPicture || explosionPicture ||
                 loadingPicture || menuPanelPicture || menuItemsPicture || splatPicture ||
                 crosshairPicture || audioManager || shotSound || dieSound || splatSound ||
                 mouseDevice || directInput);
    MSG message;
    EXPECT_TRUE(MessageWaiting() && !GetMessage(&message) && message.wParam == 0);  // quit, 0
    FreeGame();  // again: nothing left to release

    scripted::world().faults.mouse = true;  // a partial start-up: no mouse, so no more pictures
    ASSERT_EQ(InitGame(window_), S_OK);
    EXPECT_TRUE(loadingPicture && directInput && screen);
    EXPECT_FALSE(spritesPicture || audioManager);
    FreeGame();
    EXPECT_FALSE(loadingPicture || screen || directInput || scripted::world().displayOpen);
}

TEST_F(ShellTest, RenderFrame) {
    ASSERT_EQ(InitGame(window_), S_OK);
    scripted::World& w = scripted::world();
    const std::uint32_t presented = w.framesPresented;
    w.clock = 1000, lastFrameTime = 990;
    EXPECT_EQ(RenderFrame(), S_OK);
    EXPECT_EQ(RenderFrame(), S_OK);  // the same millisecond: nothing
    EXPECT_EQ(w.framesPresented, presented + 1);

    StartNewGame();
    EXPECT_EQ(RenderFrame(), S_OK);  // no time since the game started: nothing
    EXPECT_EQ(std::make_tuple(w.readCalls, stepTime, w.framesPresented),
              std::make_tuple(0, 0u, presented + 1));

    lastFrameTime = 0xFFFFFFF0, w.clock = 0x10;
    w.faults.flipBusy = 3;
    EXPECT_EQ(RenderFrame(), S_OK);
    EXPECT_EQ(std::make_tuple(stepTime, lastFrameTime, w.framesPresented),
              std::make_tuple(32u, 0x10u, presented + 2));

    w.faults.surfaceLost = 1, w.clock += 1;
    EXPECT_EQ(RenderFrame(), DDERR_SURFACELOST);
}

// Runs the whole program on a script; returns what it printed.
std::string RunProgram(const char* script, scripted::Faults faults, int& code) {
    std::istringstream text(script);
    replay::Script lines;
    replay::ParseError error;
    EXPECT_TRUE(replay::ParseScript(text, lines, error));
    std::FILE* out = std::tmpfile();
    code = replay::Run(replay::Options{0, 0, faults}, lines, out);
    std::string printed;
    std::rewind(out);
    for (int c; (c = std::fgetc(out)) != EOF;) printed += static_cast<char>(c);
    std::fclose(out);
    scripted::world().out = stdout;
    return printed;
}

const std::string kFrameMessage = "message \"Displaying the next frame failed. Press OK exit. \"\n";

// The messages and exit codes of each failed start-up are scenario scripts; what they can't
// show is the screen: without a mouse the loading notice stays up until the frame fails.
TEST_F(ShellTest, WithoutAMouseTheLoadingNoticeShowsUntilTheFirstFrameFails) {
    scripted::Faults faults;
    faults.mouse = true;
    int code = -1;
    EXPECT_EQ(RunProgram("play 1 16\n", faults, code), kFrameMessage + "exit 1\n");
    EXPECT_EQ(scripted::world().framesPresented, 1u);
    Bitmap notice;
    ASSERT_TRUE(DecodeBitmap(FindResource(RT_BITMAP, IDB_LOADING), notice));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(scripted::world().lastFrame[(232 + y) * 640 + 288 + x],
                      ColorToPixel(notice.ColorAt(x, y)));
}

TEST_F(ShellTest, FailedFrameReleasesOnlyTheDisplay) {
    int code = -1;
    EXPECT_EQ(RunProgram("play 2 16\nfault surface-lost\nplay 1 16\n", {}, code),
              kFrameMessage + "exit 1\n");
    EXPECT_EQ(code, 1);
    EXPECT_EQ(screen, nullptr);
    EXPECT_NE(spritesPicture, nullptr);  // no shut-down on this path
    EXPECT_NE(mouseDevice, nullptr);
}

}  // namespace
