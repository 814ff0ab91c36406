// quendra: the game on the real desktop.
#include "app/app.h"
#include "app/best_score_folder.h"
#include "platform/sdl/hangup.h"
#include "platform/sdl/sdl.h"

int main(int, char**) {
    UseDesktopBestScoreFile();  // makes folders: only once the game is really to run
    sdl::EndOnHangUp();
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    sdl::Shutdown();
    return code;
}
