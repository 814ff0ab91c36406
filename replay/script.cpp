// Parsing replay scripts.
#include "replay/script.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

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
    // a dump's path with its end.
    constexpr std::size_t kMostBesidesPath = 1 + 2 * 10 + 1;
    if (code_.size() + kMostBesidesPath + line.path.size() > kMaxScriptBytes) return false;
    code_.push_back(static_cast<std::uint8_t>(line.command));
    switch (line.command) {
        case Command::Wait:
        case Command::Clock: PutVarint(code_, line.ms); break;
        case Command::Play: PutVarint(code_, line.count), PutVarint(code_, line.ms); break;
        case Command::Frame:
        case Command::FaultFlipBusy:
        case Command::FaultSurfaceLost:
        case Command::FaultMouseRead:
        case Command::FaultAcquireLost: PutVarint(code_, line.count); break;
        case Command::Key: PutVarint(code_, line.key), code_.push_back(line.modifiers); break;
        case Command::Mouse: PutVarint(code_, Zigzag(line.dx)), PutVarint(code_, Zigzag(line.dy)); break;
        case Command::Dump:
            PutVarint(code_, line.number - lastDump_);
            lastDump_ = line.number;
            PutVarint(code_, line.path.size());
            code_.insert(code_.end(), line.path.begin(), line.path.end());
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
        case Command::Clock: line.ms = u32(); break;
        case Command::Play: line.count = u32(), line.ms = u32(); break;
        case Command::Frame:
        case Command::FaultFlipBusy:
        case Command::FaultSurfaceLost:
        case Command::FaultMouseRead:
        case Command::FaultAcquireLost: line.count = u32(); break;
        case Command::Key: line.key = u32(), line.modifiers = code_[at++]; break;
        case Command::Mouse:
            line.dx = Unzigzag(GetVarint(code_, at));
            line.dy = Unzigzag(GetVarint(code_, at));
            break;
        case Command::Dump: {
            line.number = cursor.number += GetVarint(code_, at);
            auto size = static_cast<std::size_t>(GetVarint(code_, at));
            line.path = {reinterpret_cast<const char*>(code_.data() + at), size};
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
    static const struct {
        const char* name;
        std::uint32_t key;
    } named[] = {{"up", VK_UP},         {"down", VK_DOWN}, {"enter", VK_RETURN},
                 {"escape", VK_ESCAPE}, {"left", VK_LEFT},  {"right", VK_RIGHT},
                 {"space", VK_SPACE},    {"tab", VK_TAB},   {"backspace", VK_BACK}};
    for (const auto& n : named)
        if (rest == n.name) return line.key = n.key, true;
    if (rest.size() == 1 && ((rest[0] >= 'a' && rest[0] <= 'z') || (rest[0] >= '0' && rest[0] <= '9')))
        return line.key = static_cast<std::uint32_t>(rest[0] >= 'a' ? rest[0] - 'a' + 'A' : rest[0]),
               true;
    std::uint32_t f = 0;
    if (rest[0] == 'f' && ParseUnsigned(rest.substr(1), f) && f >= 1 && f <= 24)
        return line.key = VK_F1 + f - 1, true;
    line.key = 0xFF;  // a key the game knows nothing of
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
    if (verb == "wait" || verb == "clock") {
        line.command = verb == "wait" ? Command::Wait : Command::Clock;
        return arity(1) && number(1, line.ms, "time");
    }
    if (verb == "frame") {
        line.command = Command::Frame;
        line.count = 1;
        if (n == 1) return true;
        return arity(1) && number(1, line.count, "count");
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
        verb == "state") {
        line.command = verb == "minimize" ? Command::Minimize
                       : verb == "restore" ? Command::Restore
                       : verb == "hide"    ? Command::Hide
                       : verb == "close"   ? Command::Close
                                           : Command::State;
        return arity(0);
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
        line.path = words.rest;
        if (!line.path.empty()) return true;
        error = "'dump' needs a path";
        return false;
    }
    error = "unknown command " + Quote(verb);
    return false;
}

}  // namespace

// --- Reading --------------------------------------------------------------------------------

bool ScriptParser::Fail(std::string message) {
    failed_ = true;
    error_ = ParseError{number_, std::move(message)};
    return false;
}

bool ScriptParser::Feed(const char* data, std::size_t size) {
    while (!failed_ && size > 0) {
        const void* newline = std::memchr(data, '\n', size);
        std::size_t part = newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - data)
                                   : size;
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
    return text_.empty() || EndLine();
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
    if (script_.Append(line)) return true;
    return Fail("the script is too long (more than " + std::to_string(kMaxScriptBytes) +
                " bytes once checked)");
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
