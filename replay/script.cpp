// Parsing replay scripts.
#include "replay/script.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/key_names.h"
#include "platform/platform.h"
#include "platform/window.h"

namespace replay {

bool ParseUnsigned(std::string_view text, std::uint32_t& value) {
    if (text.empty()) return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
        if (v > 0xFFFFFFFFu) return false;
    }
    value = static_cast<std::uint32_t>(v);
    return true;
}

bool ParseSigned(std::string_view text, std::int32_t& value) {
    bool negative = !text.empty() && text[0] == '-';
    std::uint32_t magnitude = 0;
    if (!ParseUnsigned(negative ? text.substr(1) : text, magnitude)) return false;
    if (magnitude > (negative ? 2147483648u : 2147483647u)) return false;
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<std::int32_t>(magnitude);
    return true;
}

std::string Escape(std::string_view text, std::size_t limit) {
    static const char hex[] = "0123456789abcdef";
    std::string shown;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            shown += "\\x";
            shown += hex[c >> 4];
            shown += hex[c & 15];
        }
    }
    if (text.size() > limit) shown += "... (" + std::to_string(text.size()) + " bytes)";
    return shown;
}

// --- The compact form: an opcode byte, then the line's numbers as LEB128 varints ------------

namespace {

void PutVarint(std::vector<std::uint8_t>& code, std::uint64_t value) {
    for (; value >= 0x80; value >>= 7) code.push_back(static_cast<std::uint8_t>(value | 0x80));
    code.push_back(static_cast<std::uint8_t>(value));
}

std::uint64_t GetVarint(const std::vector<std::uint8_t>& code, std::size_t& at) {
    std::uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
        std::uint8_t byte = code[at++];
        value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) return value;
    }
}

// Mouse motion is signed: zigzag keeps small motions in one byte either way.
std::uint32_t Zigzag(std::int32_t v) {
    return (static_cast<std::uint32_t>(v) << 1) ^ static_cast<std::uint32_t>(v < 0 ? -1 : 0);
}
std::int32_t Unzigzag(std::uint64_t v) {
    auto u = static_cast<std::uint32_t>(v);
    return static_cast<std::int32_t>((u >> 1) ^ (0u - (u & 1)));
}

}  // namespace

bool Script::Append(const Line& line) {
    // The most one line can take: its opcode, two 10-byte numbers (a modifier byte is less), and
    // a dump's path, a check's state or the waits of `passes` with its end.
    constexpr std::size_t kMostBesidesText = 1 + 2 * 10 + 1;
    if (code_.size() + kMostBesidesText + line.text.size() > kMaxScriptBytes) return false;
    code_.push_back(static_cast<std::uint8_t>(line.command));
    if (line.command == Command::BestScore) hasBestScore_ = true;
    switch (line.command) {
        case Command::Wait:
        case Command::Then:
        case Command::Clock: PutVarint(code_, line.ms); break;
        case Command::Play: PutVarint(code_, line.count), PutVarint(code_, line.ms); break;
        case Command::Frame:
        case Command::FaultFlipBusy:
        case Command::FaultSurfaceLost:
        case Command::FaultMouseRead:
        case Command::FaultAcquireLost:
        case Command::FaultAcquireDenied:
        case Command::FaultStoreWrite:
        case Command::Seed:
        case Command::Fail:
        case Command::Together: PutVarint(code_, line.count); break;
        case Command::BestScore: PutVarint(code_, line.count), PutVarint(code_, line.ms); break;
        case Command::Key: PutVarint(code_, line.key), code_.push_back(line.modifiers); break;
        case Command::Mouse:
            PutVarint(code_, Zigzag(line.dx)), PutVarint(code_, Zigzag(line.dy));
            break;
        case Command::End:
            PutVarint(code_, line.number - lastNumbered_);
            lastNumbered_ = line.number;
            PutVarint(code_, line.count);
            break;
        case Command::Passes:
            PutVarint(code_, line.count);
            PutVarint(code_, line.text.size());
            code_.insert(code_.end(), line.text.begin(), line.text.end());
            code_.push_back(0);
            break;
        case Command::Dump:
        case Command::Check:
            PutVarint(code_, line.number - lastNumbered_);
            lastNumbered_ = line.number;
            PutVarint(code_, line.text.size());
            code_.insert(code_.end(), line.text.begin(), line.text.end());
            code_.push_back(0);
            break;
        default: break;
    }
    return true;
}

