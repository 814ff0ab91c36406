// The scripted window system: no window, a script for events, a clock that only moves on cue.
#include "platform/platform.h"
#include "platform/scripted/scripted.h"
#include "platform/window.h"

namespace scripted {

World& world() {
    static World theWorld;
    return theWorld;
}

void Reset() {
    World& w = world();
    Driver* driver = w.driver;
    std::FILE* out = w.out;
    w = World{};
    w.driver = driver;
    w.out = out;
    ResetWindowSystem();
}

}  // namespace scripted

using scripted::world;

namespace sys {

bool CreateWindow(const char*) { return !world().faults.window; }

void ShowWindow() {}
void SetWindowIcon(const std::uint32_t*, int, int) {}
void HideCursor() {}
void DestroyWindow() {}

void PumpEvents(bool wait) {
    scripted::Driver* driver = world().driver;
    bool more = driver && (wait ? driver->Wait() : driver->Poll());
    // A script that is used up closes the window, as a user would.
    if (!more) {
        if (CurrentWindow())
            PostWindowMessage(WM_CLOSE, 0, 0);
        else
            PostQuitMessage(0);
    }
}

void ShowErrorBox(const char*, const char* text) {
    std::fprintf(world().out, "message \"%s\"\n", text);
}

std::uint32_t Milliseconds() { return world().clock; }
std::uint32_t TickCount() { return world().tickCount; }

}  // namespace sys
