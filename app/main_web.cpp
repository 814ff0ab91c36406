// quendra in a browser: the same program, started by the page once the player has clicked.
#include <emscripten.h>
#include <fcntl.h>

#include <cstdint>
#include <cstring>

#include "app/app.h"
#include "app/recording.h"
#include "platform/best_score_file.h"
#include "game/state.h"
#include "platform/web/web.h"
#include "replay/watch.h"

namespace {

// The page keeps this folder in the browser's storage (IndexedDB).
constexpr const char* kBestScoreFile = "/quendra/QUENDRA.DAT";
// Every run is recorded here, in memory; the page offers it as a download when the run ends.
constexpr const char* kRecording = "/quendra.replay";

EM_JS(void, web_state, (const std::int32_t* values, int count),
      { quendraPage.state = Array.from(HEAP32.subarray(values >> 2, (values >> 2) + count)); });
EM_JS(void, web_program_ended, (int code), { quendraPage.programEnded(code); });

std::int32_t frames = 0;

// The game's state for the page, in the order the page's `state` names them.
void PublishState() {
    const std::int32_t values[] = {++frames,     playing,     score,   runBest,
                                   bestScore,    cursorX,     cursorY, menuSelection,
                                   static_cast<std::int32_t>(windowActive)};
    web_state(values, static_cast<int>(sizeof values / sizeof values[0]));
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
    if (SetBestScorePath(kBestScoreFile)) RemoveStaleTemporaries();
    int fd = open(kRecording, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) StartRecording(fd, kRecording);
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    FinishRecording(code);
    web_program_ended(code);
    return code;
}
