// The best-score file: what each content counts as, when it is written, what a folder can't do.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "app/app.h"
#include "game/best_score.h"
#include "game/state.h"
#include "platform/best_score_file.h"
#include "tests/files.h"
#include "tests/test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;  // "\5\0"s holds its zero bytes

void WriteFile(const std::optional<std::string>& bytes, const char* name = BEST_SCORE_FILE) {
    fs::remove(name);
    if (bytes) std::ofstream(name, std::ios::binary) << *bytes;
}

std::set<std::string> Entries(const fs::path& folder = ".") {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

class BestScoreTest : public ProgramTest {
protected:
    BestScoreTest() : ProgramTest(kWindow) {}
};

TEST_F(BestScoreTest, EndGameCountsTheFileAndWritesOnlyWhenBeaten) {
    struct Case {
        const char* what; std::optional<std::string> before;
        std::int32_t runBest, shown; std::string after;
    };
    const Case cases[] = {
        {"missing: created empty", std::nullopt, 0, 0, ""},
        {"empty", "", 0, 0, ""},
        {"two bytes, beaten", "\5\0"s, 6, 6, "\6\0\0\0"s},
        {"little-endian", "\x10\x32\x54\x76", 3, 0x76543210, "\x10\x32\x54\x76"},
        {"negative, replaced by 0", "\xFE\xFF\xFF\xFF", 0, 0, "\0\0\0\0"s},
        {"equal: nothing written", "\12\0\0\0\1"s, 10, 10, "\12\0\0\0\1"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(c.before);
        runBest = c.runBest, playing = 1, menuSelection = 2, bestScore = -5;
        EndGame();
        EXPECT_EQ(std::make_tuple(bestScore, playing, menuSelection),
                  std::make_tuple(c.shown, std::uint8_t{0}, std::uint8_t{0}));
        EXPECT_EQ(FileBytes(BEST_SCORE_FILE), c.after);
        EXPECT_EQ(Entries(), std::set<std::string>{BEST_SCORE_FILE});  // no temporary left
    }
}

// EndGame after a game whose best was `best` (on a fresh path): what the menu shows, what's said.
std::pair<std::int32_t, std::string> EndGameWith(std::int32_t best,
                                                 const char* path = BEST_SCORE_FILE) {
    SetBestScorePath(path);
    runBest = best, playing = 1;
    testing::internal::CaptureStderr();
    EndGame();
    return {bestScore, testing::internal::GetCapturedStderr()};
}

// Hostile entries under the file's or its temporaries' names: nothing is waited for (the alarm
// ends a hang), followed elsewhere, truncated or created outside, and the best still shows.
TEST_F(BestScoreTest, HostileEntriesAreNeitherWaitedForNorFollowed) {
    alarm(20);
    fs::create_directory("elsewhere");

    // The name this process's write tries first holds another's temporary.
    std::string temporary = std::string(BEST_SCORE_FILE) + "." + std::to_string(getpid()) + ".";
    std::ofstream(temporary + "0.tmp") << "\2";
    const std::set<std::string> planted = Entries();
    EXPECT_EQ(EndGameWith(5), std::make_pair(5, std::string()));
    EXPECT_EQ(FileBytes(BEST_SCORE_FILE), "\5\0\0\0"s);
    EXPECT_EQ(FileBytes(temporary + "0.tmp"), "\2");
    EXPECT_EQ(Entries().size(), planted.size() + 1);  // the file, and nothing else new
    for (const std::string& name : Entries())
        if (name != "elsewhere") fs::remove(name);

    // Not a regular file (a FIFO; a folder or device meets the same check): read as 0, said once.
    ASSERT_EQ(mkfifo(BEST_SCORE_FILE, 0644), 0);
    auto [shown, said] = EndGameWith(6);
    EXPECT_EQ(shown, 6);
    EXPECT_TRUE(fs::is_fifo(BEST_SCORE_FILE));
    EXPECT_EQ(said, "quendra-tests: can't read the best score from QUENDRA.DAT: it is not a "
                    "regular file\n");
    fs::remove(BEST_SCORE_FILE);
    fs::create_symlink("/dev/urandom", BEST_SCORE_FILE);
    EXPECT_EQ(EndGameWith(1).first, 1);  // random bytes would often show more
    fs::remove(BEST_SCORE_FILE);

    // A link to nothing: its target is not created, neither at start-up nor by a write.
    fs::create_symlink("elsewhere/missing", BEST_SCORE_FILE);
    std::tie(shown, said) = EndGameWith(0);
    EXPECT_NE(said.find("a symbolic link to a file that does not exist"), std::string::npos);
    EXPECT_EQ(EndGameWith(4).first, 4);
    EXPECT_FALSE(fs::exists("elsewhere/missing"));
    EXPECT_TRUE(fs::is_symlink(BEST_SCORE_FILE));
    fs::remove(BEST_SCORE_FILE);

    // A link to a file: the link stays, its target gets the value and keeps its mode.
    std::ofstream("elsewhere/score") << '\2';
    fs::permissions("elsewhere/score", fs::perms(0604));
    fs::create_symlink("elsewhere/score", BEST_SCORE_FILE);
    EXPECT_EQ(EndGameWith(8), std::make_pair(8, std::string()));
    EXPECT_TRUE(fs::is_symlink(BEST_SCORE_FILE));
    EXPECT_EQ(FileBytes("elsewhere/score"), "\x08\0\0\0"s);
    EXPECT_EQ(fs::status("elsewhere/score").permissions(), fs::perms(0604));
    EXPECT_EQ(Entries(), (std::set<std::string>{BEST_SCORE_FILE, "elsewhere"}));
    EXPECT_EQ(Entries("elsewhere"), std::set<std::string>{"score"});
    alarm(0);
}

// Only a temporary of the writes' naming untouched for ten minutes is a cut-short write's; a
// younger one may be another instance's write under way.
TEST_F(BestScoreTest, OnlyTemporariesUntouchedForTenMinutesAreRemoved) {
    const std::time_t now = std::time(nullptr);
    for (auto [name, age] : {std::pair{"QUENDRA.DAT.77.0.tmp", 599},
                             {"QUENDRA.DAT.77.1.tmp", 601}, {"QUENDRA.DAT.x.tmp", 601}}) {
        std::ofstream(name) << '\1';
        const timespec times[2] = {{now - age, 0}, {now - age, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, name, times, 0), 0);
    }
    RemoveStaleTemporaries();
    EXPECT_EQ(Entries(), (std::set<std::string>{"QUENDRA.DAT.77.0.tmp", "QUENDRA.DAT.x.tmp"}));
}

// A read-only file or folder is the player's to keep (root included): neither a game's end nor
// a delete replaces it; said once, and the menu shows the game's best, then the file's.
TEST_F(BestScoreTest, WhatThePlayerMadeReadOnlyIsLeftAlone) {
    fs::create_directory("locked");
    const std::string inLocked = std::string("locked/") + BEST_SCORE_FILE;
    for (const std::string& file : {std::string(BEST_SCORE_FILE), inLocked}) {
        SCOPED_TRACE(file);
        WriteFile("\1\0\0\0"s, file.c_str());
        const bool folder = file == inLocked;
        fs::permissions(folder ? "locked" : file, fs::perms(folder ? 0555 : 0444));
        const fs::perms mode = fs::status(file).permissions();
        const auto [shown, said] = EndGameWith(3, file.c_str());
        testing::internal::CaptureStderr();
        ResetBestScore();
        EXPECT_EQ(said + testing::internal::GetCapturedStderr(),
                  "quendra-tests: can't write the best score to " + file + ": Permission denied\n");
        EXPECT_EQ(std::make_pair(shown, bestScore), std::make_pair(3, 1));
        EXPECT_EQ(FileBytes(file), "\1\0\0\0"s);
        EXPECT_EQ(fs::status(file).permissions(), mode);
    }
    EXPECT_EQ(Entries("locked"), std::set<std::string>{BEST_SCORE_FILE});
    fs::permissions("locked", fs::perms::owner_all);
}

}  // namespace
