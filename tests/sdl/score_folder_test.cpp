// The desktop's best-score folder: made when missing, an old score copied once, failures said.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>

#include "app/best_score_folder.h"
#include "game/best_score.h"
#include "game/state.h"
#include "platform/best_score_file.h"
#include "tests/files.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own, with a home and a current folder in it.
class ScoreFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = FreshFolder("quendra-folder");
        fs::create_directories(dir_ / "cwd"), fs::create_directory(dir_ / "home");
        fs::current_path(dir_ / "cwd");
        setenv("HOME", (dir_ / "home").c_str(), 1);
        unsetenv("XDG_DATA_HOME");
    }
    void TearDown() override {
        fs::current_path(start_);
        fs::remove_all(dir_);
        SetBestScorePath(BEST_SCORE_FILE);
        setenv("HOME", home_.c_str(), 1);
    }
    static fs::perms Mode(const fs::path& folder) { return fs::status(folder).permissions(); }

    fs::path dir_, start_ = fs::current_path();
    std::string home_ = std::getenv("HOME") ? std::getenv("HOME") : "/";
};

// The folder is XDG_DATA_HOME's when that is absolute, else HOME's, else the password database's.
TEST_F(ScoreFolder, MissingFoldersAreMadePrivateAndAnOldScoreIsCopiedOnce) {
    std::ofstream("QUENDRA.DAT", std::ios::binary).write("\5\0", 2);
    setenv("XDG_DATA_HOME", "relative/data", 1);  // not absolute: ignored, as the rules say
    UseDesktopBestScoreFile();
    const fs::path file = dir_ / "home/.local/share/quendra/QUENDRA.DAT";
    EXPECT_EQ(BestScorePath(), file);
    for (const char* folder : {".local", ".local/share", ".local/share/quendra"})
        EXPECT_EQ(Mode(dir_ / "home" / folder), fs::perms::owner_all) << folder;
    EXPECT_EQ(FileBytes(file), std::string("\5\0\0\0", 4));

    // Once there, a later old file is not copied again; an old temporary goes.
    std::ofstream("QUENDRA.DAT", std::ios::binary).write("\11\0\0\0", 4);
    const fs::path stale = file.string() + ".77.0.tmp";
    std::ofstream(stale) << "\1";
    const timespec hourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    utimensat(AT_FDCWD, stale.c_str(), hourAgo, 0);
    UseDesktopBestScoreFile();
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_EQ(FileBytes(file), std::string("\5\0\0\0", 4));
    EXPECT_EQ(ReadBestScore(), 5);

    // An XDG folder of its own; an old file that is a FIFO is not waited for nor copied.
    setenv("XDG_DATA_HOME", (dir_ / "data/deeper").c_str(), 1);
    fs::remove("QUENDRA.DAT");
    ASSERT_EQ(mkfifo("QUENDRA.DAT", 0644), 0);
    alarm(10);
    UseDesktopBestScoreFile();
    EXPECT_EQ(ReadBestScore(), 0);
    alarm(0);
    EXPECT_EQ(Mode(dir_ / "data/deeper/quendra"), fs::perms::owner_all);
    EXPECT_EQ(FileBytes(dir_ / "data/deeper/quendra/QUENDRA.DAT"), "");  // created empty, as ever

    unsetenv("XDG_DATA_HOME"), unsetenv("HOME");
    EXPECT_EQ(BestScoreFolder(), fs::path(getpwuid(getuid())->pw_dir) / ".local/share/quendra");
}

// The old score is copied only from a regular file, never through a link, and no wider.
TEST_F(ScoreFolder, OnlyARegularOldFileIsCopiedAndNoWiderThanItWas) {
    const fs::path file = dir_ / "home/.local/share/quendra/QUENDRA.DAT";
    std::ofstream(dir_ / "private", std::ios::binary).write("\7\0\0\0", 4);
    fs::permissions(dir_ / "private", fs::perms(0600));
    fs::create_symlink(dir_ / "private", "QUENDRA.DAT");
    testing::internal::CaptureStderr();
    UseDesktopBestScoreFile();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "quendra-sdl-tests: can't copy the best score from QUENDRA.DAT: it is a symbolic "
              "link\n");
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(ReadBestScore(), 0);

    fs::remove("QUENDRA.DAT"), fs::remove(file);
    std::ofstream("QUENDRA.DAT", std::ios::binary).write("\5\0\0\0", 4);
    fs::permissions("QUENDRA.DAT", fs::perms(0440));
    const mode_t mask = umask(022);
    UseDesktopBestScoreFile();
    umask(mask);
    EXPECT_EQ(FileBytes(file), std::string("\5\0\0\0", 4));
    EXPECT_EQ(Mode(file), fs::perms(0640));  // the player's to write, as before
}

// A folder that can't be made: one message naming the file and reason, and the best still shows.
TEST_F(ScoreFolder, AFolderThatCantBeMadeIsSaidOnceAndTheGameGoesOn) {
    std::ofstream(dir_ / "data") << "a file in the way";
    setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);

    testing::internal::CaptureStderr();
    UseDesktopBestScoreFile();
    runBest = 7, playing = 1;
    EndGame();
    const std::int32_t shown = bestScore;
    ResetBestScore();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::make_pair(shown, bestScore), std::make_pair(7, 0));
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find((dir_ / "data/quendra/QUENDRA.DAT: ").string()), std::string::npos) << said;
    EXPECT_NE(said.find("Not a directory"), std::string::npos) << said;
}

}  // namespace
