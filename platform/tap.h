// Where the program's input crosses the seam. Every answer the platform gives the program (the
// clock, the desktop's events, the mouse, the results of start-up steps and flips) passes
// through here, so that a recorder can write it down, and a source can stand in for the
// backend to show a recording again: the window, the pictures and the sounds stay real then,
// and only what came in is taken from the source. Without either, each call goes straight to
// the backend (platform.h).
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/window.h"

namespace tap {

// Answers in the backend's place for everything that comes into the program.
class Source {
public:
    virtual ~Source() = default;
    // The start-up steps that fail: false when this one does.
    virtual bool WindowOpens() = 0;
    virtual bool DisplayOpens() = 0;
    virtual bool MouseExists() = 0;
    virtual bool SoundOpens() = 0;
    // Posts the messages of one look at the desktop (PostWindowMessage); with wait, at least one.
    virtual void PumpEvents(bool wait) = 0;
    // The program reads the clock (a source may move it on after the reading).
    virtual std::uint32_t Milliseconds() = 0;
    // The clock as it stands, for keeping pace; not a reading.
    virtual std::uint32_t Now() = 0;
    virtual std::uint32_t TickCount() = 0;
    virtual HRESULT MouseAcquire() = 0;
    virtual void MouseUnacquire() = 0;
    virtual HRESULT MouseRead(in::Reading& out) = 0;
    // What the next flip answers: S_OK, DDERR_WASSTILLDRAWING or DDERR_SURFACELOST.
    virtual HRESULT PresentAnswer() = 0;
    // The best-score store, as store::Read and store::Replace (platform.h).
    virtual store::Found StoreRead(std::uint8_t* bytes, std::size_t size, std::size_t& got) = 0;
    virtual bool StoreReplace(const std::uint8_t* bytes, std::size_t size) = 0;
};

// Hears every answer as the program takes it (the recorder).
class Listener {
public:
    virtual ~Listener() = default;
    virtual void StartUpStep(int step, bool succeeded) = 0;  // a TAP_STEP_ below
    virtual void PumpBegins(bool wait) = 0;
    virtual void MessagePosted(const MSG& message) = 0;  // by the desktop, while it is looked at
    virtual void ClockRead(std::uint32_t ms) = 0;
    virtual void TickCountRead(std::uint32_t ticks) = 0;
    virtual void MouseAcquired(HRESULT result) = 0;
    virtual void MouseRead(HRESULT result, const in::Reading& reading) = 0;
    virtual void Presented(HRESULT result) = 0;
    virtual void StoreRead(store::Found found, const std::uint8_t* bytes, std::size_t got) = 0;
    virtual void StoreReplaced(const std::uint8_t* bytes, std::size_t size, bool replaced) = 0;
};

enum StartUpStep { TAP_STEP_WINDOW, TAP_STEP_DISPLAY, TAP_STEP_MOUSE, TAP_STEP_SOUND };

// Watching: the source answers from now on (null: the backend again).
void Use(Source* source);
Source* CurrentSource();
// Recording: the listener hears every answer from now on (null: nobody).
void Listen(Listener* listener);
// While watching, the desktop's own events are not the program's: the key presses and the
// close request of the player go to this function instead (null: dropped).
void OnPlayerMessage(void (*handler)(const MSG& message));

// The services, as the common code above the seam calls them.
bool CreateWindow(const char* title);
void PumpEvents(bool wait);
std::uint32_t Milliseconds();
std::uint32_t TickCount();
HRESULT OpenDisplay(std::uint32_t width, std::uint32_t height, std::uint32_t bits);
// Shows a page; on S_OK it is the shown page until the next (its memory must stay while it is,
// or be announced gone with PageGone).
HRESULT Present(const std::uint16_t* pixels);
HRESULT CreateMouse();
HRESULT MouseAcquire();
void MouseUnacquire();
HRESULT MouseRead(in::Reading& out);
void MouseRelease();
bool OpenSound();
store::Found StoreRead(std::uint8_t* bytes, std::size_t size, std::size_t& got);
bool StoreReplace(const std::uint8_t* bytes, std::size_t size);
// For the window system, of each message the desktop (or a source) posts: true when it is the
// program's to queue; false when it was the player's own while watching (the handler has it).
bool Posted(const MSG& message);
// Watching ends: from the next look at the desktop on, the window is asked to close.
void StopWatching();

// The last value the program read from the clock (0 before the first read).
std::uint32_t LastClock();
// A hash of the page the display shows (all black before the first flip); the same pixels give
// the same hash on every machine.
std::uint64_t ShownPageHash();
// The memory of a page that may be shown is about to go: the hash is taken from it first.
void PageGone(const std::uint16_t* pixels);
// Back to a fresh program: nothing shown, no clock read (the source and listener stay).
void Reset();

}  // namespace tap
