// quendra: the game on the real desktop.
#include "app/app.h"
#include "app/best_score_folder.h"
#include "app/options.h"
#include "platform/sdl/hangup.h"
#include "platform/sdl/sdl.h"

int main(int argc, char** argv) {
    Options options;
    if (int code = ReadCommandLine(argc, argv, options); code >= 0) return code;
    sdl::windowed = options.windowed;
    sdl::silent = options.silent;
    sdl::mouseSpeed.Set(options.mouseSpeed);
    UseDesktopBestScoreFile();  // makes folders: only once the game is really to run
    sdl::EndOnHangUp();
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    sdl::Shutdown();
    return code;
}
