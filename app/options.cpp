// The command line of the desktop game.
#include "app/options.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "platform/mouse_speed.h"

#ifndef QUENDRA_VERSION
#error "the build defines QUENDRA_VERSION"
#endif

namespace {

constexpr const char* USAGE =
    "usage: quendra [--window] [--no-sound] [--mouse-speed F] [--record FILE | --play FILE]\n"
    "       quendra --help | --version\n"
    "\n"
    "A small arcade game: shoot the targets before they reach you.\n"
    "\n"
    "  --window     play in a resizable window instead of the whole screen\n"
    "  --no-sound   play silent\n"
    "  --mouse-speed F\n"
    "               move the crosshair F times as far as the mouse (0.25 to 4, default 1)\n"
    "  --record FILE\n"
    "               record the run into FILE (quendra-replay FILE replays it)\n"
    "  --play FILE  watch the recording in FILE (Escape or Alt+F10 stops it)\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Exit codes: 0 normal end, 1 could not start or a frame failed, 2 bad command line or\n"
    "recording, 4 a watched recording differs from this program's run.\n";

// A mouse speed: a plain decimal number, nothing before or after it, that the mouse takes.
bool ReadMouseSpeed(const char* text, double& speed) {
    // Digits first, and nothing strtod would read as hexadecimal, infinite or not a number.
    if (!text || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.') ||
        text[std::strspn(text, "0123456789.eE+-")] != '\0')
        return false;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (*end != '\0' || !MouseSpeed().Set(value)) return false;
    speed = value;
    return true;
}

// Says what is wrong with the command line, and the usage, on standard error.
int Refuse(const char* problem, const char* arg) {
    std::fprintf(stderr, "quendra: %s '%s'\n", problem, arg);
    std::fputs(USAGE, stderr);
    return EXIT_USAGE_CODE;
}

}  // namespace

const char* ProgramVersion() { return QUENDRA_VERSION; }

int ReadCommandLine(int argc, const char* const* argv, Options& options) {
    bool optionsEnded = false;  // after "--" every word is an argument, and the game takes none
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsEnded && std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg[0] != '-') return Refuse("unexpected argument", arg);
        if (std::strcmp(arg, "--help") == 0) {
            std::fputs(USAGE, stdout);
            return std::fflush(stdout) == 0 ? 0 : EXIT_FAILURE_CODE;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("quendra %s\n", ProgramVersion());
            return std::fflush(stdout) == 0 ? 0 : EXIT_FAILURE_CODE;  // e.g. > /dev/full
        }
        if (std::strcmp(arg, "--window") == 0) {
            options.windowed = true;
        } else if (std::strcmp(arg, "--no-sound") == 0) {
            options.silent = true;
        } else if (std::strcmp(arg, "--mouse-speed") == 0 ||
                   std::strncmp(arg, "--mouse-speed=", 14) == 0) {
            const char* value = arg[13] == '=' ? arg + 14 : i + 1 < argc ? argv[++i] : nullptr;
            if (!ReadMouseSpeed(value, options.mouseSpeed)) {
                std::fprintf(stderr, "quendra: --mouse-speed takes a number from 0.25 to 4%s%s%s\n",
                             value ? ", not '" : "", value ? value : "", value ? "'" : "");
                std::fputs(USAGE, stderr);
                return EXIT_USAGE_CODE;
            }
        } else if (std::strcmp(arg, "--record") == 0 || std::strcmp(arg, "--play") == 0) {
            const char*& file = arg[2] == 'r' ? options.record : options.play;
            if (i + 1 == argc || file)
                return Refuse(file ? "this option is given twice:" : "a file is needed after", arg);
            file = argv[++i];
        } else {
            return Refuse("unknown option", arg);
        }
    }
    if (options.record && options.play) return Refuse("--record can't go with", "--play");
    return -1;
}
