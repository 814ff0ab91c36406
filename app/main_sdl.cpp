// quendra: the game on the real desktop.
#include "app/app.h"
#include "app/best_score_folder.h"
#include "app/options.h"
#include "app/standard_streams.h"
#include "game/best_score.h"
#include "platform/sdl/hangup.h"
#include "platform/sdl/sdl.h"

int main(int argc, char** argv) {
    if (!HoldStandardStreams()) return EXIT_FAILURE_CODE;
    Options options;
    if (int code = ReadCommandLine(argc, argv, options); code >= 0) return code;
    sdl::windowed = options.windowed;
    sdl::silent = options.silent;
    sdl::mouseSpeed.Set(options.mouseSpeed);
    // The folder is made, and an old score copied, only once the game really runs: where it
    // can't start for want of a display nothing is left behind.
    PrepareBestScoreOnFirstUse(UseDesktopBestScoreFile);
    sdl::EndOnHangUp();
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    sdl::Shutdown();
    return code;
}