bool Script::Next(Cursor& cursor, Line& line) const {
    std::size_t& at = cursor.at;
    if (at >= code_.size()) return false;
    line = Line{};
    line.command = static_cast<Command>(code_[at++]);
    auto u32 = [&] { return static_cast<std::uint32_t>(GetVarint(code_, at)); };
    switch (line.command) {
        case Command::Wait:
        case Command::Then:
        case Command::Clock: line.ms = u32(); break;
        case Command::Play: line.count = u32(), line.ms = u32(); break;
        case Command::Frame:
        case Command::FaultFlipBusy:
        case Command::FaultSurfaceLost:
        case Command::FaultMouseRead:
        case Command::FaultAcquireLost:
        case Command::FaultAcquireDenied:
        case Command::FaultStoreWrite:
        case Command::Seed:
        case Command::Fail:
        case Command::Together: line.count = u32(); break;
        case Command::BestScore: line.count = u32(), line.ms = u32(); break;
        case Command::Key: line.key = u32(), line.modifiers = code_[at++]; break;
        case Command::Mouse:
            line.dx = Unzigzag(GetVarint(code_, at));
            line.dy = Unzigzag(GetVarint(code_, at));
            break;
        case Command::End:
            line.number = cursor.number += GetVarint(code_, at);
            line.count = u32();
            break;
        case Command::Passes:
        case Command::Dump:
        case Command::Check: {
            if (line.command == Command::Passes)
                line.count = u32();
            else
                line.number = cursor.number += GetVarint(code_, at);
            auto size = static_cast<std::size_t>(GetVarint(code_, at));
            line.text = {reinterpret_cast<const char*>(code_.data() + at), size};
            at += size + 1;
            break;
        }
        default: break;
    }
    return true;
}

// --- Checking lines ---------------------------------------------------------------------------

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The next word of `text`, taken off its front (empty at the end).
std::string_view TakeWord(std::string_view& text) {
    std::size_t at = 0;
    while (at < text.size() && IsSpace(text[at])) ++at;
    std::size_t end = at;
    while (end < text.size() && !IsSpace(text[end])) ++end;
    std::string_view word = text.substr(at, end - at);
    text.remove_prefix(end);
    return word;
}

std::string Quote(std::string_view word) { return "'" + Escape(word) + "'"; }

// A key name, with optional alt+, ctrl+, shift+ in front.
bool ParseKey(std::string_view rest, Line& line) {
    for (std::size_t plus; (plus = rest.find('+')) != std::string_view::npos;) {
        std::string_view modifier = rest.substr(0, plus);
        if (modifier == "alt") line.modifiers |= MOD_ALT;
        else if (modifier == "ctrl") line.modifiers |= MOD_CONTROL;
        else if (modifier == "shift") line.modifiers |= MOD_SHIFT;
        else return false;
        rest = rest.substr(plus + 1);
    }
    if (rest.empty()) return false;
    for (char c : rest)
        if (c >= 'A' && c <= 'Z') return false;  // key names are lower case
    line.key = KeyFromName(rest);
    return true;
}

