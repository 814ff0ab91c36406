// The replay runner's contract: refused scripts, bounded input, failed output, the frame dump.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "replay/runner.h"
#include "replay/script.h"
#include "tests/files.h"

namespace {

constexpr std::size_t kMaxLine = replay::kMaxLineBytes;

struct Outcome {
    int code = -1;
    std::string out, err;
    std::vector<std::string> files;  // what the run left in its folder
};

// Runs quendra-replay with `arguments` in a fresh folder holding `script` (also its standard
// input) as "script", after `setup` (shell commands ending in ';'); a hang ends after 30 s.
Outcome RunReplay(const std::string& arguments, const std::string& script,
                  const std::string& setup = "") {
    const std::string base = FreshFolder("quendra-replay");
    std::ofstream(base + "/script", std::ios::binary) << script;
    int status = std::system(("cd " + base + " && " + setup + " timeout 30 " QUENDRA_REPLAY " " +
                              arguments + " < script > out 2> err").c_str());
    Outcome outcome;
    outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.out = FileBytes(base + "/out").value_or("");
    outcome.err = FileBytes(base + "/err").value_or("");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(base))
        outcome.files.push_back(entry.path().lexically_relative(base).string());
    std::sort(outcome.files.begin(), outcome.files.end());
    std::filesystem::remove_all(base);
    return outcome;
}

// A bad line refuses the script whole, naming the line; what a message quotes of hostile bytes
// is printable ASCII of bounded length.
TEST(Replay, RefusesABadScriptWithAShortEscapedMessage) {
    const std::string longWord(10000, '7'), longLine = std::string(kMaxLine + 1, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"state\nwait\n", "line 2: 'wait' takes 1 argument"},
        {"wait -1\n", "line 1: bad time '-1' (a number from 0 to 4294967295)"},
        {"wait 4294967296\n", "line 1: bad time '4294967296' (a number from 0 to 4294967295)"},
        {"# comment\n\nframe 2 3\n", "line 3: 'frame' takes 1 argument"},
        {"play 3\n", "line 1: 'play' takes 2 arguments"},
        {"key Up\n", "line 1: bad key name 'Up'"},
        {"key meta+up\n", "line 1: bad key name 'meta+up'"},
        {"mouse 1\n", "line 1: 'mouse' takes 2 arguments"},
        {"mouse 2147483648 0\n", "line 1: bad mouse motion (two signed 32-bit numbers)"},
        {"button middle\n", "line 1: 'button' takes 'down' or 'up'"},
        {"fault surface-lost 2\n", "line 1: 'fault surface-lost' takes no count"},
        {"fault flip-busy\n", "line 1: 'fault flip-busy' takes a count"},
        {"fault disk-full 1\n", "line 1: unknown fault 'disk-full'"},
        {"dump\n", "line 1: 'dump' needs a path"},
        {std::string("dump a\0b.bmp\n", 13), "line 1: a NUL byte at column 7"},
        {"state\n\x1b[2J\x9b" "31m\n", "line 2: unknown command '\\x1b[2J\\x9b31m'"},
        {"wait " + longWord + "\n", "line 1: bad time '" + longWord.substr(0, 64) +
                                        "... (10000 bytes)' (a number from 0 to 4294967295)"},
        {"state\n#" + longLine + "\n", "line 2: the line is longer than 16384 bytes"},
        {"fault \\ 1\r\n", "line 1: unknown fault '\\x5c'"},
        // A recording's lines: set-up lines stand before `begin`, `begin` before the loop's.
        {"seed 1\nframe\n", "line 1: 'seed' needs a 'begin' line after it"},
        {"wait 1\nframe\nbegin\n",
         "line 3: 'begin' comes after line 2, which only a running program can take"},
        {"begin\nfail audio\n", "line 2: 'fail' belongs before 'begin'"},
        {"fail disk\n", "line 1: 'fail' takes window, display, mouse or audio, not 'disk'"},
        {"together 0\n", "line 1: 'together' takes a count from 1 to 256"},
        {"best-score 05x0\n",
         "line 1: bad best-score file '05x0' (none, unreadable, empty, or 1 to 4 bytes in "
         "lower-case hex)"},
        {"best-score 0102030405\n",
         "line 1: bad best-score file '0102030405' (none, unreadable, empty, or 1 to 4 bytes in "
         "lower-case hex)"},
        {"check\n", "line 1: 'check' needs the state to compare"},
        {"passes 16 17 x\n", "line 1: bad time 'x' (a number from 0 to 4294967295)"},
    };
    for (const auto& [script, message] : cases) {
        Outcome outcome = RunReplay("-", script);
        EXPECT_EQ(outcome.code, 2) << message;
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "quendra-replay: " + message + "\n");
        EXPECT_EQ(outcome.files, (std::vector<std::string>{"err", "out", "script"}));
    }
}

