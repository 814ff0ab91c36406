// The command line of the desktop game.
#include "app/options.h"

#include <cstdio>
#include <cstring>

#ifndef QUENDRA_VERSION
#error "the build defines QUENDRA_VERSION"
#endif

namespace {

constexpr const char* USAGE =
    "usage: quendra [--window] [--no-sound] [--record FILE | --play FILE]\n"
    "       quendra --help | --version\n"
    "\n"
    "A small arcade game: shoot the targets before they reach you.\n"
    "\n"
    "  --window     play in a resizable window instead of the whole screen\n"
    "  --no-sound   play silent\n"
    "  --record FILE  record the run into FILE (quendra-replay FILE replays it)\n"
    "  --play FILE    watch the recording in FILE (Escape or Alt+F10 stops it)\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Exit codes: 0 normal end, 1 could not start or a frame failed, 2 bad command line or\n"
    "recording, 4 a watched recording differs from this program's run.\n";

}  // namespace

const char* ProgramVersion() { return QUENDRA_VERSION; }

int ReadCommandLine(int argc, const char* const* argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
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
        } else if (std::strcmp(arg, "--record") == 0 || std::strcmp(arg, "--play") == 0) {
            const char*& file = arg[2] == 'r' ? options.record : options.play;
            if (i + 1 == argc || file) {
                std::fprintf(stderr, "quendra: %s %s\n", arg,
                             file ? "is given twice" : "needs a file");
                std::fputs(USAGE, stderr);
                return EXIT_USAGE_CODE;
            }
            file = argv[++i];
        } else {
            std::fprintf(stderr, "quendra: %s '%s'\n",
                         arg[0] == '-' ? "unknown option" : "unexpected argument", arg);
            std::fputs(USAGE, stderr);
            return EXIT_USAGE_CODE;
        }
    }
    if (options.record && options.play) {
        std::fprintf(stderr, "quendra: --record and --play can't go together\n");
        std::fputs(USAGE, stderr);
        return EXIT_USAGE_CODE;
    }
    return -1;
}
