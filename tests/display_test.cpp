// Screen and Picture: keyed and unkeyed copies, colour keys, and the menu frame checked pixel
// by pixel against the pictures' own pixels (refused copies are in surface_copy_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
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
    void TearDown() override {
        delete fresh_;
        ProgramTest::TearDown();
    }
    // A new, unkeyed picture of an embedded bitmap.
    Picture* Fresh(std::uint16_t id) {
        delete fresh_;
        fresh_ = nullptr;
        EXPECT_EQ(screen->LoadPicture(&fresh_, id, 0, 0), S_OK);
        return fresh_;
    }

    Picture* fresh_ = nullptr;
};

TEST_F(DisplayTest, KeyedCopiesLeaveTheFillWhereTheSourceHoldsTheKey) {
    const Art splat = LoadArt(IDB_SPLAT, 0), sprites = LoadArt(IDB_SPRITES, ColorToPixel(0xFFFFFF));
    const Art opaqueSplat = LoadArt(IDB_SPLAT, -1), opaqueSprites = LoadArt(IDB_SPRITES, -1);
    Page expected(640 * 480, 0x1234);
    ASSERT_EQ(screen->FillBackBuffer(0x1234), S_OK);

    EXPECT_EQ(screen->DrawPicture(10, 20, splatPicture), S_OK);
    Put(expected, splat, 10, 20, 0, 0, 126, 126);
    EXPECT_EQ(screen->DrawPicture(200, 20, Fresh(IDB_SPLAT)), S_OK);
    Put(expected, opaqueSplat, 200, 20, 0, 0, 126, 126);
    EXPECT_EQ(screen->DrawPicturePart(400, 20, 375, 283, 420, 328, spritesPicture), S_OK);
    Put(expected, sprites, 400, 20, 375, 283, 45, 45);
    EXPECT_EQ(screen->DrawPicturePart(500, 400, 375, 328, 394, 351, Fresh(IDB_SPRITES)), S_OK);
    Put(expected, opaqueSprites, 500, 400, 375, 328, 19, 23);  // 19 by 23, nothing around it
    EXPECT_EQ(screen->ShowFrame(), S_OK);
    ExpectPresented(expected);
}

// The key is found by writing the colour into a pixel and reading it back: the pixel must be
// restored (sprites and splat have their key in that pixel already, so no frame would show it).
TEST_F(DisplayTest, FindingAKeyValueChangesNoPixel) {
    Picture* picture = Fresh(IDB_SPRITES);
    picture->surface->at(0, 0) = 0xBEEF;
    const Page before(picture->surface->pixels(), picture->surface->pixels() + 790 * 358);
    EXPECT_EQ(picture->PixelValueOf(CLR_INVALID), 0xBEEFu);
    EXPECT_EQ(picture->SetKeyColor(0x123456), S_OK);
    EXPECT_EQ(picture->surface->colorKey(), ColorToPixel(0x123456));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), picture->surface->pixels()));
}

class MenuPageTest : public DisplayTest,
                     public ::testing::WithParamInterface<std::tuple<std::int32_t, int>> {};

TEST_P(MenuPageTest, PanelHighlightedEntryAndTenDigits) {
    const auto [best, selection] = GetParam();
    bestScore = best;
    menuSelection = static_cast<std::uint8_t>(selection);
    ASSERT_EQ(MenuFrame(), S_OK);

    Page expected(640 * 480, 0);
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
