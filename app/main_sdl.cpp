// quendra: the game on the real desktop.
#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "app/best_score_folder.h"
#include "app/options.h"
#include "app/recording.h"
#include "app/standard_streams.h"
#include "platform/best_score_file.h"
#include "platform/sdl/hangup.h"
#include "platform/sdl/sdl.h"
#include "replay/watch.h"

int main(int argc, char** argv) {
    if (!HoldStandardStreams()) return EXIT_FAILURE_CODE;
    Options options;
    if (int code = ReadCommandLine(argc, argv, options); code >= 0) return code;
    sdl::windowed = options.windowed;
    sdl::silent = options.silent;
    sdl::mouseSpeed.Set(options.mouseSpeed);
    sdl::EndOnHangUp();
    if (options.play) {
        // A recording never touches the player's best score: no folders, no file.
        int code = replay::Watch(options.play, "quendra");
        sdl::Shutdown();
        return code;
    }
    // The folder is made, and an old score copied, only once the game really runs: where it
    // can't start for want of a display nothing is left behind.
    PrepareBestScoreOnFirstUse(UseDesktopBestScoreFile);
    if (options.record) {
        // Not blocking: a FIFO nobody reads is refused at once, and a pipe that fills up ends
        // the recording rather than stalling the game.
        int fd = open(options.record, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0644);
        if (fd >= 0)
            StartRecording(fd, options.record);
        else
            std::fprintf(stderr, "quendra: can't record into %s: %s; the game goes on without it\n",
                         options.record,
                         errno == ENXIO ? "nothing reads from that pipe" : std::strerror(errno));
    }
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    FinishRecording(code);
    sdl::Shutdown();
    return code;
}
