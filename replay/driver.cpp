// The script driver: runs script lines whenever the message loop finds its queue empty.
#include "replay/driver.h"

#include <limits>
#include <string_view>

#include "app/state_line.h"
#include "game/state.h"
#include "platform/bytes.h"
#include "platform/tap.h"
#include "platform/window.h"
#include "replay/runner.h"

namespace replay {

namespace {

void Advance(std::uint32_t ms) { scripted::world().clock += ms; }  // wraps, as clocks do

// Counts that add up stop at the most they can hold, rather than wrap round to few or none.
template <typename Total>
void AddUp(Total& total, std::int64_t more) {
    using Limits = std::numeric_limits<Total>;
    if (__builtin_add_overflow(total, more, &total))
        total = more < 0 ? Limits::min() : Limits::max();
}

// The word of `text` that starts at `at`, up to the next space.
std::string_view WordAt(std::string_view text, std::size_t at) {
    return text.substr(at, text.find(' ', at) - at);
}

}  // namespace

ScriptDriver::ScriptDriver(const Script& script, std::FILE* out, bool dumps, const char* program)
    : script_(script), out_(out), dumps_(dumps), program_(program) {}

void ScriptDriver::SetUp(bool ownBestScore) {
    scripted::world().ownStore.used =
        ownBestScore || script_.hasBegin() || script_.hasBestScore();
    if (!script_.hasBegin()) return;
    for (Line line; script_.Next(next_, line) && line.command != Command::Begin;) Execute(line);
}

bool ScriptDriver::Poll() {
    if (windowActive) return Run(false);
    if (passesLeft_ > 0) return true;
    // An inactive window's loop goes on to wait for a message, and the lines run there. Only a
    // `together` group, the messages a recording saw at such a look, is taken now.
    for (Script::Cursor at = next_;;) {
        Line line;
        if (!script_.Next(at, line)) return true;
        if (line.command == Command::Check) {
            next_ = at;
            Check(line);
            if (failed_) return false;
            continue;
        }
        if (line.command != Command::Together) return true;
        next_ = at;
        Execute(line);
        return Run(false);
    }
}

bool ScriptDriver::Wait() { return Run(true); }

// Runs lines until a message is queued (the last of a `together` group) or, when the loop
// looks without waiting, a pass is due. False when the script is used up.
bool ScriptDriver::Run(bool waiting) {
    for (;;) {
        if (waiting) {
            // The passes that are due render nothing while the loop waits; their waits count.
            while (passesLeft_ > 0) Pass();
        } else if (passesLeft_ > 0 && groupLeft_ == 0) {
            Pass();
            return true;
        }
        Line line;
        if (failed_ || !script_.Next(next_, line)) return false;
        if (Execute(line) && (groupLeft_ == 0 || --groupLeft_ == 0)) return true;
        if (failed_) return false;
    }
}

// One pass that is due: its wait moves the clock.
void ScriptDriver::Pass() {
    --passesLeft_;
    std::uint32_t ms = passWait_;
    if (!passWaits_.empty()) NextWait(passWaits_, ms);
    Advance(ms);
}

// Runs one line; returns whether it queued a message.
bool ScriptDriver::Execute(const Line& line) {
    scripted::World& w = scripted::world();
    switch (line.command) {
        case Command::Wait: Advance(line.ms); return false;
        case Command::Clock: w.clock = line.ms; return false;
        case Command::Then:
            if (w.movesCount < w.clockMoves.size())
                w.clockMoves[(w.movesHead + w.movesCount++) % w.clockMoves.size()] = line.ms;
            return false;
        case Command::Frame: passesLeft_ = line.count, passWait_ = 0, passWaits_ = {}; return false;
        case Command::Play:
            passesLeft_ = line.count, passWait_ = line.ms, passWaits_ = {};
            return false;
        case Command::Passes: passesLeft_ = line.count, passWaits_ = line.text; return false;
        case Command::Key:
            PostWindowMessage((line.modifiers & MOD_ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN, line.key, 0,
                              line.modifiers);
            return true;
        case Command::Mouse: AddUp(w.pendingX, line.dx), AddUp(w.pendingY, line.dy); return false;
        case Command::ButtonDown: scripted::SetButton(true); return false;
        case Command::ButtonUp: scripted::SetButton(false); return false;
        case Command::Minimize:
        case Command::Hide:
            scripted::SetForeground(false);
            PostWindowMessage(WM_SIZE,
                              line.command == Command::Hide ? SIZE_MAXHIDE : SIZE_MINIMIZED, 0);
            return true;
        case Command::Restore:
        case Command::Maximize:
            scripted::SetForeground(true);
            PostWindowMessage(WM_SIZE,
                              line.command == Command::Restore ? SIZE_RESTORED : SIZE_MAXIMIZED, 0);
            return true;
        case Command::Close: PostWindowMessage(WM_CLOSE, 0, 0); return true;
        case Command::FaultFlipBusy: AddUp(w.faults.flipBusy, line.count); return false;
        case Command::FaultSurfaceLost: AddUp(w.faults.surfaceLost, line.count); return false;
        case Command::FaultMouseRead: AddUp(w.faults.mouseRead, line.count); return false;
        case Command::FaultAcquireLost: AddUp(w.faults.acquireLost, line.count); return false;
        case Command::FaultAcquireDenied: AddUp(w.faults.acquireDenied, line.count); return false;
        case Command::FaultStoreWrite: AddUp(w.faults.storeWrite, line.count); return false;
        case Command::State:
            if (out_) PrintState(out_, w.clock);
            return false;
        case Command::Dump:
            if (!dumps_) return false;
            if (std::string why = WriteDump(line.text.data(), w.lastFrame); !why.empty()) {
                std::fprintf(stderr, "%s: line %llu: can't write %s: %s\n", program_,
                             static_cast<unsigned long long>(line.number),
                             Escape(line.text, 256).c_str(), why.c_str());
                dumpFailed_ = true;
            }
            return false;
        case Command::Seed: w.tickCount = line.count; return false;
        case Command::Fail:
            (line.count == FAIL_WINDOW    ? w.faults.window
             : line.count == FAIL_DISPLAY ? w.faults.display
             : line.count == FAIL_MOUSE   ? w.faults.mouse
                                          : w.faults.audio) = true;
            return false;
        case Command::Together: groupLeft_ = line.count; return false;
        case Command::BestScore: SetBestScore(line); return false;
        case Command::Check: Check(line); return false;
        case Command::End:
            Differs(line.number, "the recording ends here, and the program goes on");
            return false;
        case Command::Begin: return false;
    }
    return false;
}

// The run's own store takes what the line says the player's held.
void ScriptDriver::SetBestScore(const Line& line) {
    scripted::World::Store& own = scripted::world().ownStore;
    own.found = line.count == BEST_SCORE_NONE         ? store::Found::Missing
                : line.count == BEST_SCORE_UNREADABLE ? store::Found::Unreadable
                                                      : store::Found::Bytes;
    own.size = own.found == store::Found::Bytes ? line.count : 0;
    WriteLe(own.bytes.data(), line.ms, static_cast<int>(own.size));
}

void ScriptDriver::Check(const Line& line) {
    char state[8192];
    std::size_t size = FormatState(state, sizeof state - 32, tap::LastClock());
    std::snprintf(state + size, 32, " page=%016llx",
                  static_cast<unsigned long long>(tap::ShownPageHash()));
    std::string_view now = state, then = line.text;
    if (now == then) return;
    // Name the first field that differs, with both values.
    std::size_t at = 0;
    while (at < now.size() && at < then.size() && WordAt(now, at) == WordAt(then, at))
        at += WordAt(now, at).size() + 1;
    std::string_view mine = at < now.size() ? WordAt(now, at) : "";
    std::string_view theirs = at < then.size() ? WordAt(then, at) : "";
    std::string_view field = mine.substr(0, mine.find('='));
    auto value = [](std::string_view word) { return word.substr(word.find('=') + 1); };
    if (!theirs.empty() && theirs.substr(0, theirs.find('=')) == field)
        Differs(line.number, std::string(field) + " is " + Escape(value(mine)) +
                                 ", the recording has " + Escape(value(theirs)));
    else
        Differs(line.number, "the checkpoint has '" + Escape(theirs) + "' where the run has '" +
                                 Escape(mine) + "'");
}

void ScriptDriver::Differs(std::uint64_t line, const std::string& what) {
    if (failed_) return;
    failed_ = true;
    std::fprintf(stderr, "%s: line %llu: the run differs from the recording: %s\n", program_,
                 static_cast<unsigned long long>(line), what.c_str());
}

int ScriptDriver::Finish(int code, bool stopped) {
    if (stopped) return failed_ ? kCheckFailed : code;
    bool ended = false;
    for (Line line; !failed_ && script_.Next(next_, line);) {
        if (line.command == Command::Check) {
            Check(line);
        } else if (line.command == Command::End) {
            ended = true;
            if (line.count != static_cast<std::uint32_t>(code))
                Differs(line.number, "the program ended with exit code " + std::to_string(code) +
                                         ", the recording with " + std::to_string(line.count));
        } else if (script_.hasBegin() && !ended) {
            // A recording goes on where the program ended: they parted before.
            Differs(next_.number, "the program ended (exit code " + std::to_string(code) +
                                      ") after this line, where the recording goes on");
        }
    }
    if (failed_) return kCheckFailed;
    if (script_.hasBegin() && !ended)
        std::fprintf(stderr,
                     "%s: the recording ends early, at line %llu: it was saved or stopped while "
                     "the program ran, and replays up to there\n",
                     program_, static_cast<unsigned long long>(script_.lastLine()));
    return code;
}

}  // namespace replay
