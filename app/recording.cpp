// The recorder, given the program's state line and its frame switch.
#include "app/recording.h"

#include <unistd.h>

#include <new>

#include "app/state_line.h"
#include "game/state.h"
#include "platform/recorder.h"

namespace {

Recorder* recorder = nullptr;

bool FramesRun() { return windowActive; }

}  // namespace

void StartRecording(int fd, const char* name) {
    recorder = new (std::nothrow) Recorder(fd, name, Recorder::Program{FormatState, FramesRun});
    if (!recorder) {
        close(fd);
        return;
    }
    tap::Listen(recorder);
}

void FinishRecording(int exitCode) {
    if (!recorder) return;
    tap::Listen(nullptr);
    recorder->Finish(exitCode);
    delete recorder;
    recorder = nullptr;
}
