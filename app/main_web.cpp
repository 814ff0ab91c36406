// quendra in a browser: the same program, started by the page once the player has clicked.
#include <emscripten.h>

#include <cstdint>
#include <iterator>
#include <string>

#include "app/app.h"
#include "game/best_score.h"
#include "game/state.h"
#include "platform/web/web.h"

namespace {

// The page keeps this folder in the browser's storage (IndexedDB).
constexpr const char* kBestScoreFile = "/quendra/QUENDRA.DAT";

// The names of the state's fields, once, comma-separated; then their values at each publication.
EM_JS(void, web_state_names, (const char* names), { quendraPage.stateNames(UTF8ToString(names)); });
EM_JS(void, web_state, (const std::int32_t* values, int count),
      { quendraPage.publish(HEAP32.subarray(values >> 2, (values >> 2) + count)); });
EM_JS(void, web_program_ended, (int code), { quendraPage.programEnded(code); });

std::int32_t frames = 0;

// What the page sees of the game, and the name it has there: the one place that says both.
struct Field {
    const char* name;
    std::int32_t (*value)();
};
constexpr Field kFields[] = {
    {"frames", [] { return frames; }},
    {"playing", [] { return std::int32_t{playing}; }},
    {"score", [] { return score; }},
    {"runBest", [] { return runBest; }},
    {"bestScore", [] { return bestScore; }},
    {"cursorX", [] { return cursorX; }},
    {"cursorY", [] { return cursorY; }},
    {"menuSelection", [] { return std::int32_t{menuSelection}; }},
    {"windowActive", [] { return static_cast<std::int32_t>(windowActive); }},
    {"lastTargetIndex", [] { return std::int32_t{lastTargetIndex}; }},
    // The first target, which the tests aim at and follow through a pause.
    {"targetX", [] { return std::int32_t{targets[0].x}; }},
    {"targetY", [] { return std::int32_t{targets[0].y}; }},
    {"targetFrame", [] { return std::int32_t{targets[0].frame}; }},
};
constexpr int kFieldCount = static_cast<int>(std::size(kFields));

}  // namespace

namespace web {

void PublishState() {
    if (frames == 0) {
        std::string names;
        for (const Field& field : kFields) {
            if (!names.empty()) names += ',';
            names += field.name;
        }
        web_state_names(names.c_str());
    }
    ++frames;
    std::int32_t values[kFieldCount];
    for (int i = 0; i < kFieldCount; ++i) values[i] = kFields[i].value();
    web_state(values, kFieldCount);
}

}  // namespace web

int main() {
    if (SetBestScorePath(kBestScoreFile)) RemoveStaleTemporaries();
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    web_program_ended(code);
    return code;
}
