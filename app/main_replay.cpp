// quendra-replay: runs the game on the scripted platform from a script; see the README.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "app/options.h"
#include "app/standard_streams.h"
#include "replay/runner.h"

namespace {

constexpr const char* USAGE =
    "usage: quendra-replay [--seed N] [--clock MS] [--fail window|display|mouse|audio]... "
    "[--] SCRIPT\n"
    "       quendra-replay --help | --version\n";

// The exit code when standard output or a dump can't be written: beside the program's own
// codes and EXIT_USAGE_CODE, which a bad script line gets as a bad command line does.
constexpr int kOutputFailed = 3;

int Usage(const std::string& problem) {
    std::fprintf(stderr, "quendra-replay: %s\n%s", problem.c_str(), USAGE);
    return EXIT_USAGE_CODE;
}

}  // namespace

int main(int argc, char** argv) {
    if (!HoldStandardStreams()) return kOutputFailed;  // nothing could be said safely
    replay::Options options;
    const char* scriptPath = nullptr;
    bool optionsEnded = false;  // after "--" a word is the script, even "-x"
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (scriptPath) return Usage("more than one script given");
            scriptPath = argv[i];
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "--version") {
            std::printf(arg == "--help" ? "%s" : "quendra-replay %s\n",
                        arg == "--help" ? USAGE : ProgramVersion());
            return std::fflush(stdout) == 0 ? 0 : kOutputFailed;
        } else if (arg == "--seed" || arg == "--clock") {
            if (!hasValue) return Usage(arg + " needs a number");
            std::uint32_t& value = arg == "--seed" ? options.seed : options.clock;
            if (!replay::ParseUnsigned(argv[++i], value))
                return Usage("bad number for " + arg + ": '" + argv[i] + "'");
        } else if (arg == "--fail") {
            if (!hasValue) return Usage("--fail needs what to fail");
            std::string what = argv[++i];
            if (what == "window") options.faults.window = true;
            else if (what == "display") options.faults.display = true;
            else if (what == "mouse") options.faults.mouse = true;
            else if (what == "audio") options.faults.audio = true;
            else return Usage("--fail takes window, display, mouse or audio, not '" + what + "'");
        } else {
            return Usage("unknown option '" + arg + "'");
        }
    }
    if (!scriptPath) return Usage("no script given");

    replay::Script script;
    replay::ParseError error;
    bool standardInput = std::strcmp(scriptPath, "-") == 0;
    int fd = standardInput ? 0 : open(scriptPath, O_RDONLY | O_CLOEXEC);
    if (fd < 0) error.message = std::strerror(errno);
    bool parsed = false;
    try {
        parsed = fd >= 0 && replay::ReadScript(fd, script, error);
    } catch (const std::bad_alloc&) {  // a memory limit tighter than what a script may take
        error = replay::ParseError{0, std::strerror(ENOMEM)};
    }
    if (fd > 0) close(fd);
    if (!parsed) {
        if (error.line == 0)
            return Usage("can't read the script " +
                         (standardInput ? std::string("from standard input")
                                        : replay::Escape(scriptPath, 256)) +
                         ": " + error.message);
        std::fprintf(stderr, "quendra-replay: line %llu: %s\n",
                     static_cast<unsigned long long>(error.line), error.message.c_str());
        return EXIT_USAGE_CODE;
    }
    bool dumpFailed = false;
    int code = replay::Run(options, script, stdout, dumpFailed);
    // The output is what callers read: losing any of it is a failure, not a run.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "quendra-replay: can't write the output: %s\n", std::strerror(errno));
        return kOutputFailed;
    }
    return dumpFailed ? kOutputFailed : code;
}
