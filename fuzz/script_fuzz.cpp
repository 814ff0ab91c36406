// The script reader on any bytes: it never fails other than by refusing a line, gives the same
// result however the bytes are split into reads, and its messages are short printable ASCII.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "replay/script.h"

namespace {

struct Outcome {
    replay::Script script;
    bool ok = false;
    replay::ParseError error;
};

void Parse(const char* text, std::size_t size, std::size_t piece, Outcome& out) {
    replay::ScriptParser parser(out.script);
    bool fed = true;
    for (std::size_t at = 0; fed && at < size; at += piece)
        fed = parser.Feed(text + at, size - at < piece ? size - at : piece);
    out.ok = fed && parser.Finish();
    out.error = parser.error();
}

bool Same(const replay::Line& a, const replay::Line& b) {
    return a.command == b.command && a.count == b.count && a.ms == b.ms && a.dx == b.dx &&
           a.dy == b.dy && a.key == b.key && a.modifiers == b.modifiers && a.text == b.text &&
           a.number == b.number;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    Outcome whole, pieces;
    Parse(text, size, size ? size : 1, whole);
    Parse(text, size, size % 7 + 1, pieces);
    if (whole.ok != pieces.ok || whole.error.line != pieces.error.line ||
        whole.error.message != pieces.error.message ||
        whole.script.bytes() != pieces.script.bytes())
        std::abort();
    if (!whole.ok) {
        const std::string& m = whole.error.message;
        if (whole.error.line == 0 || m.empty() || m.size() > 400) std::abort();
        for (char c : m)
            if (c < 0x20 || c > 0x7E) std::abort();
        return 0;
    }
    // Decoding gives back what was checked, lines in order; encoding it again gives as many bytes.
    replay::Script again;
    replay::Script::Cursor a, b;
    replay::Line line, other;
    std::uint64_t lastDump = 0;
    while (whole.script.Next(a, line)) {
        // Dump, check and end lines keep their numbers, rising; dump and check their text.
        bool numbered = line.command == replay::Command::Dump ||
                        line.command == replay::Command::Check ||
                        line.command == replay::Command::End;
        bool text = line.command == replay::Command::Dump || line.command == replay::Command::Check;
        if (numbered && line.number <= lastDump) std::abort();
        if (text && (line.text.empty() || line.text.data()[line.text.size()] != '\0' ||
                     std::memchr(line.text.data(), '\0', line.text.size())))
            std::abort();
        if (numbered) lastDump = line.number;
        if (!pieces.script.Next(b, other) || !Same(line, other)) std::abort();
        again.Append(line);
    }
    if (a.at != whole.script.bytes() || again.bytes() != whole.script.bytes() ||
        whole.script.bytes() > size)
        std::abort();
    return 0;
}
