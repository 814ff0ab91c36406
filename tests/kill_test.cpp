// The best-score file stays whole while two writers in one folder are killed at random moments.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "tests/files.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The file's value, or -1 when it is not exactly 4 bytes of 7, 0 or 3.
int Whole(const fs::path& file) {
    const std::string bytes = FileBytes(file).value_or("");
    for (char value : {char{7}, char{0}, char{3}})
        if (bytes == std::string{value, 0, 0, 0}) return value;
    return -1;
}

pid_t Start(const fs::path& folder, const fs::path& script) {
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        if (chdir(folder.c_str()) != 0 || null < 0) _exit(127);
        dup2(null, STDOUT_FILENO);
        execl(QUENDRA_REPLAY, QUENDRA_REPLAY, script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

TEST(KillTest, EveryBestScoreFileSeenOrLeftIsWhole) {
    // Memory is a faster disk: more writes run in the time before each kill.
    const fs::path folder =
        FreshFolder("quendra-kill", access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    ASSERT_FALSE(folder.empty());
    const fs::path file = folder / "QUENDRA.DAT", script = folder / "script";
    {
        std::ofstream out(script);
        for (int i = 0; i < 20000; ++i) out << "key down\nkey enter\nkey enter\nkey escape\n";
        std::ofstream(file, std::ios::binary).write("\7\0\0\0", 4);
    }
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> moment(0, 30);  // ms after the round's first write
    auto identity = [&] {  // a new file in the folder: the round has written
        struct stat status {};
        stat(file.c_str(), &status);
        return status.st_ino;
    };

    int kills = 0, exits = 0, reads = 0, broken = 0;
    std::set<int> seen;
    constexpr int together = 2;  // instances in one folder
    for (int round = 0; round < 60; ++round) {
        pid_t pids[together];
        for (int i = 0; i < together; ++i) ASSERT_GT(pids[i] = Start(folder, script), 0);
        const ino_t before = identity();
        const Clock::time_point start = Clock::now();
        Clock::time_point at[together] = {Clock::time_point::max(), Clock::time_point::max()};
        // Read the file while waiting, as another program (or the other instance) would.
        for (int alive = together; alive > 0;) {
            const int value = Whole(file);
            ++reads, broken += value < 0;
            seen.insert(value);
            usleep(100);  // leaves the writers the processor
            Clock::time_point now = Clock::now();
            if (at[0] == Clock::time_point::max() &&
                (identity() != before || now - start > std::chrono::seconds(10)))
                for (int i = 0; i < together; ++i)
                    at[i] = now + std::chrono::milliseconds(moment(random));
            for (int i = 0; i < together; ++i)
                if (pids[i] && now >= at[i]) {
                    kill(pids[i], SIGKILL);
                    int status = 0;
                    waitpid(pids[i], &status, 0);
                    ++(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? kills : exits);
                    pids[i] = 0, --alive;
                }
        }
        ASSERT_GE(Whole(file), 0) << "after round " << round;
    }
    EXPECT_EQ(broken, 0) << "of " << reads << " reads while " << kills << " kills fell";
    EXPECT_EQ(exits, 0) << "the script should outlast every round";
    // Both values were written while the test ran, so the kills fell among writes.
    EXPECT_TRUE(seen.count(0) && seen.count(3));
    fs::remove_all(folder);
}

}  // namespace
