// quendra: the game on the real desktop.
#include "app/app.h"
#include "platform/sdl/sdl.h"

int main(int, char**) {
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    sdl::Shutdown();
    return code;
}
