// A fresh program for each test, and frames rebuilt from the pictures.
#include "tests/test_support.h"

#include "tests/files.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "app/app.h"
#include "audio/audio.h"
#include "display/screen.h"
#include "game/state.h"
#include "input/mouse.h"
#include "platform/resource.h"
#include "platform/surface.h"

void ResetProgram() {
    FreeGame();
    scripted::Reset();
    scripted::world().out = stdout;
    ResetGameState();
    ResetMouse();
}

void ProgramTest::SetUp() {
    home_ = std::filesystem::current_path();
    dir_ = FreshFolder("quendra-test");
    std::filesystem::current_path(dir_);
    ResetProgram();
    scripted::world().out = output_ = std::tmpfile();
    ASSERT_NE(output_, nullptr);
    if (start_ != kNothing) Open(start_ == kStarted);
}

void ProgramTest::TearDown() {
    ResetProgram();
    if (output_) std::fclose(output_);
    std::filesystem::current_path(home_);
    std::filesystem::remove_all(dir_);
}

std::string ProgramTest::Output() {
    std::string text;
    std::rewind(output_);
    for (int c; (c = std::fgetc(output_)) != EOF;) text += static_cast<char>(c);
    std::rewind(output_);
    EXPECT_EQ(ftruncate(fileno(output_), 0), 0);
    return text;
}

void ProgramTest::Open(bool start) {
    HACCEL keys = nullptr;
    ASSERT_EQ(CreateMainWindow(nullptr, SW_SHOWDEFAULT, &window_, &keys), S_OK);
    if (start) {
        ASSERT_EQ(InitGame(window_), S_OK);
    }
}

Art LoadArt(std::uint16_t id, int key) {
    Bitmap b;
    EXPECT_TRUE(DecodeBitmap(FindResource(RT_BITMAP, id), b));
    Art art{b.width, key, {}};
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) art.pixels.push_back(ColorToPixel(b.ColorAt(x, y)));
    return art;
}

void Put(Page& page, const Art& art, int x, int y, int left, int top, int width, int height) {
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            if (std::uint16_t v = art.pixels[(top + j) * art.width + left + i]; v != art.key)
                page[(y + j) * SCREEN_WIDTH + x + i] = v;
}

void ExpectPresented(const Page& expected) {
    const Page& got = scripted::world().lastFrame;
    long at = std::mismatch(got.begin(), got.end(), expected.begin()).first - got.begin();
    EXPECT_EQ(at, long{SCREEN_WIDTH * SCREEN_HEIGHT})
        << "first wrong pixel at (" << at % SCREEN_WIDTH << ", " << at / SCREEN_WIDTH << ")";
}
