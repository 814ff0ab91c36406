// What the SDL backend's services share: the window, and the events one service hands another.
#pragma once

#include <SDL.h>

namespace sdl {

extern SDL_Window* window;
// From the command line: a resizable window instead of the whole screen; no sound.
extern bool windowed;
extern bool silent;

// Video: the output device was reset and the page texture is gone.
void OnRenderDeviceReset();
// Video: render targets were reset and their contents are gone.
void OnRenderTargetsReset();
// Mouse: the window lost the keyboard and mouse focus; give the pointer back to the desktop.
void OnFocusLost();
// Hides the pointer over the window again if the game hid it (the window may have been made
// anew, or SDL may have shown the pointer on its way in).
void ApplyCursor();
// Releases everything at process end.
void Shutdown();

}  // namespace sdl