// The bytes of a best-score file as a `best-score` line gives them.
bool ParseBestScore(std::string_view word, Line& line) {
    if (word == "none" || word == "unreadable" || word == "empty") {
        line.count = word == "none"         ? BEST_SCORE_NONE
                     : word == "unreadable" ? BEST_SCORE_UNREADABLE
                                            : 0;
        return true;
    }
    static_assert(store::SIZE <= sizeof line.ms, "the bytes are held in line.ms");
    if (word.size() % 2 != 0 || word.size() > 2 * store::SIZE) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        char c = word[i];
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return false;
        line.ms |= static_cast<std::uint32_t>(digit) << (8 * (i / 2) + (i % 2 == 0 ? 4 : 0));
    }
    line.count = static_cast<std::uint32_t>(word.size() / 2);
    return true;
}

// The words of one line: the first few kept (no command takes more than three), all counted.
struct Words {
    static constexpr std::size_t kKept = 4;
    std::string_view word[kKept];
    std::size_t n = 0;
    std::string_view rest;  // what follows the first word, spaces around it trimmed
};

bool ParseLine(const Words& words, Line& line, std::string& error) {
    std::string_view verb = words.word[0];
    std::size_t n = words.n;
    auto arity = [&](std::size_t wanted) {
        if (n == wanted + 1) return true;
        error = "'" + std::string(verb) + "' takes " + std::to_string(wanted) + " argument" +
                (wanted == 1 ? "" : "s");
        return false;
    };
    auto number = [&](std::size_t i, std::uint32_t& value, const char* what) {
        if (ParseUnsigned(words.word[i], value)) return true;
        error = std::string("bad ") + what + " " + Quote(words.word[i]) +
                " (a number from 0 to 4294967295)";
        return false;
    };
    if (verb == "wait" || verb == "clock" || verb == "then") {
        line.command = verb == "wait"   ? Command::Wait
                       : verb == "then" ? Command::Then
                                        : Command::Clock;
        return arity(1) && number(1, line.ms, "time");
    }
    if (verb == "frame") {
        line.command = Command::Frame;
        line.count = 1;
        if (n == 1) return true;
        return arity(1) && number(1, line.count, "count");
    }
    if (verb == "passes") {
        line.command = Command::Passes;
        line.text = words.rest;
        std::string_view waits = words.rest;
        for (std::string_view word; !(word = TakeWord(waits)).empty(); ++line.count) {
            std::uint32_t ms;
            if (ParseUnsigned(word, ms)) continue;
            error = "bad time " + Quote(word) + " (a number from 0 to 4294967295)";
            return false;
        }
        if (line.count > 0) return true;
        error = "'passes' needs at least one time";
        return false;
    }
    if (verb == "play") {
        line.command = Command::Play;
        return arity(2) && number(1, line.count, "count") && number(2, line.ms, "time");
    }
    if (verb == "key") {
        line.command = Command::Key;
        if (!arity(1)) return false;
        if (ParseKey(words.word[1], line)) return true;
        error = "bad key name " + Quote(words.word[1]);
        return false;
    }
    if (verb == "mouse") {
        line.command = Command::Mouse;
        if (!arity(2)) return false;
        if (ParseSigned(words.word[1], line.dx) && ParseSigned(words.word[2], line.dy)) return true;
        error = "bad mouse motion (two signed 32-bit numbers)";
        return false;
    }
    if (verb == "button") {
        if (!arity(1)) return false;
        if (words.word[1] == "down" || words.word[1] == "up") {
            line.command = words.word[1] == "down" ? Command::ButtonDown : Command::ButtonUp;
            return true;
        }
        error = "'button' takes 'down' or 'up'";
        return false;
    }
    if (verb == "minimize" || verb == "restore" || verb == "hide" || verb == "close" ||
        verb == "state" || verb == "maximize" || verb == "begin") {
        line.command = verb == "minimize"   ? Command::Minimize
                       : verb == "restore"  ? Command::Restore
                       : verb == "hide"     ? Command::Hide
                       : verb == "close"    ? Command::Close
                       : verb == "maximize" ? Command::Maximize
                       : verb == "begin"    ? Command::Begin
                                            : Command::State;
        return arity(0);
    }
    if (verb == "seed" || verb == "end") {
        line.command = verb == "seed" ? Command::Seed : Command::End;
        return arity(1) && number(1, line.count, verb == "seed" ? "seed" : "exit code");
    }
    if (verb == "together") {
        line.command = Command::Together;
        if (!arity(1) || !number(1, line.count, "count")) return false;
        if (line.count >= 1 && line.count <= kMaxTogether) return true;
        error = "'together' takes a count from 1 to " + std::to_string(kMaxTogether);
        return false;
    }
    if (verb == "fail") {
        line.command = Command::Fail;
        if (!arity(1)) return false;
        static constexpr std::string_view kinds[] = {"window", "display", "mouse", "audio"};
        for (std::uint32_t i = 0; i < 4; ++i)
            if (words.word[1] == kinds[i]) return line.count = i, true;
        error = "'fail' takes window, display, mouse or audio, not " + Quote(words.word[1]);
        return false;
    }
    if (verb == "best-score") {
        line.command = Command::BestScore;
        if (!arity(1)) return false;
        if (ParseBestScore(words.word[1], line)) return true;
        error = "bad best-score file " + Quote(words.word[1]) +
                " (none, unreadable, empty, or 1 to 4 bytes in lower-case hex)";
        return false;
    }
    if (verb == "check") {
        line.command = Command::Check;
        line.text = words.rest;
        if (!line.text.empty()) return true;
        error = "'check' needs the state to compare";
        return false;
    }
    if (verb == "fault") {
        if (n < 2) {
            error = "'fault' needs a kind";
            return false;
        }
        std::string_view kind = words.word[1];
        if (kind == "surface-lost") {
            line.command = Command::FaultSurfaceLost;
            line.count = 1;
            if (n == 2) return true;
            error = "'fault surface-lost' takes no count";
            return false;
        }
        if (kind == "flip-busy") line.command = Command::FaultFlipBusy;
        else if (kind == "mouse-read") line.command = Command::FaultMouseRead;
        else if (kind == "acquire-lost") line.command = Command::FaultAcquireLost;
        else if (kind == "acquire-denied") line.command = Command::FaultAcquireDenied;
        else if (kind == "store-write") line.command = Command::FaultStoreWrite;
        else {
            error = "unknown fault " + Quote(kind);
            return false;
        }
        if (n != 3) {
            error = "'fault " + std::string(kind) + "' takes a count";
            return false;
        }
        return number(2, line.count, "count");
    }
    if (verb == "dump") {
        line.command = Command::Dump;
        line.text = words.rest;
        if (!line.text.empty()) return true;
        error = "'dump' needs a path";
        return false;
    }
    error = "unknown command " + Quote(verb);
    return false;
}

}  // namespace

