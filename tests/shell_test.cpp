// The window procedure, keyboard commands, RenderFrame, start and end with or without devices.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "app/app.h"
#include "audio/audio.h"
#include "display/screen.h"
#include "game/assets.h"
#include "game/state.h"
#include "input/mouse.h"
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
    ShellTest() : ProgramTest(kWindow) {}
};

// Keys no scenario presses, through the keyboard table; other modifiers (plain F10) do nothing.
TEST_F(ShellTest, EachKeyInEachState) {
    const HACCEL table = LoadAccelerators(nullptr, IDR_ACCEL);
    struct Case {
        const char* what;
        std::uint8_t playing, selection; WPARAM key;
        std::uint8_t modifiers, playingAfter, selectionAfter; UINT posted;
    };
    const Case cases[] = {
        {"up on the first entry", 0, 0, VK_UP, 0, 0, 0, 0},
        {"down in a game", 1, 0, VK_DOWN, 0, 1, 1, 0},
        {"up in a game", 1, 2, VK_UP, 0, 1, 1, 0},
        {"enter in a game", 1, 2, VK_RETURN, 0, 1, 2, 0},
        {"alt+f10 in the menu", 0, 1, VK_F10, MOD_ALT, 0, 1, WM_CLOSE},
        {"f10 without alt", 0, 1, VK_F10, 0, 0, 1, 0},
        {"shift+alt+f10", 1, 1, VK_F10, MOD_ALT | MOD_SHIFT, 1, 1, 0},
        {"ctrl+down", 0, 1, VK_DOWN, MOD_CONTROL, 0, 1, 0},
        {"alt+enter on start", 0, 0, VK_RETURN, MOD_ALT, 0, 0, 0},
        {"space on start", 0, 0, VK_SPACE, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        playing = c.playing, menuSelection = c.selection;
        score = runBest = bestScore = 17, lastTargetIndex = 5;
        const MSG key{window_, c.modifiers & MOD_ALT ? WM_SYSKEYDOWN : WM_KEYDOWN, c.key, 0,
                      c.modifiers};
        const bool inTable = c.modifiers == (c.key == VK_F10 ? MOD_ALT : 0) && c.key != VK_SPACE;
        EXPECT_EQ(TranslateAccelerator(window_, table, &key), inTable);
        EXPECT_EQ(std::make_pair(playing, menuSelection),
                  std::make_pair(c.playingAfter, c.selectionAfter));
        EXPECT_EQ(CurrentWindow(), window_);  // a close is only asked for, not done at once
        EXPECT_EQ(Drain(), c.posted);
        EXPECT_EQ(std::make_tuple(score, runBest, int{lastTargetIndex}, bestScore),
                  std::make_tuple(17, 17, 5, 17));  // no game started, no score reset
    }
}

TEST_F(ShellTest, WindowMessages) {
    const std::uint32_t active[] = {1, 0, 1, 1, 0};  // restored, minimised, max, maxshow, maxhide
    for (WPARAM kind = 0; kind < 5; ++kind) {
        windowActive = !active[kind];
        SendMessage(window_, WM_SIZE, kind, 0);
        EXPECT_EQ(windowActive, active[kind]) << kind;
    }
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

// A frame needs the clock to have moved; a destroyed window releases everything and quits 0.
TEST_F(ShellTest, RenderFrameWaitsForTheClockAndDestroyReleasesEverything) {
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

    EXPECT_EQ(SendMessage(window_, WM_DESTROY, 0, 0), 0);
    EXPECT_FALSE(screen || backgroundPicture || spritesPicture || explosionPicture ||
                 loadingPicture || menuPanelPicture || menuItemsPicture || splatPicture ||
                 crosshairPicture || audioManager || shotSound || dieSound || splatSound ||
                 mouseDevice || directInput);
    MSG message;
    EXPECT_TRUE(MessageWaiting() && !GetMessage(&message) && message.wParam == 0);  // quit, 0
    FreeGame();  // again: nothing left to release
}

// Without a mouse start-up stops at the loading notice, which shows until the first frame fails;
// a read leaves the record alone, and everything goes at the end.
TEST_F(ShellTest, WithoutAMouseTheLoadingNoticeShowsUntilTheFirstFrameFails) {
    scripted::world().faults.mouse = true;
    ASSERT_EQ(InitGame(window_), S_OK);
    EXPECT_TRUE(loadingPicture && directInput && screen);
    EXPECT_FALSE(spritesPicture || audioManager || mouseDevice);
    const MouseState held{7, -8, 9, {0x80, 1, 2, 3, 4, 5, 6, 7}};
    mouseState = held;
    ReadMouse();
    EXPECT_EQ(std::memcmp(&mouseState, &held, sizeof held), 0);
    EXPECT_EQ(scripted::world().readCalls, 0u);
    scripted::world().clock = lastFrameTime + 16;
    EXPECT_NE(RenderFrame(), S_OK);
    EXPECT_EQ(scripted::world().framesPresented, 1u);
    Page notice(SCREEN_WIDTH * SCREEN_HEIGHT, 0);
    Put(notice, LoadArt(IDB_LOADING, -1), 288, 232, 0, 0, 64, 16);
    ExpectPresented(notice);
    FreeGame();
    EXPECT_FALSE(loadingPicture || screen || directInput || scripted::world().displayOpen);
}

// A device that keeps answering "input lost" does not hold up the frame: the read gives up.
using MouseTest = ShellTest;
TEST_F(MouseTest, ADeviceLostForLongDoesNotHoldUpTheFrame) {
    ASSERT_EQ(InitMouse(window_), S_OK);
    scripted::world().faults.mouseRead = 1, scripted::world().faults.acquireLost = 10000000;
    EXPECT_EQ(ReadMouse(), S_OK);
    EXPECT_GT(scripted::world().faults.acquireLost, 0u);
}

// A sound that could not be prepared refuses to play but still stops; prepared later, it plays.
TEST_F(ShellTest, ASoundThatCouldNotBePreparedRefusesToPlayButStillStops) {
    scripted::world().faults.prepare = true;
    EXPECT_EQ(InitSounds(), S_OK);
    ASSERT_TRUE(shotSound && dieSound && splatSound);  // loaded all the same
    EXPECT_EQ(shotSound->Play(DMUS_SEGF_SECONDARY), E_FAIL);
    EXPECT_EQ(shotSound->Stop(DMUS_SEGF_BEAT), S_OK);
    EXPECT_EQ(Output(), "sound stop shot\n");
    scripted::world().faults.prepare = false;
    EXPECT_EQ(shotSound->Prepare(), S_OK);
    EXPECT_EQ(shotSound->Play(DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(Output(), "sound play shot\n");
    FreeSounds();
    EXPECT_FALSE(audioManager || shotSound || dieSound || splatSound);
}

}  // namespace
