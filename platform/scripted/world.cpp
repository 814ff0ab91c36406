// The scripted world and its answers: a clock that only moves on cue, a script for events, a
// mouse and faults that the script sets.
#include <algorithm>
#include <cstring>

#include "platform/scripted/scripted.h"
#include "platform/window.h"

namespace scripted {

namespace {

class WorldSource : public tap::Source {
public:
    bool WindowOpens() override { return !world().faults.window; }
    bool DisplayOpens() override { return !world().faults.display; }
    bool MouseExists() override { return !world().faults.mouse; }
    bool SoundOpens() override { return !world().faults.audio; }

    void PumpEvents(bool wait) override {
        Driver* driver = world().driver;
        bool more = driver && (wait ? driver->Wait() : driver->Poll());
        // A script that is used up closes the window, as a user would.
        if (!more) {
            if (CurrentWindow())
                PostWindowMessage(WM_CLOSE, 0, 0);
            else
                PostQuitMessage(0);
        }
    }

    std::uint32_t Milliseconds() override {
        World& w = world();
        std::uint32_t now = w.clock;
        if (w.movesCount > 0) {
            w.clock += w.clockMoves[w.movesHead];
            w.movesHead = (w.movesHead + 1) % w.clockMoves.size();
            --w.movesCount;
        }
        return now;
    }
    std::uint32_t Now() override { return world().clock; }
    std::uint32_t TickCount() override { return world().tickCount; }

    HRESULT MouseAcquire() override {
        World& w = world();
        ++w.acquireCalls;
        if (w.faults.acquireLost > 0) {
            --w.faults.acquireLost;
            return DIERR_INPUTLOST;
        }
        if (w.faults.acquireDenied > 0) {
            --w.faults.acquireDenied;
            return DIERR_OTHERAPPHASPRIO;
        }
        w.mouseAcquired = true;
        return S_OK;
    }

    void MouseUnacquire() override { world().mouseAcquired = false; }

    HRESULT MouseRead(in::Reading& out) override {
        World& w = world();
        ++w.readCalls;
        if (w.faults.mouseRead > 0) {
            --w.faults.mouseRead;
            w.mouseAcquired = false;  // the device was taken away: this read fails
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
        // A press since the last good read reads as held: a quick click is a shot.
        out.buttons = w.buttonDown || w.buttonPressed ? 1 : 0;
        w.buttonPressed = false;
        return S_OK;
    }

    store::Found StoreRead(std::uint8_t* bytes, std::size_t size, std::size_t& got) override {
        World::Store& own = world().ownStore;
        store::Found found = own.found;
        got = 0;
        if (found == store::Found::Missing) {
            own = World::Store{true, store::Found::Bytes, {}, 0};  // a read makes it, empty
        } else if (found == store::Found::Bytes) {
            got = std::min(size, own.size);
            std::memcpy(bytes, own.bytes.data(), got);
        }
        return found;
    }

    bool StoreReplace(const std::uint8_t* bytes, std::size_t size) override {
        if (world().faults.storeWrite > 0) {
            --world().faults.storeWrite;
            return false;  // the store keeps what it held
        }
        World::Store& own = world().ownStore;
        own.found = store::Found::Bytes;
        own.size = std::min(size, own.bytes.size());
        std::memcpy(own.bytes.data(), bytes, own.size);
        return true;
    }

    HRESULT PresentAnswer() override {
        Faults& faults = world().faults;
        if (faults.surfaceLost > 0) {
            --faults.surfaceLost;
            return DDERR_SURFACELOST;
        }
        if (faults.flipBusy > 0) {
            --faults.flipBusy;
            return DDERR_WASSTILLDRAWING;
        }
        return S_OK;
    }
};

}  // namespace

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

World& world() {
    static World theWorld;
    return theWorld;
}

tap::Source& source() {
    static WorldSource theSource;
    return theSource;
}

void Reset() {
    World& w = world();
    Driver* driver = w.driver;
    std::FILE* out = w.out;
    w = World{};
    w.driver = driver;
    w.out = out;
    ResetWindowSystem();
    tap::Reset();
}

}  // namespace scripted
