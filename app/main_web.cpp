// quendra in a browser: the same program, started by the page once the player has clicked.
#include <emscripten.h>
#include <fcntl.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

#include "app/app.h"
#include "app/recording.h"
#include "game/state.h"
#include "platform/best_score_file.h"
#include "platform/web/web.h"
#include "replay/watch.h"

namespace {

// The page keeps this folder in the browser's storage (IndexedDB); pre.js mounts it.
constexpr const char* kBestScoreFolder = "/quendra/";
// Every run is recorded here, in memory; the page offers it as a download when the run ends.
constexpr const char* kRecording = "/quendra.replay";

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

// The game's state for the page; the backend calls it through the hook main() gives it.
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

}  // namespace

// The page starts the program with no arguments to play, or with --play FILE to show the
// recording it put into FILE.
int main(int argc, char** argv) {
    web::SetStatePublisher(PublishState);
    if (argc == 3 && std::strcmp(argv[1], "--play") == 0) {
        int code = replay::Watch(argv[2], "quendra");
        web_program_ended(code);
        return code;
    }
    if (SetBestScorePath((std::string(kBestScoreFolder) + BEST_SCORE_FILE).c_str()))
        RemoveStaleTemporaries();
    int fd = open(kRecording, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) StartRecording(fd, kRecording);
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    FinishRecording(code);
    web_program_ended(code);
    return code;
}
