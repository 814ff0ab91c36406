// The browser mouse: Pointer Lock's movement deltas scaled by the player's mouse speed, and a
// finger's aim on the picture. The page holds the lock while the game has the pointer; a lock
// the browser takes back ends the acquisition, as the focus going does on the desktop.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>

#include "platform/mouse_speed.h"
#include "platform/platform.h"

namespace {

// 1 when the page holds the pointer or plays by touch (what came before is dropped); else asks
// for the lock, which the browser may grant later, and answers 0.
EM_JS(int, web_mouse_acquire, (), { return quendraPage.mouseAcquire() ? 1 : 0; });
EM_JS(void, web_mouse_unacquire, (), { quendraPage.mouseUnacquire(); });
// 0 with what came since the last good read in out[0..5]: the mouse's dx, dy; the motion that
// takes the crosshair to the finger, x and y; the button held now; a press since then.
// 1 when the pointer is not held (never taken, given back, or taken back by the browser). Only a
// good read takes what it reports.
EM_JS(int, web_mouse_read, (std::int32_t* out),
      { return quendraPage.mouseRead(HEAP32, out >> 2); });
// The player's mouse speed, as the page keeps it.
EM_JS(double, web_mouse_speed, (), { return quendraPage.mouseSpeed; });

MouseSpeed speed;

// Mouse and finger together, held within 32 bits (a page can send any movement).
std::int32_t Sum(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::int64_t{a} + b, INT32_MIN, INT32_MAX));
}

}  // namespace

namespace in {

HRESULT Create() { return S_OK; }

HRESULT Acquire() {
    if (!web_mouse_acquire()) return DIERR_OTHERAPPHASPRIO;
    speed.Forget();
    return S_OK;
}

void Unacquire() { web_mouse_unacquire(); }

HRESULT Read(Reading& out) {
    std::int32_t values[6] = {};
    if (web_mouse_read(values) != 0) return DIERR_NOTACQUIRED;
    // Set keeps the leftover fractions only while the factor stays; an unusable one is refused.
    if (double factor = web_mouse_speed(); factor != speed.factor()) speed.Set(factor);
    speed.Scale(values[0], values[1]);
    // A finger's aim is already in the picture's pixels: the speed is the mouse's alone.
    out.dx = Sum(values[0], values[2]);
    out.dy = Sum(values[1], values[3]);
    // A press and release that both came between two reads is held for this one, so the
    // game's own latch sees the click; the release comes with the next read.
    out.buttons = static_cast<std::uint8_t>((values[4] | values[5]) & 1);
    return S_OK;
}

void Release() { Unacquire(); }

}  // namespace in
