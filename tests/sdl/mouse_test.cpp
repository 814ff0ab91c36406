// The desktop mouse under SDL's dummy driver, fed pushed events: quick clicks and the focus.
#include <SDL.h>
#include <gtest/gtest.h>

#include "app/app.h"
#include "game/frames.h"
#include "game/state.h"
#include "platform/platform.h"
#include "platform/sdl/sdl.h"

namespace {

class SdlMouse : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sdl::silent = true;
        HWND window = nullptr;
        HACCEL keys = nullptr;
        ASSERT_EQ(CreateMainWindow(nullptr, SW_SHOWDEFAULT, &window, &keys), S_OK);
        ASSERT_EQ(InitGame(window), S_OK);
    }
    static void TearDownTestSuite() {
        FreeGame();
        sdl::Shutdown();
    }
    // A game with the crosshair on the centre of its first target, the mouse taken.
    void SetUp() override {
        Focus(SDL_WINDOWEVENT_FOCUS_GAINED);
        StartNewGame();
        cursorX = 399, cursorY = 319;
        Frame();
        ASSERT_EQ(buttonLatch, 0);
    }

    static void Push(Uint32 type, Uint8 button = SDL_BUTTON_LEFT) {
        SDL_Event event{};
        event.type = type;
        event.button.button = button;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&event);
    }
    static void Click(Uint8 button = SDL_BUTTON_LEFT) {
        Push(SDL_MOUSEBUTTONDOWN, button);
        Push(SDL_MOUSEBUTTONUP, button);
    }
    static void Focus(Uint8 change) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = change;
        event.window.windowID = SDL_GetWindowID(sdl::window);
        SDL_PushEvent(&event);
    }
    // The messages the events became, taken as the loop takes them, then one play frame.
    static void Frame() {
        for (MSG message; PeekMessage(&message);) {
            GetMessage(&message);
            DispatchMessage(&message);
        }
        PlayFrame(1);
    }
};

TEST_F(SdlMouse, AClickBetweenTwoFramesIsAShotThatHits) {
    Click(SDL_BUTTON_RIGHT);  // only the left button shoots
    Frame();
    EXPECT_EQ(buttonLatch, 0);
    for (int i = 0; i < 100; ++i) Click();
    sys::PumpEvents(false);
    EXPECT_FALSE(MessageWaiting());  // buttons are the mouse's, not the window's
    Frame();
    EXPECT_EQ(buttonLatch, 1);  // held once
    Frame();
    EXPECT_EQ(targets[0].frame, FRAME_HIT);
    Frame();
    EXPECT_EQ(score, 4);
}

TEST_F(SdlMouse, APressIsForgottenWhenTheFocusGoesAndNotSeenUntilItComesBack) {
    Click();
    Focus(SDL_WINDOWEVENT_FOCUS_LOST);
    Frame();  // the read fails; the mouse can't be taken again without the focus
    Push(SDL_MOUSEBUTTONDOWN);
    Focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    Frame();  // taken again
    Frame();
    EXPECT_EQ(buttonLatch, 0);
    Push(SDL_MOUSEBUTTONUP);
    Frame();
    EXPECT_EQ(targets[0].frame, 0);
}

}  // namespace
