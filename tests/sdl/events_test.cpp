// The SDL window on a virtual X server: keys, focus loss, and the icon the desktop gets.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

#include "platform/catalogue.h"
#include "platform/platform.h"
#include "platform/resource.h"
#include "platform/sdl/sdl.h"
#include "platform/surface.h"
#include "platform/window.h"

// Last: Xlib's macros (None, Success, Bool...) would break the headers above.
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

struct Seen { UINT message; WPARAM wParam; std::uint8_t modifiers; };
std::vector<Seen> seen;  // key messages as taken from the queue, then what the window was sent

LRESULT Record(HWND, UINT message, WPARAM wParam, LPARAM) {
    seen.push_back({message, wParam, 0});
    return 0;
}

class SdlWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASS windowClass;
        windowClass.lpfnWndProc = Record;
        windowClass.hIcon = LoadIcon(nullptr, IDI_APP);
        windowClass.lpszClassName = "test";
        RegisterClass(windowClass);
        window = CreateWindowEx(0, "test", "Quendra", WS_POPUP, nullptr);
        if (window) ShowWindow(window, SW_SHOWDEFAULT);
    }
    static void TearDownTestSuite() {
        DestroyWindow(window);
        sdl::Shutdown();
    }
    void SetUp() override { ASSERT_TRUE(window) << SDL_GetError(); }

    // Takes every message and dispatches it, as the message loop does.
    static void Deliver() {
        seen.clear();
        for (MSG message; PeekMessage(&message);) {
            GetMessage(&message);
            if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN)
                seen.push_back({message.message, message.wParam, message.modifiers});
            DispatchMessage(&message);
        }
    }
    static void Push(SDL_Event event) {
        event.window.windowID = SDL_GetWindowID(sdl::window);  // the same place in every kind
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    static inline HWND window = nullptr;
};

TEST_F(SdlWindow, KeysBecomeTheProgramsKeysAndCommands) {
    struct Case { SDL_Keycode key; Uint16 mod; UINT message; int virtualKey; std::uint8_t mods; };
    std::vector<Case> cases = {
        {SDLK_F10, KMOD_LALT, WM_SYSKEYDOWN, VK_F10, MOD_ALT},
        {SDLK_F10, KMOD_RALT, WM_SYSKEYDOWN, VK_F10, MOD_ALT},
        {SDLK_UP, KMOD_NONE, WM_KEYDOWN, VK_UP, 0},
        {SDLK_DOWN, KMOD_NONE, WM_KEYDOWN, VK_DOWN, 0},
        {SDLK_RETURN, KMOD_NONE, WM_KEYDOWN, VK_RETURN, 0},
        {SDLK_KP_ENTER, KMOD_NUM, WM_KEYDOWN, VK_RETURN, 0},
        {SDLK_ESCAPE, KMOD_NONE, WM_KEYDOWN, VK_ESCAPE, 0},
        {SDLK_KP_8, KMOD_NONE, WM_KEYDOWN, VK_UP, 0},  // without Num Lock, an arrow
        {SDLK_KP_8, KMOD_NUM, WM_KEYDOWN, -1, 0},  // -1: any key but the arrows
        {SDLK_DOWN, KMOD_LCTRL, WM_KEYDOWN, VK_DOWN, MOD_CONTROL},
        {SDLK_a, KMOD_LSHIFT, WM_KEYDOWN, 'A', MOD_SHIFT},
    };
    for (int f = 0; f < 12; ++f)  // plain F-keys, known to the game
        cases.push_back({SDLK_F1 + f, KMOD_NONE, WM_KEYDOWN, VK_F1 + f, 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << SDL_GetKeyName(c.key) << ", modifiers " << c.mod);
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = c.key;
        event.key.keysym.mod = c.mod;
        Push(event);
        Deliver();
        ASSERT_GE(seen.size(), 1u);
        EXPECT_EQ(seen[0].message, c.message);
        if (c.virtualKey >= 0)
            EXPECT_EQ(seen[0].wParam, WPARAM(c.virtualKey));
        else
            EXPECT_TRUE(seen[0].wParam != VK_UP && seen[0].wParam != VK_DOWN);
        EXPECT_EQ(seen[0].modifiers, c.mods);
    }
}

