// Parsing replay scripts.
#include "replay/script.h"

#include <cctype>
#include <sstream>

#include "platform/window.h"

namespace replay {

bool ParseUnsigned(const std::string& text, std::uint32_t& value) {
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

bool ParseSigned(const std::string& text, std::int32_t& value) {
    bool negative = !text.empty() && text[0] == '-';
    std::uint32_t magnitude = 0;
    if (!ParseUnsigned(negative ? text.substr(1) : text, magnitude)) return false;
    if (magnitude > (negative ? 2147483648u : 2147483647u)) return false;
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<std::int32_t>(magnitude);
    return true;
}

namespace {

// A key name, with optional alt+, ctrl+, shift+ in front.
bool ParseKey(const std::string& text, Line& line) {
    std::string rest = text;
    for (;;) {
        std::size_t plus = rest.find('+');
        if (plus == std::string::npos) break;
        std::string modifier = rest.substr(0, plus);
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
    if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0])))
        return line.key = static_cast<std::uint32_t>(std::toupper(rest[0])), true;
    std::uint32_t f = 0;
    if (rest[0] == 'f' && ParseUnsigned(rest.substr(1), f) && f >= 1 && f <= 24)
        return line.key = VK_F1 + f - 1, true;
    line.key = 0xFF;  // a key the game knows nothing of
    return true;
}

bool ParseLine(const std::vector<std::string>& words, const std::string& rest, Line& line,
               std::string& error) {
    const std::string& verb = words[0];
    std::size_t n = words.size();
    auto arity = [&](std::size_t wanted) {
        if (n == wanted + 1) return true;
        error = "'" + verb + "' takes " + std::to_string(wanted) + " argument" +
                (wanted == 1 ? "" : "s");
        return false;
    };
    auto number = [&](std::size_t i, std::uint32_t& value, const char* what) {
        if (ParseUnsigned(words[i], value)) return true;
        error = std::string("bad ") + what + " '" + words[i] + "' (a number from 0 to 4294967295)";
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
        if (ParseKey(words[1], line)) return true;
        error = "bad key name '" + words[1] + "'";
        return false;
    }
    if (verb == "mouse") {
        line.command = Command::Mouse;
        if (!arity(2)) return false;
        if (ParseSigned(words[1], line.dx) && ParseSigned(words[2], line.dy)) return true;
        error = "bad mouse motion (two signed 32-bit numbers)";
        return false;
    }
    if (verb == "button") {
        if (!arity(1)) return false;
        if (words[1] == "down" || words[1] == "up") {
            line.command = words[1] == "down" ? Command::ButtonDown : Command::ButtonUp;
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
        const std::string& kind = words[1];
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
            error = "unknown fault '" + kind + "'";
            return false;
        }
        if (n != 3) {
            error = "'fault " + kind + "' takes a count";
            return false;
        }
        return number(2, line.count, "count");
    }
    if (verb == "dump") {
        line.command = Command::Dump;
        line.path = rest;
        if (!line.path.empty()) return true;
        error = "'dump' needs a path";
        return false;
    }
    error = "unknown command '" + verb + "'";
    return false;
}

std::string Trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return "";
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

}  // namespace

bool ParseScript(std::istream& input, std::vector<Line>& lines, ParseError& error) {
    std::string text;
    for (int number = 1; std::getline(input, text); ++number) {
        std::size_t hash = text.find('#');
        if (hash != std::string::npos) text.erase(hash);
        text = Trim(text);
        if (text.empty()) continue;
        std::istringstream split(text);
        std::vector<std::string> words;
        for (std::string word; split >> word;) words.push_back(word);
        Line line;
        line.number = number;
        std::string rest = Trim(text.substr(words[0].size()));
        if (!ParseLine(words, rest, line, error.message)) {
            error.line = number;
            return false;
        }
        lines.push_back(std::move(line));
    }
    if (input.bad()) {
        error = ParseError{0, "the script can't be read"};
        return false;
    }
    return true;
}

}  // namespace replay
