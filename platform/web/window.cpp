// The browser window: the page's key, focus and visibility events as window messages, the error
// dialog, the clocks. The waits yield to the browser (Asyncify), so its events keep coming.
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "platform/keys.h"
#include "platform/platform.h"
#include "platform/web/web.h"
#include "platform/window.h"

namespace {

// Takes the oldest event the page queued: 0 when there is none, else its kind. A key (1) gives
// the KeyboardEvent's `key` and `code` names in key and code, and the modifiers in *number;
// a size change (2) gives the WM_SIZE state in *number.
EM_JS(int, web_take_event, (std::int32_t* number, char* key, char* code, int size), {
    const event = quendraPage.events.shift();
    if (!event) return 0;
    if (event[0] === 1) {
        stringToUTF8(event[1], key, size);
        stringToUTF8(event[2], code, size);
        HEAP32[number >> 2] = event[3];
    } else {
        HEAP32[number >> 2] = event[1];
    }
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
EM_ASYNC_JS(void, web_sleep, (std::uint32_t ms),
            { await new Promise((resolve) => setTimeout(resolve, ms)); });

constexpr int kKey = 1, kSize = 2;
std::uint32_t lastYield = 0;
web::StatePublisher publisher = nullptr;

// The KeyboardEvent `key` names of the program's named keys (platform/keys.h). The page keeps
// these keys from the browser (web_take_keys), and the keypad's arrows without Num Lock have
// the arrows' names.
constexpr std::pair<std::string_view, std::uint16_t> kNamedKeys[] = {
    {"ArrowUp", VK_UP},    {"ArrowDown", VK_DOWN}, {"ArrowLeft", VK_LEFT}, {"ArrowRight", VK_RIGHT},
    {"Enter", VK_RETURN},  {"Escape", VK_ESCAPE},  {" ", VK_SPACE},        {"Tab", VK_TAB},
    {"Backspace", VK_BACK}, {"Alt", VK_MENU},      {"AltGraph", VK_MENU}};
static_assert(TranslatesTheNamedKeys(kNamedKeys));

// Tells the page the `key` names, one a line, whose browser action it is to prevent.
EM_JS(void, web_take_keys, (const char* names), { quendraPage.takeKeys(UTF8ToString(names)); });

// The virtual key of a key press, from the names the browser gives it: the same keys as on
// the desktop; any other is VK_UNKNOWN.
WPARAM VirtualKey(std::string_view key, std::string_view code) {
    for (const auto& [name, vk] : kNamedKeys)
        if (key == name) return vk;
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F') {
        int n = 0;
        for (char c : key.substr(1)) n = (c >= '0' && c <= '9') ? n * 10 + (c - '0') : 99;
        if (n >= 1 && n <= FUNCTION_KEYS) return static_cast<WPARAM>(VK_F1 + n - 1);
    }
    if (code.size() == 4 && code.substr(0, 3) == "Key" && code[3] >= 'A' && code[3] <= 'Z')
        return static_cast<WPARAM>(code[3]);
    if (code.size() == 6 && code.substr(0, 5) == "Digit" && code[5] >= '0' && code[5] <= '9')
        return static_cast<WPARAM>(code[5]);
    return VK_UNKNOWN;
}

void Drain() {
    std::int32_t number = 0;
    char key[32], code[32];
    for (int kind; (kind = web_take_event(&number, key, code, sizeof key)) != 0;) {
        if (kind == kKey) {
            auto modifiers = static_cast<std::uint8_t>(number);
            PostWindowMessage((modifiers & MOD_ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN,
                              VirtualKey(key, code), 0, modifiers);
        } else if (kind == kSize) {
            PostWindowMessage(WM_SIZE, static_cast<WPARAM>(number), 0);
        }
    }
}

}  // namespace

namespace web {

void SetStatePublisher(StatePublisher newPublisher) { publisher = newPublisher; }

void PublishState() {
    if (publisher) publisher();
}

}  // namespace web

namespace sys {

// The page is the window: it exists once the program runs, and the page shows it. From now on
// the program's named keys are the game's, not the browser's.
bool CreateWindow(const char*) {
    std::string names;
    for (const auto& [name, vk] : kNamedKeys) names.append(name).append("\n");
    web_take_keys(names.c_str());
    return true;
}
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
void Sleep(std::uint32_t ms) { web_sleep(ms); }

}  // namespace sys
