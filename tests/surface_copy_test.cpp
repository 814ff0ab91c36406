// Copies onto a page: the fast copy against a plain one, and copies that do not fit refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>

#include "display/picture.h"
#include "game/state.h"
#include "tests/test_support.h"

namespace {

constexpr int kW = SCREEN_WIDTH, kH = SCREEN_HEIGHT;

// What a copy must do, written the slow and obvious way.
void ReferenceCopy(Page& page, const Surface& source, int x, int y, const RECT& r, bool keyed) {
    for (int row = r.top; row < r.bottom; ++row)
        for (int col = r.left; col < r.right; ++col)
            if (!keyed || source.at(col, row) != source.colorKey())
                page[static_cast<std::size_t>(y + row - r.top) * kW + x + col - r.left] =
                    source.at(col, row);
}

class SurfaceCopyTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Open(true);  // the game's pictures, loaded and keyed as the game has them
        for (std::size_t i = 0; i < expected_.size(); ++i)
            page_.at(static_cast<int>(i % kW), static_cast<int>(i / kW)) = expected_[i] =
                static_cast<std::uint16_t>(random_());
    }

    void ExpectSameAsReference(const Surface& source, int x, int y, const RECT& r,
                               const std::string& what) {
        for (std::uint32_t flags : {DDBLTFAST_SRCCOLORKEY, DDBLTFAST_NOCOLORKEY}) {
            ASSERT_EQ(BltFast(page_, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                              source, &r, flags),
                      S_OK)
                << what;
            ReferenceCopy(expected_, source, x, y, r,
                          flags == DDBLTFAST_SRCCOLORKEY && source.hasColorKey());
            const Surface& page = page_;
            ASSERT_TRUE(std::equal(expected_.begin(), expected_.end(), page.pixels()))
                << what << " at " << x << "," << y << " rect " << r.left << "," << r.top << ","
                << r.right << "," << r.bottom << " flags " << flags;
        }
    }

    // The whole picture, then random parts (every other one to the last row and column), each
    // at the four corners and three random places.
    void ExpectSameForRandomParts(const Surface& source, const std::string& what) {
        const int sw = source.width(), sh = source.height();
        for (int i = 0; i < 25; ++i) {
            const int left = i ? Below(sw) : 0, top = i ? Below(sh) : 0;
            const int right = i % 2 == 0 ? sw : left + 1 + Below(sw - left);
            const int bottom = i % 2 == 0 ? sh : top + 1 + Below(sh - top);
            const RECT r{left, top, std::min(right, left + kW), std::min(bottom, top + kH)};
            const int w = r.right - r.left, h = r.bottom - r.top;
            for (auto [x, y] : {std::pair{0, 0}, {kW - w, 0}, {0, kH - h}, {kW - w, kH - h},
                                {Below(kW - w + 1), Below(kH - h + 1)},
                                {Below(kW - w + 1), Below(kH - h + 1)},
                                {Below(kW - w + 1), Below(kH - h + 1)}})
                ExpectSameAsReference(source, x, y, r, what);
        }
    }

    int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

    Surface page_{kW, kH};
    Page expected_ = Page(std::size_t{kW} * kH);
    std::mt19937 random_{20240611};
};

TEST_F(SurfaceCopyTest, EveryPictureDrawsAsThePlainCopyDoes) {
    for (Picture* picture : {backgroundPicture, menuPanelPicture, menuItemsPicture, splatPicture,
                             crosshairPicture, explosionPicture, loadingPicture, spritesPicture})
        ExpectSameForRandomParts(*picture->surface, "random part");

    // Keyed pictures copy by runs; one written after keying copies its new pixels, runs rebuilt
    // or not; a new key gives new runs.
    for (Picture* keyed : {spritesPicture, splatPicture, explosionPicture, crosshairPicture})
        EXPECT_TRUE(std::as_const(*keyed->surface).copiesByRuns());
    Surface edited = *spritesPicture->surface;
    for (int i = 0; i < 4000; ++i)
        edited.at(Below(790), Below(358)) =
            i % 2 ? edited.colorKey() : static_cast<std::uint16_t>(random_());
    const Surface& source = edited;
    EXPECT_FALSE(source.copiesByRuns());
    ExpectSameForRandomParts(source, "sprites written after keying");
    edited.PixelsWritten();
    EXPECT_TRUE(source.copiesByRuns());
    ExpectSameForRandomParts(source, "sprites with rebuilt runs");
    edited.SetColorKey(ColorToPixel(0));
    ExpectSameForRandomParts(source, "sprites keyed black");
}

TEST_F(SurfaceCopyTest, RectangleThatDoesNotFitIsRefusedAndNothingIsWritten) {
    const Surface& sprites = *spritesPicture->surface;      // 790 x 358, keyed
    const Surface& crosshair = *crosshairPicture->surface;  // 64 x 64, keyed
    struct Refused { const Surface* source; std::uint32_t x, y; RECT r; } table[] = {
        {&crosshair, kW - 63, 0, {0, 0, 64, 64}},      // one column past the right edge
        {&crosshair, 0, kH - 63, {0, 0, 64, 64}},      // one row past the bottom
        {&crosshair, 0xFFFFFFF0u, 0, {0, 0, 64, 64}},  // a place that wraps round
        {&crosshair, 0, 0xFFFFFFFFu, {0, 0, 64, 64}},
        {&sprites, 0, 0, {0, 0, 790, 358}},   // wider than the page
        {&sprites, 0, 0, {700, 0, 791, 10}},  // past the source's last column
        {&sprites, 0, 0, {0, 300, 10, 359}},  // past its last row
        {&sprites, 0, 0, {-1, 0, 10, 10}},    // before its first column
        {&sprites, 0, 0, {0, -1, 10, 10}},
        {&sprites, 0, 0, {10, 10, 10, 20}},  // empty
        {&sprites, 0, 0, {10, 20, 20, 10}},  // upside down
    };
    for (const Refused& c : table)
        EXPECT_EQ(BltFast(page_, c.x, c.y, *c.source, &c.r, DDBLTFAST_SRCCOLORKEY),
                  DDERR_INVALIDRECT) << "case " << &c - table;
    const Surface& page = page_;
    EXPECT_TRUE(std::equal(expected_.begin(), expected_.end(), page.pixels()));
}

}  // namespace