// Every kind of white space separates words alike, and a line of the longest length is taken.
TEST(Replay, TakesAnyWhiteSpaceAndTheLongestLine) {
    Outcome outcome = RunReplay("-", "\v\n\f\n\vstate\f\r\n\t\vdump  a b.bmp \r\n#" +
                                         std::string(kMaxLine - 1, 'x') + "\nclose");
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(outcome.out.substr(0, 6) + outcome.out.substr(outcome.out.size() - 7),
              "state exit 0\n");
    EXPECT_EQ(outcome.files,
              (std::vector<std::string>{"QUENDRA.DAT", "a b.bmp", "err", "out", "script"}));
}

// A 24 MB script runs in 128 MB of address space, and endless input (one line or many) is
// refused within it.
TEST(Replay, ScriptMemoryIsBounded) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space";
#else
    auto limited = [](const std::string& input) {
        std::string command =
            "ulimit -v 131072 && " + input + " | " QUENDRA_REPLAY " - 2>&1 >/dev/null";
        std::FILE* pipe = popen(command.c_str(), "r");
        std::string said;
        for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) said += static_cast<char>(c);
        int status = pipe ? pclose(pipe) : -1;
        return std::make_pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, said);
    };
    EXPECT_EQ(limited("{ yes frame | head -n 4000000; echo state; }").first, 0);
    EXPECT_EQ(limited("cat /dev/zero").first, 2);
    EXPECT_EQ(limited("yes frame"),  // 2 bytes a line once checked
              std::make_pair(2, std::string("quendra-replay: line 8388599: the script is too long "
                                            "(more than 16777216 bytes once checked)\n")));
#endif
}

// A dump that can't be written whole is exit 3 with the reason, after the run's end; no part is
// left, and what is not a regular file is neither written into (a FIFO would hang) nor replaced.
TEST(Replay, ADumpThatCantBeWrittenIsAnOutputFailureAndLeavesNothing) {
    struct Case { std::string path, setup, why; };
    std::vector<Case> cases = {
        {"missing/x.bmp", "", "No such file or directory"},
        {"folder", "mkdir folder;", "Is a directory"},
        {"fifo", "mkfifo fifo;", "it is not a regular file"},
        {"link.bmp", "ln -s elsewhere.bmp link.bmp;", "it is a symbolic link"},
        {"locked/x.bmp", "mkdir locked && chmod 555 locked &&", "Permission denied"},
        {"cut.bmp", "trap '' XFSZ; ulimit -f 64;", "File too large"},  // cut short mid-way
    };
    // A full disk, where a small one can be mounted for the run alone.
    if (std::system("unshare -rm true 2>/dev/null") == 0)
        cases.push_back({"full/x.bmp",
                         "mkdir full && unshare -rm sh -c 'mount -t tmpfs -o size=64k tmpfs full "
                         "&& exec \"$0\" \"$@\"'",
                         "No space left on device"});
    for (const Case& c : cases) {
        const std::string script = "wait 1\nframe\ndump " + c.path + "\nstate\n";
        Outcome outcome = RunReplay("script", script, c.setup);
        EXPECT_EQ(outcome.code, 3) << c.path;
        EXPECT_EQ(outcome.err,
                  "quendra-replay: line 3: can't write " + c.path + ": " + c.why + "\n");
        EXPECT_TRUE(outcome.out.starts_with("state ") && outcome.out.ends_with("exit 0\n"));
        for (const std::string& file : outcome.files)
            EXPECT_TRUE(file == "link.bmp" || (!file.ends_with(".bmp") && !file.ends_with(".tmp")))
                << c.path << " left " << file;
    }
}

// The dump is a 16-bit bottom-up BMP with RGB565 masks, 640x480 written out (its own contract).
TEST(Replay, DumpKeepsEveryPixelExactly) {
    std::vector<std::uint16_t> page(640 * 480);
    for (std::size_t i = 0; i < page.size(); ++i)
        page[i] = static_cast<std::uint16_t>(i * 2654435761u);
    const std::string path = testing::TempDir() + "quendra-dump.bmp";
    ASSERT_EQ(replay::WriteDump(path.c_str(), page), "");
    const std::string bytes = FileBytes(path).value_or("");
    std::remove(path.c_str());
    ASSERT_EQ(bytes.size(), 66u + 640 * 480 * 2);
    auto le = [&](std::size_t at, int n) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    // 16 bits a pixel, bit fields with their masks, 480 rows bottom-up.
    for (auto [at, n, value] : {std::tuple{28, 2, 16u}, {30, 4, 3u}, {54, 4, 0xF800u},
                                {58, 4, 0x07E0u}, {62, 4, 0x001Fu}, {22, 4, 480u}})
        EXPECT_EQ(le(at, n), value) << "at " << at;
    for (int y : {0, 1, 240, 479})
        for (int x : {0, 1, 320, 639})
            EXPECT_EQ(le(66 + (static_cast<std::size_t>(479 - y) * 640 + x) * 2, 2),
                      page[y * 640 + x]);
}

}  // namespace
