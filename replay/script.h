// The replay script language: one command a line, checked whole before anything runs.
//
// Scripts come from anywhere, so reading one is bounded: it is read in fixed-size pieces, no
// line may be longer than kMaxLineBytes, and the checked script is kept in a compact form (an
// opcode byte and a few variable-length numbers a line, comments and blank lines dropped), which
// takes at most about as many bytes as the script's text and usually far fewer, and never more
// than kMaxScriptBytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace replay {

enum class Command : std::uint8_t {
    Wait, Clock, Frame, Play, Key, Mouse, ButtonDown, ButtonUp, Minimize, Restore, Hide, Close,
    FaultFlipBusy, FaultSurfaceLost, FaultMouseRead, FaultAcquireLost, State, Dump,
    // The lines recordings add (see the README).
    Begin, Seed, Fail, Maximize, Together, FaultAcquireDenied, BestScore, Check, End, Passes,
    Then, FaultStoreWrite,
};

// What a `fail` line makes fail at start-up (Line::count).
enum FailWhat : std::uint32_t { FAIL_WINDOW, FAIL_DISPLAY, FAIL_MOUSE, FAIL_AUDIO };

// What a `best-score` line says the file holds (Line::count): 0 to 4 bytes (Line::ms, lowest
// first), or no file, or a file that can't be read.
inline constexpr std::uint32_t BEST_SCORE_NONE = 5, BEST_SCORE_UNREADABLE = 6;

// One line, as the runner takes it.
struct Line {
    std::uint64_t number = 0;  // in the script file, from 1 (kept for dump, check, end lines)
    Command command = Command::State;
    std::uint32_t count = 0;      // frame, play, fault, together counts; seed; fail; end's code
    std::uint32_t ms = 0;         // wait, clock, play
    std::int32_t dx = 0, dy = 0;  // mouse
    std::uint32_t key = 0;        // virtual key
    std::uint8_t modifiers = 0;   // MOD_* held with the key
    std::string_view text;        // dump's path, check's state, passes' waits; NUL-terminated
};

// A checked script in its compact form.
class Script {
public:
    // Where a reading of the script stands.
    struct Cursor {
        std::size_t at = 0;
        std::uint64_t number = 0;  // the line of the last numbered line read
    };
    // False, and nothing appended, when the line would take the script past kMaxScriptBytes.
    bool Append(const Line& line);
    // Decodes the line at the cursor and moves past it; false at the end of the script.
    bool Next(Cursor& cursor, Line& line) const;
    std::size_t bytes() const { return code_.size(); }
    // Whether the script has a `begin` line: the lines before it set the platform up.
    bool hasBegin() const { return hasBegin_; }
    // Whether the script has a `best-score` line: its best score is then a place of its own.
    bool hasBestScore() const { return hasBestScore_; }
    // The number of the script's last line.
    std::uint64_t lastLine() const { return lastLine_; }

private:
    friend class ScriptParser;
    std::vector<std::uint8_t> code_;
    std::uint64_t lastNumbered_ = 0;  // numbered lines keep their number as the distance from it
    bool hasBegin_ = false;
    bool hasBestScore_ = false;
    std::uint64_t lastLine_ = 0;
};

struct ParseError {
    std::uint64_t line = 0;  // 0: not about one line (the script can't be read)
    std::string message;     // printable ASCII only, of bounded length
};

// The longest line taken, in bytes, its newline not counted: far more than any command or path
// needs, and little enough to hold.
inline constexpr std::size_t kMaxLineBytes = 16384;

// The most messages a `together` line groups: what the message queue holds.
inline constexpr std::uint32_t kMaxTogether = 256;

// The most a checked script may take (2 to 4 bytes a usual line, a dump's path its length): about
// eight million lines, hours of frames, in a few times less memory than the text they came from.
inline constexpr std::size_t kMaxScriptBytes = 16 * 1024 * 1024;

// Checks a script fed in pieces of any size, line by line, into `script`.
class ScriptParser {
public:
    explicit ScriptParser(Script& script) : script_(script) {}
    // False once a line is bad (error() says which and why); nothing more is taken then.
    bool Feed(const char* data, std::size_t size);
    // Takes a last line that has no newline; false if it is bad.
    bool Finish();
    const ParseError& error() const { return error_; }

private:
    bool EndLine();
    bool CheckPlace(const Line& line, std::string_view verb);
    bool Fail(std::string message);

    Script& script_;
    std::string text_;  // the line being read, at most kMaxLineBytes
    std::uint64_t number_ = 1;
    bool failed_ = false;
    ParseError error_;
    // Where `begin` may stand: after the set-up lines, before the first line that runs the loop.
    std::uint64_t firstLoopLine_ = 0;  // the first line that only the loop can run
    std::uint64_t firstSetUpLine_ = 0;  // the first `seed` or `fail`, which need a `begin`
    std::string firstSetUpVerb_;
};

// Reads and checks a whole script; false with the first bad line's number and what is wrong with
// it, or with line 0 when the input can't be read (a directory, a read error).
bool ParseScript(std::istream& input, Script& script, ParseError& error);
bool ReadScript(int fd, Script& script, ParseError& error);

// Takes the next number of a `passes` line's waits off the front of `waits`; false at the end.
bool NextWait(std::string_view& waits, std::uint32_t& ms);

// Decimal numbers as the script and the command line take them.
bool ParseUnsigned(std::string_view text, std::uint32_t& value);
bool ParseSigned(std::string_view text, std::int32_t& value);

// `text` made safe to print: printable ASCII as it is, every other byte (control characters,
// terminal escapes, a backslash, bytes above 127) as \xNN; past `limit` bytes it is cut short
// with "..." and its length.
std::string Escape(std::string_view text, std::size_t limit = 64);

}  // namespace replay
