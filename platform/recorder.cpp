// The recorder: each answer of the platform becomes script lines, one step (a look at the
// desktop and what followed until the next) at a time, written whole as the game goes.
#include "platform/recorder.h"

#include <errno.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/key_names.h"

namespace {

// A checkpoint at least this often, by the program's clock; the file is flushed with each.
constexpr std::uint32_t kCheckEvery = 1000;

const char* const kStartUpFailures[] = {"window", "display", "mouse", "audio"};

// write(), except that a pipe whose reader has gone only answers EPIPE: the signal it would also
// raise ends the program, and a recording that fails must leave the game playing.
ssize_t WriteWithoutPipeSignal(int fd, const void* data, std::size_t size) {
#ifdef __EMSCRIPTEN__
    return write(fd, data, size);  // the page records into its memory: no pipes there
#else
    sigset_t pipeSignal, before;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
    ssize_t n = write(fd, data, size);
    int error = errno;
    if (n < 0 && error == EPIPE && !sigismember(&before, SIGPIPE)) {
        timespec now{};
        while (sigtimedwait(&pipeSignal, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = error;
    return n;
#endif
}

}  // namespace

Recorder::Recorder(int fd, const char* name, Program program)
    : fd_(fd), name_(name), program_(program) {
    Line("# quendra recording: replay it with quendra-replay FILE, "
         "watch it with quendra --play FILE");
}


// --- What comes in ------------------------------------------------------------------------

void Recorder::StartUpStep(int step, bool succeeded) {
    if (step < 0 || step > 3) return;
    if (begun_ && !succeeded) inexact_ = true;  // start-up steps come before the first look
    startUpFailed_[step] = !succeeded;
}

void Recorder::TickCountRead(std::uint32_t ticks) {
    if (begun_ && ticks != seed_) inexact_ = true;
    seedRead_ = true;
    seed_ = ticks;
}

void Recorder::ClockRead(std::uint32_t ms) {
    Step& step = step_;
    if (step.reads == 0) {
        step.firstRead = ms;
    } else if (ms != clock_) {
        // The driver sets the clock once a step; later readings move on with `then` lines.
        std::uint32_t at = step.reads - 1;
        if (at < step.moves.size()) {
            for (std::uint32_t i = step.movesUsed; i < at; ++i) step.moves[i] = 0;
            step.moves[at] = ms - clock_;
            step.movesUsed = at + 1;
        } else {
            inexact_ = true;
        }
    }
    ++step.reads;
    clock_ = ms;
}

void Recorder::MouseAcquired(HRESULT result) {
    if (result == S_OK)
        acquired_ = true;
    else if (result == DIERR_INPUTLOST)
        ++step_.acquireLost;
    else
        ++step_.acquireDenied;
}

void Recorder::MouseRead(HRESULT result, const in::Reading& reading) {
    if (FAILED(result)) {
        // The replay's mouse fails by itself while it is not acquired.
        if (acquired_) ++step_.mouseReadFaults;
        acquired_ = false;
        return;
    }
    if (!acquired_) inexact_ = true;
    step_.dx += reading.dx;
    step_.dy += reading.dy;
    bool down = reading.buttons & 1;
    if (down != buttonDown_) {
        if (step_.buttonChanged) inexact_ = true;  // one button line a step
        step_.buttonChanged = true;
        buttonDown_ = down;
    }
}

void Recorder::Presented(HRESULT result) {
    if (result == DDERR_WASSTILLDRAWING) ++step_.flipBusy;
    if (result == DDERR_SURFACELOST) ++step_.surfaceLost;
}

// The replay's store answers from what the recording said it held and what the program wrote
// since; where the real one answered otherwise (its first read, a write that failed, a file
// changed from outside), the step says what it held before the read.
void Recorder::StoreRead(store::Found found, const std::uint8_t* bytes, std::size_t got) {
    got = got < store_.bytes.size() ? got : store_.bytes.size();
    bool same = storeKnown_ && found == store_.found &&
                (found != store::Found::Bytes ||
                 (got == store_.size && std::memcmp(bytes, store_.bytes.data(), got) == 0));
    if (!same) {
        if (step_.storeSet) inexact_ = true;  // one `best-score` line a step
        step_.storeSet = true;
        step_.store.found = found;
        step_.store.size = got;
        std::memcpy(step_.store.bytes.data(), bytes, got);
    }
    storeKnown_ = true;
    store_.found = found == store::Found::Missing ? store::Found::Bytes : found;  // made empty
    store_.size = found == store::Found::Bytes ? got : 0;
    std::memcpy(store_.bytes.data(), bytes, store_.size);
}

// A write the real store refused (a file the player made read-only) the replay's refuses too.
void Recorder::StoreReplaced(const std::uint8_t* bytes, std::size_t size, bool replaced) {
    if (!replaced) {
        ++step_.storeWriteFaults;
        return;
    }
    storeKnown_ = true;
    store_.found = store::Found::Bytes;
    store_.size = size < store_.bytes.size() ? size : store_.bytes.size();
    std::memcpy(store_.bytes.data(), bytes, store_.size);
}

void Recorder::MessagePosted(const MSG& message) {
    char text[64];
    int size = 0;
    switch (message.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            char name[8];
            size = std::snprintf(text, sizeof text, "key %s%s%s%s\n",
                                 (message.modifiers & MOD_ALT) ? "alt+" : "",
                                 (message.modifiers & MOD_CONTROL) ? "ctrl+" : "",
                                 (message.modifiers & MOD_SHIFT) ? "shift+" : "",
                                 KeyName(static_cast<std::uint32_t>(message.wParam), name));
            // The script makes an Alt key a system key, as the desktop does.
            if ((message.message == WM_SYSKEYDOWN) != ((message.modifiers & MOD_ALT) != 0))
                inexact_ = true;
            break;
        }
        case WM_SIZE:
            size = std::snprintf(text, sizeof text, "%s\n",
                                 message.wParam == SIZE_MINIMIZED ? "minimize"
                                 : message.wParam == SIZE_RESTORED ? "restore"
                                 : message.wParam == SIZE_MAXHIDE  ? "hide"
                                                                   : "maximize");
            break;
        case WM_CLOSE: size = std::snprintf(text, sizeof text, "close\n"); break;
        default: inexact_ = true; return;
    }
    if (size <= 0 || step_.messageBytes + static_cast<std::size_t>(size) > messageText_.size()) {
        inexact_ = true;
        return;
    }
    std::memcpy(messageText_.data() + step_.messageBytes, text, static_cast<std::size_t>(size));
    step_.messageBytes += static_cast<std::size_t>(size);
    ++step_.messages;
}

// --- Steps into lines ---------------------------------------------------------------------

void Recorder::PumpBegins(bool wait) {
    if (!begun_)
        WriteHeader();
    else
        CloseStep();
    step_ = Step{};
    step_.clockFrom = clock_;
    step_.wait = wait;
    step_.framesRun = program_.framesRun();
    if (clock_ - lastCheck_ >= kCheckEvery) Checkpoint();
    if (wait) Flush();  // the wait may be long, or the last thing the program does
}

void Recorder::WriteHeader() {
    if (seedRead_) Line("seed %u", seed_);
    for (int i = 0; i < 4; ++i)
        if (startUpFailed_[i]) Line("fail %s", kStartUpFailures[i]);
    // What start-up read and flipped before the loop began.
    if (step_.ClockMoved()) Line("clock %u", step_.firstRead);
    WriteSetUp(step_, false);
    Line("begin");
    begun_ = true;
    lastCheck_ = clock_;
}

void Recorder::WriteSetUp(const Step& step, bool withClock) {
    if (step.storeSet) {
        char hex[2 * store::SIZE + 1] = {};
        for (std::size_t i = 0; i < step.store.size; ++i)
            std::snprintf(hex + 2 * i, 3, "%02x", step.store.bytes[i]);
        Line("best-score %s", step.store.found == store::Found::Missing      ? "none"
                              : step.store.found == store::Found::Unreadable ? "unreadable"
                              : step.store.size == 0                         ? "empty"
                                                                             : hex);
    }
    if (withClock && step.ClockMoved()) {
        std::uint32_t moved = step.firstRead - step.clockFrom;
        if (moved < 0x80000000u)
            Line("wait %u", moved);
        else
            Line("clock %u", step.firstRead);
    }
    for (std::uint32_t i = 0; i < step.movesUsed; ++i) Line("then %u", step.moves[i]);
    std::int64_t dx = step.dx, dy = step.dy;
    while (dx != 0 || dy != 0) {  // a line holds 32 bits a direction
        auto part = [](std::int64_t& left) {
            std::int64_t p = left < INT32_MIN ? INT32_MIN : left > INT32_MAX ? INT32_MAX : left;
            left -= p;
            return static_cast<long long>(p);
        };
        long long x = part(dx), y = part(dy);
        Line("mouse %lld %lld", x, y);
    }
    if (step.buttonChanged) Line("button %s", buttonDown_ ? "down" : "up");
    if (step.mouseReadFaults) Line("fault mouse-read %u", step.mouseReadFaults);
    if (step.acquireLost) Line("fault acquire-lost %u", step.acquireLost);
    if (step.acquireDenied) Line("fault acquire-denied %u", step.acquireDenied);
    if (step.flipBusy) Line("fault flip-busy %u", step.flipBusy);
    for (std::uint32_t i = 0; i < step.surfaceLost; ++i) Line("fault surface-lost");
    if (step.storeWriteFaults) Line("fault store-write %u", step.storeWriteFaults);
}

void Recorder::CloseStep() {
    const Step& step = step_;
    bool onlyClock = step.movesUsed == 0 && !step.storeSet && step.storeWriteFaults == 0 &&
                     step.dx == 0 && step.dy == 0 && !step.buttonChanged &&
                     step.mouseReadFaults == 0 && step.acquireLost == 0 &&
                     step.acquireDenied == 0 && step.flipBusy == 0 && step.surfaceLost == 0;
    if (step.messages == 0) {
        // An inactive window's look that finds nothing goes on to wait: no line says it.
        if (!step.framesRun && !step.wait) return WriteSetUp(step, true);
        std::uint32_t moved = step.ClockMoved() ? step.firstRead - step.clockFrom : 0;
        if (onlyClock && moved < 0x80000000u) return AddPass(moved);
        FlushPasses();
        WriteSetUp(step, moved >= 0x80000000u);
        if (moved > 0 && moved < 0x80000000u)
            Line("play 1 %u", moved);
        else
            Line("frame");
        return;
    }
    FlushPasses();
    // One look that found several messages, or found one while the window was inactive (the
    // replay's loop would otherwise wait for it), says so with `together`.
    if (step.messages > 1 || (!step.wait && !step.framesRun)) Line("together %u", step.messages);
    WriteSetUp(step, true);
    Put(messageText_.data(), step.messageBytes);
}

void Recorder::AddPass(std::uint32_t ms) {
    if (passes_ > 0 && samePasses_ && ms == passMs_[0]) {
        if (passes_ < kPassList) passMs_[passes_] = ms;
        ++passes_;
        return;
    }
    if (passes_ >= kPassList) FlushPasses();
    if (passes_ > 0) samePasses_ = false;
    passMs_[passes_++] = ms;
}

void Recorder::FlushPasses() {
    if (passes_ == 0) return;
    if (!samePasses_) {
        char list[kPassList * 11];
        std::size_t used = 0;
        for (std::uint32_t i = 0; i < passes_; ++i)
            used += static_cast<std::size_t>(
                std::snprintf(list + used, sizeof list - used, i ? " %u" : "%u", passMs_[i]));
        Line("passes %s", list);
    } else if (passMs_[0] != 0) {
        Line("play %u %u", passes_, passMs_[0]);
    } else if (passes_ == 1) {
        Line("frame");
    } else {
        Line("frame %u", passes_);
    }
    passes_ = 0;
    samePasses_ = true;
}

void Recorder::Checkpoint() {
    FlushPasses();
    if (inexact_) {
        Line("# from here on the recording may not be exact: the script can't say all it saw");
        inexact_ = false;
    }
    char state[7800];
    std::size_t size = program_.state(state, sizeof state, clock_);
    Line("check %.*s page=%016llx", static_cast<int>(size), state,
         static_cast<unsigned long long>(tap::ShownPageHash()));
    lastCheck_ = clock_;
    Flush();
}

void Recorder::Finish(int exitCode) {
    if (!begun_)
        WriteHeader();  // start-up ended the program before its loop
    else
        CloseStep();
    step_ = Step{};
    Checkpoint();
    Line("end %d", exitCode);
    Flush();
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

// --- Writing ----------------------------------------------------------------------------

void Recorder::Line(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int size = std::vsnprintf(line_.data(), line_.size() - 1, format, arguments);
    va_end(arguments);
    if (size < 0 || static_cast<std::size_t>(size) >= line_.size() - 1) return;
    line_[static_cast<std::size_t>(size)] = '\n';
    Put(line_.data(), static_cast<std::size_t>(size) + 1);
}

// Only whole lines are ever in the buffer, so the file always ends with a whole line.
void Recorder::Put(const char* text, std::size_t size) {
    if (failed_) return;
    if (used_ + size > buffer_.size()) Flush();
    if (size > buffer_.size()) return;
    std::memcpy(buffer_.data() + used_, text, size);
    used_ += size;
}

void Recorder::Flush() {
    std::size_t put = 0;
    while (!failed_ && put < used_) {
        ssize_t n = WriteWithoutPipeSignal(fd_, buffer_.data() + put, used_ - put);
        if (n < 0 && errno == EINTR) continue;
        if (n > 0) {
            put += static_cast<std::size_t>(n);
            continue;
        }
        int error = n < 0 ? errno : ENOSPC;
        // A line cut short would make the whole file unreadable: what this flush wrote goes.
        if (ftruncate(fd_, static_cast<off_t>(written_)) != 0) {
            // The file may end in a piece of a line then; the reader says which.
        }
        std::fprintf(stderr,
                     "quendra: can't write the recording to %s: %s; the game goes on without it\n",
                     name_, std::strerror(error));
        failed_ = true;
    }
    if (!failed_) written_ += used_;
    used_ = 0;
}
