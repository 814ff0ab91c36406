// The command line of the desktop game.
#include "app/options.h"

#include <cstdio>
#include <cstring>

#ifndef QUENDRA_VERSION
#error "the build defines QUENDRA_VERSION"
#endif

namespace {

constexpr const char* USAGE =
    "usage: quendra [--window] [--no-sound]\n"
    "       quendra --help | --version\n"
    "\n"
    "A small arcade game: shoot the targets before they reach you.\n"
    "\n"
    "  --window     play in a resizable window instead of the whole screen\n"
    "  --no-sound   play silent\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Exit codes: 0 normal end, 1 could not start or a frame failed, 2 bad command line.\n";

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
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("quendra %s\n", ProgramVersion());
            return std::fflush(stdout) == 0 ? 0 : 1;  // e.g. > /dev/full
        }
        if (std::strcmp(arg, "--window") == 0) {
            options.windowed = true;
        } else if (std::strcmp(arg, "--no-sound") == 0) {
            options.silent = true;
        } else {
            return Refuse("unknown option", arg);
        }
    }
    return -1;
}
