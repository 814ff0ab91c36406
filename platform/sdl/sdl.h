// What the SDL backend's services share: the window, and the events one service hands another.
#pragma once

#include <SDL.h>

namespace sdl {

extern SDL_Window* window;

// Video: the output device was reset and the page texture is gone.
void OnRenderDeviceReset();
// Mouse: the window lost the keyboard and mouse focus; give the pointer back to the desktop.
void OnFocusLost();
// Releases everything at process end.
void Shutdown();

}  // namespace sdl
