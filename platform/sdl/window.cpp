// The desktop window: one borderless full-screen window (or a resizable one), its events as
// window messages, error boxes, the clocks.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

#include "platform/platform.h"
#include "platform/sdl/sdl.h"
#include "platform/window.h"

namespace sdl {

SDL_Window* window = nullptr;
bool windowed = false;
bool silent = false;

namespace {

SDL_Surface* icon = nullptr;
bool videoStarted = false;
bool cursorHidden = false;

// SDL's keys for the program's named keys (platform/keys.h), and the keypad's arrows, which
// are arrows without Num Lock.
constexpr std::pair<SDL_Keycode, std::uint16_t> kNamedKeys[] = {
    {SDLK_UP, VK_UP}, {SDLK_DOWN, VK_DOWN}, {SDLK_LEFT, VK_LEFT}, {SDLK_RIGHT, VK_RIGHT},
    {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN}, {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE}, {SDLK_TAB, VK_TAB}, {SDLK_BACKSPACE, VK_BACK},
    {SDLK_LALT, VK_MENU}, {SDLK_RALT, VK_MENU}};
constexpr std::pair<SDL_Keycode, std::uint16_t> kKeypadArrows[] = {
    {SDLK_KP_8, VK_UP}, {SDLK_KP_2, VK_DOWN}, {SDLK_KP_4, VK_LEFT}, {SDLK_KP_6, VK_RIGHT}};
static_assert(TranslatesTheNamedKeys(kNamedKeys));
static_assert(SDLK_F1 + FUNCTION_KEYS - 1 == SDLK_F12, "SDL's function keys up to F12 are a run");

WPARAM VirtualKey(SDL_Keycode key, Uint16 mod) {
    if (!(mod & KMOD_NUM))
        for (const auto& [sdlKey, vk] : kKeypadArrows)
            if (key == sdlKey) return vk;
    for (const auto& [sdlKey, vk] : kNamedKeys)
        if (key == sdlKey) return vk;
    if (key >= SDLK_F1 && key < SDLK_F1 + FUNCTION_KEYS) return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    return VK_UNKNOWN;
}

std::uint8_t Modifiers(Uint16 mod) {
    return ((mod & KMOD_SHIFT) ? MOD_SHIFT : 0) | ((mod & KMOD_CTRL) ? MOD_CONTROL : 0) |
           ((mod & KMOD_ALT) ? MOD_ALT : 0);
}

void OnWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_ENTER: ApplyCursor(); break;
        case SDL_WINDOWEVENT_MINIMIZED: PostWindowMessage(WM_SIZE, SIZE_MINIMIZED, 0); break;
        case SDL_WINDOWEVENT_HIDDEN: PostWindowMessage(WM_SIZE, SIZE_MAXHIDE, 0); break;
        case SDL_WINDOWEVENT_MAXIMIZED: PostWindowMessage(WM_SIZE, SIZE_MAXIMIZED, 0); break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN: PostWindowMessage(WM_SIZE, SIZE_RESTORED, 0); break;
        // Another window in front stops the frames as minimising does, also where the window
        // manager does not minimise a full-screen window that loses the focus.
        case SDL_WINDOWEVENT_FOCUS_LOST:
            OnFocusLost();
            PostWindowMessage(WM_SIZE, SIZE_MINIMIZED, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            OnFocusGained();
            ApplyCursor();
            if (!(SDL_GetWindowFlags(window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)))
                PostWindowMessage(WM_SIZE, SIZE_RESTORED, 0);
            break;
        case SDL_WINDOWEVENT_CLOSE: PostWindowMessage(WM_CLOSE, 0, 0); break;
    }
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT: PostWindowMessage(WM_CLOSE, 0, 0); break;
        case SDL_WINDOWEVENT: OnWindowEvent(event.window); break;
        case SDL_KEYDOWN: {
            std::uint8_t modifiers = Modifiers(event.key.keysym.mod);
            PostWindowMessage((modifiers & MOD_ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN,
                              VirtualKey(event.key.keysym.sym, event.key.keysym.mod), 0,
                              modifiers);
            break;
        }
        // The mouse's own business, never a message.
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: OnMouseButton(event.button); break;
        case SDL_RENDER_DEVICE_RESET: OnRenderDeviceReset(); break;
        case SDL_RENDER_TARGETS_RESET: OnRenderTargetsReset(); break;
    }
}

}  // namespace

void ApplyCursor() {
    // SDL hides the pointer by giving each window it knows a blank cursor; a window made anew
    // (as making an OpenGL renderer does) starts with the desktop's arrow. Setting no cursor
    // makes SDL give the blank one to every window again.
    if (cursorHidden) SDL_SetCursor(nullptr);
}

