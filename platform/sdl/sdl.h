// What the SDL backend's services share: the window, and the events one service hands another.
#pragma once

#include <SDL.h>

#include "platform/mouse_speed.h"

namespace sdl {

extern SDL_Window* window;
// From the command line: a resizable window instead of the whole screen; no sound.
extern bool windowed;
extern bool silent;
// From the command line: relative motion scaled by the player's factor (1 unless asked).
extern MouseSpeed mouseSpeed;

// Video: the output device was reset and the page texture is gone.
void OnRenderDeviceReset();
// Video: render targets were reset and their contents are gone.
void OnRenderTargetsReset();
// Mouse: the window got the keyboard and mouse focus; the mouse may be taken.
void OnFocusGained();
// Mouse: the window lost the keyboard and mouse focus; give the pointer back to the desktop,
// and forget a press not yet read.
void OnFocusLost();
// Mouse: a button went down or up.
void OnMouseButton(const SDL_MouseButtonEvent& event);
// Hides the pointer over the window again if the game hid it (the window may have been made
// anew, or SDL may have shown the pointer on its way in).
void ApplyCursor();
// Releases everything at process end.
void Shutdown();

}  // namespace sdl
