// The menu frame: the panel on black, the selected entry highlighted, the best score.
#include "display/screen.h"
#include "game/assets.h"
#include "game/frames.h"
#include "game/state.h"

namespace {
constexpr std::uint32_t kPanelX = 159, kPanelY = 149;
constexpr std::uint32_t kBandX = 308, kBandY = 226;  // entry s's label lies 23 * s lower
constexpr std::int32_t kBandHeight = 23, kBandWidth = 160;
constexpr std::uint32_t kDigitsLeft = 269, kDigitsY = 306;  // digit p (1..10) at 269 + 19 * p
}  // namespace

HRESULT MenuFrame() {
    std::int32_t value = bestScore;
    screen->FillBackBuffer(0);
    screen->DrawPicture(kPanelX, kPanelY, menuPanelPicture);
    std::int32_t s = menuSelection;
    screen->DrawPicturePart(kBandX, kBandY + kBandHeight * s, 0, kBandHeight * s, kBandWidth,
                            kBandHeight * (s + 1), menuItemsPicture);
    HRESULT r = DrawDigits(kDigitsLeft, kDigitsY, value);
    if (FAILED(r)) return r;
    r = screen->ShowFrame();
    return FAILED(r) ? r : S_OK;
}