void Shutdown() {
    if (window) SDL_DestroyWindow(window);
    window = nullptr;
    if (icon) SDL_FreeSurface(icon);
    icon = nullptr;
    SDL_Quit();
}

}  // namespace sdl

namespace sys {

bool CreateWindow(const char* title) {
    // A full-screen window that loses the focus is minimised; a plain window stays where it is
    // (the frames stop all the same, see OnWindowEvent).
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, sdl::windowed ? "0" : "1");
    if (!sdl::videoStarted) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            std::fprintf(stderr, "quendra: no display to show the game on: %s\n", SDL_GetError());
            return false;
        }
        sdl::videoStarted = true;
    }
    // Without a display SDL quietly picks a driver that shows nothing; that is no way to play.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!std::getenv("SDL_VIDEODRIVER") && driver &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        std::fprintf(stderr,
                     "quendra: no display to show the game on (is DISPLAY or WAYLAND_DISPLAY "
                     "set?)\n");
        return false;
    }
    // Full screen is the window manager's business; made as large as the screen, the window
    // covers it all the same where there is no window manager to ask.
    SDL_Rect screen{SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, int{SCREEN_WIDTH},
                    int{SCREEN_HEIGHT}};
    SDL_GetDisplayBounds(0, &screen);
    if (sdl::windowed) {
        // The largest whole multiple of the page that leaves room for the desktop's panels; it
        // may be made as small as half the page.
        constexpr int kPageW = SCREEN_WIDTH, kPageH = SCREEN_HEIGHT;
        SDL_Rect usable = screen;
        SDL_GetDisplayUsableBounds(0, &usable);
        int scale = std::max(1, std::min((usable.w - 64) / kPageW, (usable.h - 64) / kPageH));
        sdl::window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       kPageW * scale, kPageH * scale,
                                       SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
        if (sdl::window) SDL_SetWindowMinimumSize(sdl::window, kPageW / 2, kPageH / 2);
    } else {
        sdl::window = SDL_CreateWindow(
            title, screen.x, screen.y, screen.w, screen.h,
            SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    if (!sdl::window) {
        std::fprintf(stderr, "quendra: can't open the game's window: %s\n", SDL_GetError());
        return false;
    }
    // The mouse is read as a device: motion is SDL's running sum, never events (it would flood
    // the queue); button events are kept, for a click can begin and end between two reads.
    // Text input is not wanted either.
    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
    SDL_EventState(SDL_MOUSEWHEEL, SDL_IGNORE);
    SDL_EventState(SDL_TEXTINPUT, SDL_IGNORE);
    return true;
}

void ShowWindow() {
    SDL_ShowWindow(sdl::window);
    SDL_RaiseWindow(sdl::window);
    // The window's own "shown" event would only repeat what ShowWindow reports.
    SDL_PumpEvents();
    SDL_FlushEvent(SDL_WINDOWEVENT);
}

void SetWindowIcon(const std::uint32_t* argb, int width, int height) {
    if (sdl::icon) SDL_FreeSurface(sdl::icon);
    sdl::icon = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!sdl::icon) return;
    for (int y = 0; y < height; ++y)
        std::memcpy(static_cast<Uint8*>(sdl::icon->pixels) + y * sdl::icon->pitch, argb + y * width,
                    static_cast<std::size_t>(width) * 4);
    SDL_SetWindowIcon(sdl::window, sdl::icon);
}

void HideCursor() {
    sdl::cursorHidden = true;
    SDL_ShowCursor(SDL_DISABLE);
    sdl::ApplyCursor();
}

void DestroyWindow() {
    if (sdl::window) SDL_HideWindow(sdl::window);
}

void PumpEvents(bool wait) {
    SDL_Event event;
    // Block on SDL until one of its events has become a message.
    while (wait && !MessageWaiting()) {
        if (SDL_WaitEvent(&event))
            sdl::Translate(event);
        else
            SDL_Delay(10);
    }
    while (SDL_PollEvent(&event)) sdl::Translate(event);
}

void ShowErrorBox(const char* title, const char* text) {
    std::fprintf(stderr, "quendra: %s\n", text);
    // Give the pointer back so that the box can be answered.
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_ShowCursor(SDL_ENABLE);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, sdl::window);
}

std::uint32_t Milliseconds() { return static_cast<std::uint32_t>(SDL_GetTicks64()); }

void Sleep(std::uint32_t ms) { SDL_Delay(ms); }

// Milliseconds since the machine started, as the random seed.
std::uint32_t TickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000 +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000000);
}

}  // namespace sys
