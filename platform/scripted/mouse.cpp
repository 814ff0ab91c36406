// The scripted mouse: motion and the button come from the script; reads and acquires can fail.
#include <algorithm>

#include "platform/platform.h"
#include "platform/scripted/scripted.h"

using scripted::world;

namespace scripted {

void SetButton(bool down) {
    World& w = world();
    if (down && !w.foreground) return;
    if (down && !w.buttonDown) w.buttonPressed = true;
    w.buttonDown = down;
}

void SetForeground(bool foreground) {
    World& w = world();
    w.foreground = foreground;
    if (!foreground) w.buttonPressed = false;
}

}  // namespace scripted

namespace in {

HRESULT Create() { return world().faults.mouse ? DIERR_DEVICENOTREG : S_OK; }

HRESULT Acquire() {
    ++world().acquireCalls;
    if (world().faults.acquireLost > 0) {
        --world().faults.acquireLost;
        return DIERR_INPUTLOST;
    }
    world().mouseAcquired = true;
    return S_OK;
}

void Unacquire() { world().mouseAcquired = false; }

HRESULT Read(Reading& out) {
    scripted::World& w = world();
    ++w.readCalls;
    if (w.faults.mouseRead > 0) {
        --w.faults.mouseRead;
        w.mouseAcquired = false;
        return DIERR_INPUTLOST;
    }
    if (!w.mouseAcquired) return DIERR_NOTACQUIRED;
    // A device reports at most a 32-bit count a read; the rest waits for the next read.
    auto take = [](std::int64_t& pending) {
        std::int64_t part = std::clamp<std::int64_t>(pending, INT32_MIN, INT32_MAX);
        pending -= part;
        return static_cast<std::int32_t>(part);
    };
    out.dx = take(w.pendingX);
    out.dy = take(w.pendingY);
    out.buttons = w.buttonDown || w.buttonPressed ? 1 : 0;
    w.buttonPressed = false;
    return S_OK;
}

void Release() { world().mouseAcquired = false; }

}  // namespace in
