// The browser window: the page's key, focus and visibility events as window messages, the error
// dialog, the clocks. The waits yield to the browser (Asyncify), so its events keep coming.
#include <emscripten.h>

#include <cstdint>
#include <cstdio>

#include "platform/platform.h"
#include "platform/web/web.h"
#include "platform/window.h"

namespace {

// Takes the oldest event the page queued: 0 when there is none, else its kind with its two
// numbers in out[0] and out[1] (1 key: virtual key, modifiers; 2 size: the WM_SIZE state;
// 3 close).
EM_JS(int, web_take_event, (std::int32_t* out), {
    const event = quendraPage.events.shift();
    if (!event) return 0;
    HEAP32[out >> 2] = event[1];
    HEAP32[(out >> 2) + 1] = event[2];
    return event[0];
});

// Lets the browser run whatever it has waiting, and comes back at once.
EM_ASYNC_JS(void, web_yield, (), { await quendraPage.yieldToBrowser(); });

// Sleeps until the page queues an event, or a quarter of a second at most.
EM_ASYNC_JS(void, web_wait_event, (), { await quendraPage.nextEvent(250); });

EM_ASYNC_JS(void, web_error_box, (const char* title, const char* text),
            { await quendraPage.errorBox(UTF8ToString(title), UTF8ToString(text)); });

EM_JS(std::uint32_t, web_milliseconds, (), { return Math.floor(performance.now()) >>> 0; });
EM_JS(std::uint32_t, web_tick_count, (), { return Date.now() >>> 0; });
EM_JS(void, web_hide_cursor, (), { quendraPage.hideCursor(); });

constexpr int kKey = 1, kSize = 2, kClose = 3;
std::uint32_t lastYield = 0;

void Drain() {
    std::int32_t values[2];
    for (int kind; (kind = web_take_event(values)) != 0;) {
        if (kind == kKey) {
            auto modifiers = static_cast<std::uint8_t>(values[1]);
            PostWindowMessage((modifiers & MOD_ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN,
                              static_cast<WPARAM>(values[0]), 0, modifiers);
        } else if (kind == kSize) {
            PostWindowMessage(WM_SIZE, static_cast<WPARAM>(values[0]), 0);
        } else if (kind == kClose) {
            PostWindowMessage(WM_CLOSE, 0, 0);
        }
    }
}

}  // namespace

namespace sys {

// The page is the window: it exists once the program runs, and the page shows it.
bool CreateWindow(const char*) { return true; }
void ShowWindow() {}
void SetWindowIcon(const std::uint32_t*, int, int) {}
void HideCursor() { web_hide_cursor(); }
void DestroyWindow() {}

void PumpEvents(bool wait) {
    Drain();
    // What the page shows of the game's state stays true while no frames come.
    if (wait && !MessageWaiting()) web::PublishState();
    while (wait && !MessageWaiting()) {
        web_wait_event();
        lastYield = Milliseconds();
        Drain();
    }
    // The flip yields every frame; a loop that renders nothing for a while (the clock standing
    // still) must still give the browser its turn, or no event would ever arrive.
    if (!wait && Milliseconds() - lastYield > 100) {
        web_yield();
        lastYield = Milliseconds();
        Drain();
    }
}

void ShowErrorBox(const char* title, const char* text) {
    std::fprintf(stderr, "quendra: %s\n", text);
    web_error_box(title, text);
}

std::uint32_t Milliseconds() { return web_milliseconds(); }
std::uint32_t TickCount() { return web_tick_count(); }

}  // namespace sys
