// The scripted window system: no window; events and the clock are the world's answers.
#include "platform/platform.h"
#include "platform/scripted/scripted.h"

using scripted::source;

namespace sys {

bool CreateWindow(const char*) { return source().WindowOpens(); }

void ShowWindow() {}
void SetWindowIcon(const std::uint32_t*, int, int) {}
void HideCursor() {}
void DestroyWindow() {}
void PumpEvents(bool wait) { source().PumpEvents(wait); }

void ShowErrorBox(const char*, const char* text) {
    if (std::FILE* out = scripted::world().out) std::fprintf(out, "message \"%s\"\n", text);
}

std::uint32_t Milliseconds() { return source().Milliseconds(); }
std::uint32_t TickCount() { return source().TickCount(); }
void Sleep(std::uint32_t) {}  // the scripted clock does not run by itself

}  // namespace sys
