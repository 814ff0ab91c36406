// The one interpreter of script lines: it turns them into the scripted world's answers whenever
// the program looks for a message. quendra-replay runs the program on it alone; a program that
// watches a recording takes its input from it (through the tap) beside its real window.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/scripted/scripted.h"
#include "replay/script.h"

namespace replay {

// The exit code when a recording's checkpoint does not hold: beside the program's own codes,
// EXIT_USAGE_CODE (options.h) and quendra-replay's for output it can't write.
inline constexpr int kCheckFailed = 4;

class ScriptDriver : public scripted::Driver {
public:
    // `out` takes the state lines (null: none); `dumps` lets `dump` lines write their files
    // (else they do nothing); `program` names the program in messages on standard error.
    ScriptDriver(const Script& script, std::FILE* out, bool dumps, const char* program);
    ScriptDriver(const ScriptDriver&) = delete;
    ScriptDriver& operator=(const ScriptDriver&) = delete;

    // Runs the lines before `begin`, when the script has one: they set the world up before the
    // program starts. With such lines, a `best-score` line, or `ownBestScore`, the best score
    // is kept in memory, the run's own, never in the best-score file of the current folder.
    void SetUp(bool ownBestScore);
    // Whether a `dump` could not be written (said on standard error with its line).
    bool dumpFailed() const { return dumpFailed_; }
    bool Poll() override;
    bool Wait() override;
    // After the program ended with `code`: checks the lines after its end (a recording's last
    // checkpoint and its `end`; any other line means the program ended before the recording
    // did) and says when a recording ends early. With `stopped` (the watcher stopped it) the
    // rest is not looked at. Returns `code`, or kCheckFailed once a checkpoint did not hold.
    int Finish(int code, bool stopped = false);

private:
    bool Run(bool waiting);
    void Pass();
    bool Execute(const Line& line);
    void Check(const Line& line);
    void Differs(std::uint64_t line, const std::string& what);
    void SetBestScore(const Line& line);

    const Script& script_;
    std::FILE* out_;
    bool dumps_;
    const char* program_;
    Script::Cursor next_;
    std::uint32_t passesLeft_ = 0;
    std::uint32_t passWait_ = 0;
    std::string_view passWaits_;   // a `passes` line's waits still to come, one a pass
    std::uint32_t groupLeft_ = 0;  // messages of a `together` group still to queue
    bool failed_ = false;          // a checkpoint did not hold: the run stops
    bool dumpFailed_ = false;
};

}  // namespace replay
