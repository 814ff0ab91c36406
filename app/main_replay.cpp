// quendra-replay: runs the game on the scripted platform from a script; see the README.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "replay/runner.h"

namespace {

int Usage(const std::string& problem) {
    std::fprintf(stderr,
                 "quendra-replay: %s\nusage: quendra-replay [--seed N] [--clock MS] "
                 "[--fail window|display|mouse|audio]... SCRIPT\n",
                 problem.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    replay::Options options;
    const char* scriptPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--seed" || arg == "--clock") {
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
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage("unknown option '" + arg + "'");
        } else if (scriptPath) {
            return Usage("more than one script given");
        } else {
            scriptPath = argv[i];
        }
    }
    if (!scriptPath) return Usage("no script given");

    std::vector<replay::Line> script;
    replay::ParseError error;
    bool parsed;
    if (std::strcmp(scriptPath, "-") == 0) {
        parsed = replay::ParseScript(std::cin, script, error);
    } else {
        std::ifstream file(scriptPath);
        std::error_code ignored;
        if (!file || std::filesystem::is_directory(scriptPath, ignored))
            return Usage(std::string("can't read the script ") + scriptPath);
        parsed = replay::ParseScript(file, script, error);
    }
    if (!parsed) {
        if (error.line == 0) return Usage(error.message);
        std::fprintf(stderr, "quendra-replay: line %d: %s\n", error.line, error.message.c_str());
        return 2;
    }
    return replay::Run(options, script, stdout);
}
