// The scripted platform: a deterministic stand-in for the desktop, with a clock, a mouse, faults
// and a sound log that a script (replay/) or a test sets. Nothing here touches hardware. The
// world answers for everything that comes into the program (source()); quendra-replay takes
// those answers as its whole platform, and a program watching a recording takes them through
// the tap (platform/tap.h) beside its real window and sound.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/tap.h"

namespace scripted {

// One step of the platform that can be made to fail.
struct Faults {
    bool window = false;   // the window can't be created
    bool display = false;  // the full-screen mode can't be set
    bool mouse = false;    // the mouse device can't be created
    bool audio = false;    // the sound engine can't be opened
    bool prepare = false;  // sounds can't be prepared (tests only)
    std::uint32_t flipBusy = 0;     // the next N flips answer "still drawing"
    std::uint32_t surfaceLost = 0;  // the next N flips answer "surfaces lost"
    std::uint32_t mouseRead = 0;    // the next N mouse reads fail
    std::uint32_t acquireLost = 0;  // the next N acquires answer "input lost"
    std::uint32_t acquireDenied = 0;  // then the next N answer "not now" (another has the mouse)
    std::uint32_t storeWrite = 0;     // the next N best-score writes are refused
};

// What drives the message loop when it finds its queue empty: a script.
class Driver {
public:
    virtual ~Driver() = default;
    // Called when the loop looks for a message and none waits. Runs script until a message
    // is posted or one pass of an empty queue is due; returns false when it is used up.
    virtual bool Poll() = 0;
    // Called when the loop waits for a message: runs script until one is posted.
    virtual bool Wait() = 0;
};

struct World {
    std::uint32_t clock = 0;
    // How the clock moves on after each of its next readings (`then` lines), oldest first.
    std::array<std::uint32_t, 64> clockMoves{};
    std::size_t movesHead = 0, movesCount = 0;
    std::uint32_t tickCount = 0;
    Faults faults;

    // The mouse: motion adds up until a read succeeds; the button as held now, and whether it
    // went down since the last good read (that read reports it held, however short the press).
    std::int64_t pendingX = 0, pendingY = 0;
    bool buttonDown = false;
    bool buttonPressed = false;
    bool foreground = true;  // the window is neither minimised nor hidden
    bool mouseAcquired = false;
    std::uint64_t acquireCalls = 0, readCalls = 0;  // no run is long enough to wrap them

    // The last page presented, RGB565; black until the first.
    std::vector<std::uint16_t> lastFrame =
        std::vector<std::uint16_t>(SCREEN_WIDTH * SCREEN_HEIGHT, 0);
    std::uint32_t framesPresented = 0;
    bool displayOpen = false;

    // The sounds loaded, by id: the name is their file's (empty: a free slot).
    struct Sound {
        std::string_view name;
        bool prepared = false;
    };
    std::array<Sound, snd::MAX_SOUNDS> sounds;
    bool soundOpen = false;

    // A best-score store of the run's own, in memory (a recording's, or one watched); without
    // it the store is the best-score file in the current folder.
    struct Store {
        bool used = false;
        store::Found found = store::Found::Missing;
        std::array<std::uint8_t, store::SIZE> bytes{};
        std::size_t size = 0;
    } ownStore;

    Driver* driver = nullptr;
    std::FILE* out = stdout;  // message and sound lines; null: none
};

World& world();
// The world's answers to the program's input, as the tap asks for them.
tap::Source& source();
// The primary button goes down or up. A press while the window is in the background goes to
// another window: it is never seen.
void SetButton(bool down);
// The window goes to the background (minimised or hidden) or comes back; a press not yet read
// is dropped when it goes, so that coming back is never a shot by itself.
void SetForeground(bool foreground);
// Back to a fresh platform, the window system's state included (for tests that run several
// programs in one process). The driver and the output stay.
void Reset();

}  // namespace scripted
