// The best-score file QUENDRA.DAT: what each content counts as, and when it is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <tuple>
#include <vector>

#include "app/app.h"
#include "game/state.h"
#include "tests/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void WriteFile(const std::optional<Bytes>& bytes) {
    std::filesystem::remove(BEST_SCORE_FILE);
    if (bytes)
        std::ofstream(BEST_SCORE_FILE, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes->data()), std::streamsize(bytes->size()));
}

std::optional<Bytes> ReadFile() {
    std::ifstream file(BEST_SCORE_FILE, std::ios::binary);
    if (!file) return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

class BestScoreTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Open(false);
    }
};

TEST_F(BestScoreTest, EndGameCountsTheFileAndWritesOnlyWhenBeaten) {
    struct Case {
        const char* what;
        std::optional<Bytes> before;
        std::int32_t runBest, shown;
        Bytes after;
    };
    const Bytes eight{7, 0, 0, 0, 9, 9, 9, 9}, five{10, 0, 0, 0, 1};
    const Case cases[] = {
        {"missing: created empty", std::nullopt, 0, 0, {}},
        {"missing: a finished game's best", std::nullopt, 3, 3, {3, 0, 0, 0}},
        {"empty", Bytes{}, 0, 0, {}},
        {"two bytes fill the low bytes", Bytes{5, 0}, 0, 5, {5, 0}},
        {"two bytes, beaten", Bytes{5, 0}, 6, 6, {6, 0, 0, 0}},
        {"eight bytes: the first four count", eight, 7, 7, eight},
        {"eight bytes: a write leaves four", eight, 8, 8, {8, 0, 0, 0}},
        {"little-endian", Bytes{0x10, 0x32, 0x54, 0x76}, 3, 0x76543210, {0x10, 0x32, 0x54, 0x76}},
        {"negative, replaced by 0", Bytes{0xFE, 0xFF, 0xFF, 0xFF}, 0, 0, {0, 0, 0, 0}},
        {"equal: nothing written", five, 10, 10, five},
        {"lower: nothing written", five, 9, 10, five},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(c.before);
        runBest = c.runBest, playing = 1, menuSelection = 2, bestScore = -5;
        EndGame();
        EXPECT_EQ(std::make_tuple(bestScore, playing, menuSelection),
                  std::make_tuple(c.shown, std::uint8_t{0}, std::uint8_t{0}));
        EXPECT_EQ(ReadFile(), c.after);
        EXPECT_FALSE(std::filesystem::exists("QUENDRA.DAT.new"));
    }
}

TEST_F(BestScoreTest, StartUpReadsTheFileAndReplacesANegativeOne) {
    const std::tuple<std::optional<Bytes>, std::int32_t, Bytes> cases[] = {
        {std::nullopt, 0, {}}, {Bytes{0, 0, 0, 0x80}, 0, {0, 0, 0, 0}}, {Bytes{42}, 42, {42}}};
    for (const auto& [before, shown, after] : cases) {
        ResetProgram();
        WriteFile(before);
        bestScore = -1;
        ASSERT_EQ(InitGame(window_), S_OK);
        EXPECT_EQ(std::make_pair(bestScore, playing), std::make_pair(shown, std::uint8_t{0}));
        EXPECT_EQ(ReadFile(), after);
    }
}

TEST_F(BestScoreTest, DeleteEntryWritesFourZeroBytes) {
    WriteFile(Bytes{0x63, 0, 0, 0, 7, 7});
    bestScore = 99, runBest = 99, menuSelection = 1;
    SendMessage(window_, WM_COMMAND, ID_SELECT, 0);
    EXPECT_EQ(ReadFile(), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(std::make_tuple(bestScore, runBest, menuSelection, playing),
              std::make_tuple(0, 0, std::uint8_t{0}, std::uint8_t{0}));
    EXPECT_FALSE(std::filesystem::exists("QUENDRA.DAT.new"));
}

TEST_F(BestScoreTest, EscapeStoresTheGamesBestButLeavingDuringAGameDoesNot) {
    WriteFile(Bytes{5, 0, 0, 0});
    StartNewGame();
    runBest = 12;
    SendMessage(window_, WM_COMMAND, ID_BACK, 0);
    EXPECT_EQ(ReadFile(), (Bytes{12, 0, 0, 0}));
    EXPECT_EQ(bestScore, 12);

    StartNewGame();
    runBest = 20;
    SendMessage(window_, WM_COMMAND, ID_EXIT, 0);
    MSG message;
    while (MessageWaiting() && GetMessage(&message)) DispatchMessage(&message);
    EXPECT_EQ(CurrentWindow(), nullptr);  // the close destroyed the window
    EXPECT_EQ(ReadFile(), (Bytes{12, 0, 0, 0}));
}

}  // namespace
