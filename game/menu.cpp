// The menu frame: the panel on black, the selected entry highlighted, the best score.
#include "display/screen.h"
#include "game/assets.h"
#include "game/frames.h"
#include "game/state.h"

namespace {
constexpr std::uint32_t kPanelX = 159, kPanelY = 149;
// The highlighted band goes over the selected entry's label; entry s's lies s bands lower.
constexpr std::uint32_t kBandX = kPanelX + MENU_LABEL_LEFT, kBandY = kPanelY + MENU_LABEL_TOP;
constexpr std::int32_t kBandHeight = MENU_LABEL_HEIGHT, kBandWidth = MENU_LABEL_WIDTH;
static_assert(MENU_LABELS == MENU_LEAVE + 1, "a label for each entry");
// DrawDigits puts its first digit one digit's width right of `left`.
constexpr std::uint32_t kDigitsLeft = kPanelX + MENU_FIELD_LEFT - DIGIT_WIDTH;
constexpr std::uint32_t kDigitsY = kPanelY + MENU_FIELD_TOP;
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