bool NextWait(std::string_view& waits, std::uint32_t& ms) {
    std::string_view word = TakeWord(waits);
    return !word.empty() && ParseUnsigned(word, ms);
}

// --- Reading --------------------------------------------------------------------------------

bool ScriptParser::Fail(std::string message) {
    failed_ = true;
    error_ = ParseError{number_, std::move(message)};
    return false;
}

bool ScriptParser::Feed(const char* data, std::size_t size) {
    while (!failed_ && size > 0) {
        const void* newline = std::memchr(data, '\n', size);
        std::size_t part =
            newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - data) : size;
        if (part > kMaxLineBytes - text_.size())
            return Fail("the line is longer than " + std::to_string(kMaxLineBytes) + " bytes");
        text_.append(data, part);
        if (!newline) break;
        if (!EndLine()) return false;
        ++number_;
        text_.clear();
        data += part + 1, size -= part + 1;
    }
    return !failed_;
}

bool ScriptParser::Finish() {
    if (failed_) return false;
    if (!text_.empty() && !EndLine()) return false;
    script_.lastLine_ = text_.empty() ? number_ - 1 : number_;
    if (firstSetUpLine_ != 0 && !script_.hasBegin_) {
        failed_ = true;
        error_ =
            ParseError{firstSetUpLine_, "'" + firstSetUpVerb_ + "' needs a 'begin' line after it"};
        return false;
    }
    return true;
}

