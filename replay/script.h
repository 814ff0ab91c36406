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
};

// One line, as the runner takes it.
struct Line {
    std::uint64_t number = 0;  // in the script file, from 1 (kept for dump lines only)
    Command command = Command::State;
    std::uint32_t count = 0;      // frame, play, fault counts
    std::uint32_t ms = 0;         // wait, clock, play
    std::int32_t dx = 0, dy = 0;  // mouse
    std::uint32_t key = 0;        // virtual key
    std::uint8_t modifiers = 0;   // MOD_* held with the key
    std::string_view path;        // dump; NUL-terminated (path.data() is a C string)
};

// A checked script in its compact form.
class Script {
public:
    // Where a reading of the script stands.
    struct Cursor {
        std::size_t at = 0;
        std::uint64_t number = 0;  // the line of the last dump read
    };
    // False, and nothing appended, when the line would take the script past kMaxScriptBytes.
    bool Append(const Line& line);
    // Decodes the line at the cursor and moves past it; false at the end of the script.
    bool Next(Cursor& cursor, Line& line) const;
    std::size_t bytes() const { return code_.size(); }

private:
    std::vector<std::uint8_t> code_;
    std::uint64_t lastDump_ = 0;  // dump lines keep their number as the distance from this
};

struct ParseError {
    std::uint64_t line = 0;  // 0: not about one line (the script can't be read)
    std::string message;     // printable ASCII only, of bounded length
};

// The longest line taken, in bytes, its newline not counted: far more than any command or path
// needs, and little enough to hold.
inline constexpr std::size_t kMaxLineBytes = 16384;

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
    bool Fail(std::string message);

    Script& script_;
    std::string text_;  // the line being read, at most kMaxLineBytes
    std::uint64_t number_ = 1;
    bool failed_ = false;
    ParseError error_;
};

// Reads and checks a whole script; false with the first bad line's number and what is wrong with
// it, or with line 0 when the input can't be read (a directory, a read error).
bool ParseScript(std::istream& input, Script& script, ParseError& error);
bool ReadScript(int fd, Script& script, ParseError& error);

// Decimal numbers as the script and the command line take them.
bool ParseUnsigned(std::string_view text, std::uint32_t& value);
bool ParseSigned(std::string_view text, std::int32_t& value);

// `text` made safe to print: printable ASCII as it is, every other byte (control characters,
// terminal escapes, a backslash, bytes above 127) as \xNN; past `limit` bytes it is cut short
// with "..." and its length.
std::string Escape(std::string_view text, std::size_t limit = 64);

}  // namespace replay
