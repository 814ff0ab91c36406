// The browser mouse: Pointer Lock, its movement deltas 1:1. The page holds the lock while the
// game has the pointer; a lock the browser takes back is "input lost", as on the desktop.
#include <emscripten.h>

#include "platform/platform.h"

namespace {

// 1 when the page holds the pointer (motion from before is dropped); else asks for the lock,
// which the browser may grant later, and answers 0.
EM_JS(int, web_mouse_acquire, (), { return quendraPage.mouseAcquire() ? 1 : 0; });
EM_JS(void, web_mouse_unacquire, (), { quendraPage.mouseUnacquire(); });
// 0 with dx, dy, buttons in out[0..2]; 1 when the lock was lost since the last read; 2 when
// the pointer is not held.
EM_JS(int, web_mouse_read, (std::int32_t* out), {
    const mouse = quendraPage.mouse;
    if (mouse.lost) { mouse.lost = false; return 1; }
    if (!mouse.acquired) return 2;
    HEAP32[out >> 2] = mouse.dx;
    HEAP32[(out >> 2) + 1] = mouse.dy;
    HEAP32[(out >> 2) + 2] = mouse.buttons;
    mouse.dx = mouse.dy = 0;
    return 0;
});

}  // namespace

namespace in {

HRESULT Create() { return S_OK; }

HRESULT Acquire() { return web_mouse_acquire() ? S_OK : DIERR_OTHERAPPHASPRIO; }

void Unacquire() { web_mouse_unacquire(); }

HRESULT Read(Reading& out) {
    std::int32_t values[3] = {};
    switch (web_mouse_read(values)) {
        case 0: break;
        case 1: return DIERR_INPUTLOST;
        default: return DIERR_NOTACQUIRED;
    }
    out.dx = values[0];
    out.dy = values[1];
    out.buttons = static_cast<std::uint8_t>(values[2] & 1);
    return S_OK;
}

void Release() { Unacquire(); }

}  // namespace in