TEST_F(SdlWindow, LosingTheFocusGivesThePointerBackAndStopsTheFrames) {
    // Where the desktop has the power, SDL minimises a full-screen window that loses the focus.
    EXPECT_TRUE(SDL_GetHintBoolean(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, SDL_FALSE));
    SDL_SetWindowInputFocus(sdl::window);
    for (int wait = 0; wait < 500 && !(SDL_GetWindowFlags(sdl::window) & SDL_WINDOW_INPUT_FOCUS);
         ++wait) {
        SDL_PumpEvents();
        SDL_Delay(10);
    }
    ASSERT_EQ(in::Create(), S_OK);
    ASSERT_EQ(in::Acquire(), S_OK) << "the window never had the focus";
    ASSERT_TRUE(SDL_GetRelativeMouseMode());
    Deliver();

    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    Push(event);
    Deliver();
    EXPECT_FALSE(SDL_GetRelativeMouseMode());
    bool stopped = false;
    for (const Seen& s : seen) stopped |= s.message == WM_SIZE && s.wParam == SIZE_MINIMIZED;
    EXPECT_TRUE(stopped);
    in::Release();
}

// One part of a 4-bit icon image as a bitmap: the colours, or the mask (transparent is white).
Bitmap IconPart(std::span<const std::uint8_t> image, bool mask, std::vector<std::uint8_t>& dib) {
    const std::size_t width = image[4], maskAt = 40 + 64 + (width * 4 + 31) / 32 * 4 * width;
    dib.assign(image.begin(), image.begin() + 40);
    dib[8] = image[4];  // the image's height counts both parts
    if (mask) {
        dib[14] = 1, dib[32] = 2;
        dib.insert(dib.end(), {0, 0, 0, 0, 255, 255, 255, 0});
        dib.insert(dib.end(), image.begin() + maskAt,
                   image.begin() + maskAt + (width + 31) / 32 * 4 * width);
    } else {
        dib.insert(dib.end(), image.begin() + 40, image.begin() + maskAt);
    }
    Bitmap part;
    EXPECT_TRUE(image[14] == 4 && DecodeBitmap(dib, part));
    return part;
}

// _NET_WM_ICON (width, height, ARGB rows from the top) against the resource's picture that size.
TEST_F(SdlWindow, TheIconTheDesktopGetsIsTheResourcesPictureTheRightWayUp) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(sdl::window, &info)) << SDL_GetError();
    ASSERT_EQ(info.subsystem, SDL_SYSWM_X11);
    Display* display = info.info.x11.display;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(display, info.info.x11.window,
                                 XInternAtom(display, "_NET_WM_ICON", False), 0, 1 << 16, False,
                                 XA_CARDINAL, &type, &format, &count, &after, &data),
              Success);
    const auto* longs = reinterpret_cast<const unsigned long*>(data);
    const std::vector<unsigned long> icon(longs, longs + (data ? count : 0));
    XFree(data);
    ASSERT_GE(icon.size(), 2u);
    const int size = static_cast<int>(icon[0]);
    ASSERT_EQ(icon[1], icon[0]);
    ASSERT_EQ(icon.size(), 2 + std::size_t(size) * size);

    std::span<const std::uint8_t> image;
    for (std::uint16_t id = 1; !FindResource(RT_ICON, id).empty(); ++id)
        if (FindResource(RT_ICON, id)[4] == size) image = FindResource(RT_ICON, id);
    ASSERT_FALSE(image.empty()) << "no " << size << "-pixel picture in the icon";
    std::vector<std::uint8_t> colourBytes, maskBytes;
    const Bitmap colours = IconPart(image, false, colourBytes),
                 mask = IconPart(image, true, maskBytes);
    int wrong = 0, clear = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const auto got = static_cast<std::uint32_t>(icon[2 + std::size_t(y) * size + x]);
            const COLORREF c = colours.ColorAt(x, y);
            const bool transparent = mask.ColorAt(x, y) != 0;
            clear += transparent;
            wrong += transparent ? got >> 24 != 0
                                 : got != (0xFF000000 | (c & 0xFF) << 16 | (c & 0xFF00) | c >> 16);
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(clear, 0);  // the mask is there to be seen
}

}  // namespace
