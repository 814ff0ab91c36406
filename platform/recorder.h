// Recordings: everything that came into the program across the seam, written down as it comes
// in the script language of quendra-replay (see the README), with checkpoints of what the
// program had, so that the run replays exactly and checks itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/tap.h"

class Recorder : public tap::Listener {
public:
    // What the recorder asks of the program above the seam.
    struct Program {
        // Writes the fields of the program's state line for `clock` (as quendra-replay's `state`
        // prints them after "state "), at most `size` bytes with the NUL; returns the length.
        std::size_t (*state)(char* out, std::size_t size, std::uint32_t clock);
        // Whether the loop renders frames now (the window is active).
        bool (*framesRun)();
    };

    // Records into `fd`, open for writing and empty (`name` says which file in messages), which
    // Finish closes. Allocates nothing after this.
    Recorder(int fd, const char* name, Program program);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // The program ended with `exitCode`: the last lines, a last checkpoint and the end are
    // written, and the file is closed.
    void Finish(int exitCode);

    void StartUpStep(int step, bool succeeded) override;
    void PumpBegins(bool wait) override;
    void MessagePosted(const MSG& message) override;
    void ClockRead(std::uint32_t ms) override;
    void TickCountRead(std::uint32_t ticks) override;
    void MouseAcquired(HRESULT result) override;
    void MouseRead(HRESULT result, const in::Reading& reading) override;
    void Presented(HRESULT result) override;
    void StoreRead(store::Found found, const std::uint8_t* bytes, std::size_t got) override;
    void StoreReplaced(const std::uint8_t* bytes, std::size_t size, bool replaced) override;

private:
    // What the best-score store holds, as a `best-score` line says it.
    struct StoreState {
        store::Found found = store::Found::Missing;
        std::array<std::uint8_t, store::SIZE> bytes{};
        std::size_t size = 0;
    };

    // One look at the desktop and what the program took from the platform until the next:
    // in the script, the lines of one run of the replay's driver.
    struct Step {
        bool wait = false;       // a wait for a message
        bool framesRun = false;  // the window was active: a look that finds nothing is a pass
        std::uint32_t messages = 0;
        // The clock: the replay's before the step, the step's first reading, and how it moved
        // after each reading until the last that moved it (`then` lines).
        std::uint32_t clockFrom = 0, reads = 0, firstRead = 0, movesUsed = 0;
        std::array<std::uint32_t, 16> moves{};
        bool ClockMoved() const { return reads > 0 && firstRead != clockFrom; }
        std::int64_t dx = 0, dy = 0;
        bool buttonChanged = false;
        std::uint32_t mouseReadFaults = 0, acquireLost = 0, acquireDenied = 0;
        std::uint32_t flipBusy = 0, surfaceLost = 0, storeWriteFaults = 0;
        std::size_t messageBytes = 0;  // the message lines, in messageText_
        bool storeSet = false;         // a `best-score` line: what the store held before its read
        StoreState store;
    };

    void WriteHeader();
    void CloseStep();
    void WriteSetUp(const Step& step, bool withClock);
    void AddPass(std::uint32_t ms);
    void FlushPasses();
    void Checkpoint();
    void Line(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Put(const char* text, std::size_t size);
    void Flush();

    int fd_;
    const char* name_;
    Program program_;
    bool failed_ = false;
    std::uint64_t written_ = 0;

    // The header: what start-up took, written with `begin` at the first look for messages.
    bool begun_ = false;
    bool seedRead_ = false;
    std::uint32_t seed_ = 0;
    bool startUpFailed_[4] = {};

    // The replay's platform as the lines so far leave it.
    std::uint32_t clock_ = 0;
    bool acquired_ = false;
    bool buttonDown_ = false;
    bool storeKnown_ = false;  // the replay's store: nothing is said of it until a read
    StoreState store_;

    Step step_;
    bool inexact_ = false;  // said once in the file: something the script can't say exactly
    // Passes with nothing but a clock step, not yet written: `play N MS` or `frame N` while
    // their steps are all the same, else `passes MS...` of at most kPassList.
    static constexpr std::uint32_t kPassList = 64;
    std::uint32_t passes_ = 0;
    bool samePasses_ = true;
    std::array<std::uint32_t, kPassList> passMs_{};
    std::uint32_t lastCheck_ = 0;

    std::array<char, 8192> line_{};          // one line being made (a checkpoint is the longest)
    std::array<char, 8192> messageText_{};   // the step's message lines
    std::array<char, 65536> buffer_{};       // whole lines not yet written
    std::size_t used_ = 0;
};
