// The recorder, given the program's state line and its frame switch, and the best-score file
// as the run finds it at start-up.
#include "app/recording.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include "app/state_line.h"
#include "game/best_score.h"
#include "game/state.h"
#include "platform/recorder.h"

namespace {

Recorder* recorder = nullptr;

bool FramesRun() { return windowActive != 0; }

// What a read of the best-score file finds: up to 4 bytes, no file, or a file that can't be read.
void NoteBestScore(Recorder& to) {
    int fd = open(BestScorePath(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        to.BestScoreAtStart(errno == ENOENT ? Recorder::BestScore::None
                                            : Recorder::BestScore::Unreadable,
                            nullptr, 0);
        return;
    }
    struct stat status;
    std::uint8_t bytes[4];
    std::size_t got = 0;
    bool readable = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    while (readable && got < sizeof bytes) {
        ssize_t n = read(fd, bytes + got, sizeof bytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            readable = n == 0;
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    to.BestScoreAtStart(readable ? Recorder::BestScore::Bytes : Recorder::BestScore::Unreadable,
                        bytes, got);
}

}  // namespace

void StartRecording(int fd, const char* name) {
    recorder = new (std::nothrow) Recorder(fd, name, Recorder::Program{FormatState, FramesRun});
    if (!recorder) {
        close(fd);
        return;
    }
    NoteBestScore(*recorder);
    tap::Listen(recorder);
}

void FinishRecording(int exitCode) {
    if (!recorder) return;
    tap::Listen(nullptr);
    recorder->Finish(exitCode);
    delete recorder;
    recorder = nullptr;
}
