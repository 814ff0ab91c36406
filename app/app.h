// The program's spine: the entry, the window, start-up, the message loop and shut-down.
#pragma once

#include <cstdint>

#include "app/commands.h"
#include "platform/window.h"

// Pairs the window with its class inside the program; no desktop ever sees it.
inline constexpr const char* WINDOW_CLASS = "quendra";
inline constexpr const char* WINDOW_TITLE = "Quendra";
inline constexpr const char* ERROR_TITLE = "ERROR";
inline constexpr const char* MODE_FAILED_TEXT =
    "This display card does not support the selected mode. ";
inline constexpr const char* FRAME_FAILED_TEXT =
    "Displaying the next frame failed. Press OK exit. ";

// The exit code when the program could not start or a frame failed (0 after a normal end; a bad
// command line gets EXIT_USAGE_CODE, options.h).
inline constexpr int EXIT_FAILURE_CODE = 1;

// Runs the whole program; returns the process exit code. The previous instance and the command
// line are not read: each entry point reads its own arguments before it calls this.
int WinMain(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand);
// Registers the class, makes and shows the window, loads the keyboard table.
HRESULT CreateMainWindow(HINSTANCE instance, int showCommand, HWND* window, HACCEL* accelerators);
// Start-up: display, loading notice, mouse, sounds, seed, pictures, colour keys, best score.
HRESULT InitGame(HWND window);
// Makes `screen` and takes the display in the program's mode; when the mode can't be had, shows
// MODE_FAILED_TEXT and returns the failing code (the screen stays, unable to show a frame).
HRESULT InitDisplay(HWND window);
// Deletes `screen`, which gives the display back.
void FreeDisplay();
// Renders at most one frame (none while the clock has not moved).
HRESULT RenderFrame();
// Opens the sound engine and loads the three sounds; E_FAIL when there is no engine (the game
// then plays silent), else 0 whatever became of each sound.
HRESULT InitSounds();
// Frees the three sounds, then the engine; each only if it exists.
void FreeSounds();
// Shut-down: pictures, sounds, display, mouse; each only if it exists.
void FreeGame();
// The window's procedure: the keyboard commands, frames on and off with the window's size,
// the hidden pointer, and the shut-down once the window is destroyed.
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
