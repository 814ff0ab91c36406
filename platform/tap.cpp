// The tap on the seam's input: straight through to the backend, heard by a listener, or answered
// by a source while the real window and sound show what the program makes of it.
#include "platform/tap.h"

namespace tap {

namespace {

Source* source = nullptr;
Listener* listener = nullptr;
void (*playerHandler)(const MSG&) = nullptr;
bool playerPump = false;  // the desktop is being looked at for the player, not the program
bool stopping = false;

std::uint32_t lastClock = 0;
const std::uint16_t* shown = nullptr;  // the shown page's memory, while it is there
std::uint64_t keptHash = 0;            // the shown page's hash once its memory went
bool haveKeptHash = false;

// Watching keeps the recording's pace: the source's clock against the real one.
bool pacing = false;
std::uint32_t realStart = 0, sourceStart = 0;
// A long pause in a recording (a minimised window) is shown this long at most.
constexpr std::uint32_t kLongestPause = 2000;
// Further behind than this, pages are not shown until the program has caught up.
constexpr std::uint32_t kFallenBehind = 100;

std::uint64_t Hash(const std::uint16_t* pixels) {
    std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a over the 16-bit pixel values
    for (std::uint32_t i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) {
        hash ^= pixels ? pixels[i] : 0;
        hash *= 0x100000001b3u;
    }
    return hash;
}

void LookForThePlayer() {
    playerPump = true;
    sys::PumpEvents(false);
    playerPump = false;
}

// Milliseconds the watched program is ahead of real time (negative: behind).
std::int64_t Ahead() {
    std::uint32_t real = sys::Milliseconds() - realStart;
    std::uint32_t recorded = source->Now() - sourceStart;
    return std::int64_t{recorded} - std::int64_t{real};
}

// Waits until real time has caught up with the source's clock, still hearing the player.
void Pace() {
    if (!pacing) {
        pacing = true;
        realStart = sys::Milliseconds();
        sourceStart = source->Now();
        return;
    }
    std::int64_t ahead = Ahead();
    if (ahead > kLongestPause) {
        realStart += static_cast<std::uint32_t>(ahead - kLongestPause);
        ahead = kLongestPause;
    }
    while (ahead > 0 && !stopping) {
        sys::Sleep(static_cast<std::uint32_t>(ahead < 10 ? ahead : 10));
        LookForThePlayer();
        ahead = Ahead();
    }
}

}  // namespace

void Use(Source* newSource) {
    source = newSource;
    pacing = false;
    stopping = false;
}

Source* CurrentSource() { return source; }
void Listen(Listener* newListener) { listener = newListener; }
void OnPlayerMessage(void (*handler)(const MSG&)) { playerHandler = handler; }
void StopWatching() { stopping = true; }

bool Posted(const MSG& message) {
    if (playerPump) {
        if (playerHandler) playerHandler(message);
        return false;
    }
    if (listener) listener->MessagePosted(message);
    return true;
}

bool CreateWindow(const char* title) {
    bool created = (!source || source->WindowOpens()) && sys::CreateWindow(title);
    if (listener) listener->StartUpStep(TAP_STEP_WINDOW, created);
    return created;
}

void PumpEvents(bool wait) {
    if (listener) listener->PumpBegins(wait);
    if (!source) return sys::PumpEvents(wait);
    LookForThePlayer();
    if (stopping) {
        // As a script that is used up: the window is asked to close.
        if (CurrentWindow())
            PostWindowMessage(WM_CLOSE, 0, 0);
        else
            PostQuitMessage(0);
        return;
    }
    source->PumpEvents(wait);
    Pace();
}

std::uint32_t Milliseconds() {
    lastClock = source ? source->Milliseconds() : sys::Milliseconds();
    if (listener) listener->ClockRead(lastClock);
    return lastClock;
}

std::uint32_t TickCount() {
    std::uint32_t ticks = source ? source->TickCount() : sys::TickCount();
    if (listener) listener->TickCountRead(ticks);
    return ticks;
}

HRESULT OpenDisplay(std::uint32_t width, std::uint32_t height, std::uint32_t bits) {
    HRESULT r = !source || source->DisplayOpens() ? vid::Open(width, height, bits)
                                                   : DDERR_INVALIDMODE;
    if (listener) listener->StartUpStep(TAP_STEP_DISPLAY, SUCCEEDED(r));
    return r;
}

HRESULT Present(const std::uint16_t* pixels) {
    HRESULT r;
    if (source) {
        r = source->PresentAnswer();
        // The real display shows what the program showed; its own answer is not the program's.
        if (r == S_OK && (!pacing || Ahead() > -std::int64_t{kFallenBehind})) vid::Present(pixels);
    } else {
        r = vid::Present(pixels);
    }
    if (r == S_OK) {
        shown = pixels;
        haveKeptHash = false;
    }
    if (listener) listener->Presented(r);
    return r;
}

HRESULT CreateMouse() {
    HRESULT r = source ? (source->MouseExists() ? S_OK : DIERR_DEVICENOTREG) : in::Create();
    if (listener) listener->StartUpStep(TAP_STEP_MOUSE, SUCCEEDED(r));
    return r;
}

HRESULT MouseAcquire() {
    HRESULT r = source ? source->MouseAcquire() : in::Acquire();
    if (listener) listener->MouseAcquired(r);
    return r;
}

void MouseUnacquire() { source ? source->MouseUnacquire() : in::Unacquire(); }

HRESULT MouseRead(in::Reading& out) {
    HRESULT r = source ? source->MouseRead(out) : in::Read(out);
    if (listener) listener->MouseRead(r, out);
    return r;
}

void MouseRelease() { source ? source->MouseUnacquire() : in::Release(); }

bool OpenSound() {
    bool open = source ? source->SoundOpens() : snd::Open();
    if (source && open) snd::Open();  // silent when it can't: the program heard it open
    if (listener) listener->StartUpStep(TAP_STEP_SOUND, open);
    return open;
}

store::Found StoreRead(std::uint8_t* bytes, std::size_t size, std::size_t& got) {
    got = 0;
    store::Found found =
        source ? source->StoreRead(bytes, size, got) : store::Read(bytes, size, got);
    if (listener) listener->StoreRead(found, bytes, got);
    return found;
}

bool StoreReplace(const std::uint8_t* bytes, std::size_t size) {
    bool replaced = source ? source->StoreReplace(bytes, size) : store::Replace(bytes, size);
    if (listener) listener->StoreReplaced(bytes, size, replaced);
    return replaced;
}

std::uint32_t LastClock() { return lastClock; }

std::uint64_t ShownPageHash() {
    if (shown) return Hash(shown);
    return haveKeptHash ? keptHash : Hash(nullptr);
}

void PageGone(const std::uint16_t* pixels) {
    if (!shown || pixels != shown) return;
    keptHash = Hash(shown);
    haveKeptHash = true;
    shown = nullptr;
}

void Reset() {
    lastClock = 0;
    shown = nullptr;
    haveKeptHash = false;
    pacing = false;
    stopping = false;
}

}  // namespace tap