bool ScriptParser::EndLine() {
    std::string_view text = text_;
    // A NUL can't be in a path or a name: it would cut them short unseen.
    if (std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        return Fail("a NUL byte at column " + std::to_string(nul + 1));
    text = text.substr(0, text.find('#'));
    Words words;
    for (std::size_t at = 0;;) {
        while (at < text.size() && IsSpace(text[at])) ++at;
        if (at == text.size()) break;
        std::size_t end = at;
        while (end < text.size() && !IsSpace(text[end])) ++end;
        if (words.n < Words::kKept) words.word[words.n] = text.substr(at, end - at);
        if (words.n == 0) words.rest = text.substr(end);
        ++words.n;
        at = end;
    }
    if (words.n == 0) return true;  // blank or only a comment
    while (!words.rest.empty() && IsSpace(words.rest.front())) words.rest.remove_prefix(1);
    while (!words.rest.empty() && IsSpace(words.rest.back())) words.rest.remove_suffix(1);
    Line line;
    line.number = number_;
    std::string message;
    if (!ParseLine(words, line, message)) return Fail(std::move(message));
    if (!CheckPlace(line, words.word[0])) return false;
    if (script_.Append(line)) return true;
    return Fail("the script is too long (more than " + std::to_string(kMaxScriptBytes) +
                " bytes once checked)");
}

// The lines before `begin` set the platform up before the program starts; `seed` and `fail`
// can stand nowhere else.
bool ScriptParser::CheckPlace(const Line& line, std::string_view verb) {
    const Command c = line.command;
    bool setUp = c == Command::Seed || c == Command::Fail;
    if (c == Command::Begin) {
        if (script_.hasBegin_) return Fail("a second 'begin'");
        if (firstLoopLine_ != 0)
            return Fail("'begin' comes after line " + std::to_string(firstLoopLine_) +
                        ", which only a running program can take");
        script_.hasBegin_ = true;
        return true;
    }
    if (script_.hasBegin_) {
        if (setUp) return Fail("'" + std::string(verb) + "' belongs before 'begin'");
        return true;
    }
    bool early = setUp || c == Command::Clock || c == Command::Wait || c == Command::Then ||
                 c == Command::BestScore || c == Command::Mouse || c == Command::ButtonDown ||
                 c == Command::ButtonUp || c == Command::FaultFlipBusy ||
                 c == Command::FaultSurfaceLost || c == Command::FaultMouseRead ||
                 c == Command::FaultAcquireLost || c == Command::FaultAcquireDenied ||
                 c == Command::FaultStoreWrite;
    if (!early && firstLoopLine_ == 0) firstLoopLine_ = number_;
    if (setUp && firstSetUpLine_ == 0) {
        firstSetUpLine_ = number_;
        firstSetUpVerb_ = verb;
    }
    return true;
}

bool ParseScript(std::istream& input, Script& script, ParseError& error) {
    ScriptParser parser(script);
    char buffer[65536];
    while (input) {
        input.read(buffer, sizeof buffer);
        if (!parser.Feed(buffer, static_cast<std::size_t>(input.gcount()))) break;
    }
    if (input.bad()) {
        error = ParseError{0, "the script can't be read"};
        return false;
    }
    if (parser.Finish()) return true;
    error = parser.error();
    return false;
}

bool ReadScript(int fd, Script& script, ParseError& error) {
    ScriptParser parser(script);
    char buffer[65536];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = ParseError{0, std::strerror(errno)};
            return false;
        }
        if (got == 0) break;
        if (!parser.Feed(buffer, static_cast<std::size_t>(got))) break;
    }
    if (parser.Finish()) return true;
    error = parser.error();
    return false;
}

}  // namespace replay
