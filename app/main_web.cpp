// quendra in a browser: the same program, started by the page once the player has clicked.
#include <emscripten.h>

#include <cstdint>

#include "app/app.h"
#include "game/best_score.h"
#include "game/state.h"
#include "platform/web/web.h"

namespace {

// The page keeps this folder in the browser's storage (IndexedDB).
constexpr const char* kBestScoreFile = "/quendra/QUENDRA.DAT";

EM_JS(void, web_state, (const std::int32_t* values, int count),
      { quendraPage.state = Array.from(HEAP32.subarray(values >> 2, (values >> 2) + count)); });
EM_JS(void, web_program_ended, (int code), { quendraPage.programEnded(code); });

std::int32_t frames = 0;

}  // namespace

namespace web {

// In the order the page's `state` names them.
void PublishState() {
    const std::int32_t values[] = {++frames,     playing,     score,   runBest,
                                   bestScore,    cursorX,     cursorY, menuSelection,
                                   static_cast<std::int32_t>(windowActive)};
    web_state(values, static_cast<int>(sizeof values / sizeof values[0]));
}

}  // namespace web

int main() {
    if (SetBestScorePath(kBestScoreFile)) RemoveStaleTemporaries();
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    web_program_ended(code);
    return code;
}
