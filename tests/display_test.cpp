// The menu frame checked pixel by pixel against the pictures' own pixels (keyed copies and their
// colour keys are play_test.cpp's pictures, refused copies are in surface_copy_test.cpp).
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/app.h"
#include "display/screen.h"
#include "game/assets.h"
#include "game/frames.h"
#include "game/state.h"
#include "platform/resource.h"
#include "tests/test_support.h"

namespace {

class DisplayTest : public ProgramTest {
protected:
    DisplayTest() : ProgramTest(kStarted) {}
};

class MenuPageTest : public DisplayTest,
                     public ::testing::WithParamInterface<std::tuple<std::int32_t, int>> {};

TEST_P(MenuPageTest, PanelHighlightedEntryAndTenDigits) {
    const auto [best, selection] = GetParam();
    bestScore = best;
    menuSelection = static_cast<std::uint8_t>(selection);
    ASSERT_EQ(MenuFrame(), S_OK);

    Page expected(SCREEN_WIDTH * SCREEN_HEIGHT, 0);
    Put(expected, LoadArt(IDB_MENUPANEL, -1), 159, 149, 0, 0, 320, 180);
    const int band = 23 * selection;  // rows band to band + 22, at y 226 + band
    Put(expected, LoadArt(IDB_MENUITEMS, -1), 308, 226 + band, 0, band, 160, 23);
    const Art sprites = LoadArt(IDB_SPRITES, ColorToPixel(0xFFFFFF));
    for (int p = 10, v = best; p >= 1; --p, v /= 10)
        Put(expected, sprites, 269 + 19 * p, 306, 375 + 19 * (v % 10), 328, 19, 23);
    ExpectPresented(expected);
}

INSTANTIATE_TEST_SUITE_P(Scores, MenuPageTest,
                         ::testing::Values(std::make_tuple(0, 0), std::make_tuple(42, 1),
                                           std::make_tuple(2147483647, 2)));

}  // namespace
