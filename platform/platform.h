// The platform seam: everything that differs between the desktop, a browser and a scripted run.
// The game folders never call these directly; the small stand-ins for the window system,
// display, mouse and sound services in platform/ (window.h, display_device.h, input_device.h,
// sound_engine.h) do, and all pixel work is common code. Each of the three backends (sdl/,
// scripted/, web/) implements every function declared here, one file per service.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/results.h"

// The one display mode the program uses: the page every backend shows, 16-bit RGB565.
inline constexpr std::uint32_t SCREEN_WIDTH = 640;
inline constexpr std::uint32_t SCREEN_HEIGHT = 480;
inline constexpr std::uint32_t SCREEN_BITS = 16;

namespace sys {

// Creates the one top-level window, not yet visible; false when it can't be made.
bool CreateWindow(const char* title);
// Makes the window visible in its restored, full-screen state.
void ShowWindow();
// Sets the window's icon from a 32-bit ARGB image (row after row, top first).
void SetWindowIcon(const std::uint32_t* argb, int width, int height);
void HideCursor();
void DestroyWindow();
// Turns what happened on the desktop since the last call into posted window messages
// (window.h). With wait, blocks until at least one message is waiting.
void PumpEvents(bool wait);
// A modal error box with one OK button; returns when it is dismissed.
void ShowErrorBox(const char* title, const char* text);
// The wrapping millisecond clock, and the tick count used as the random seed.
std::uint32_t Milliseconds();
std::uint32_t TickCount();
// Waits about `ms` milliseconds, letting the desktop run meanwhile (watching a recording).
void Sleep(std::uint32_t ms);

}  // namespace sys

namespace vid {

// Takes the display exclusively at width x height x bits; a negative code when it can't.
HRESULT Open(std::uint32_t width, std::uint32_t height, std::uint32_t bits);
// Shows one finished page of width x height RGB565 pixels. Answers S_OK,
// DDERR_WASSTILLDRAWING (the previous page is still on its way: nothing was taken) or
// DDERR_SURFACELOST (the output was lost: nothing was taken until Restore).
HRESULT Present(const std::uint16_t* pixels);
HRESULT Restore();
void Close();

}  // namespace vid

namespace in {

struct Reading {
    std::int32_t dx = 0, dy = 0;  // relative counts since the last good read; +y is down
    std::uint8_t buttons = 0;     // bit 0: the primary button is down
};

// The system mouse as a relative device; a negative code when there is none.
HRESULT Create();
// Exclusive access while the window has the foreground: S_OK, DIERR_INPUTLOST (try again at
// once) or another failure (not now, try at a later read).
HRESULT Acquire();
void Unacquire();
// DIERR_NOTACQUIRED when the device is not acquired: never taken, given back, or taken back by
// the desktop (the focus went); the caller acquires it again. The button reads as down while it
// is, and once after any press since the last good read, however soon it came up; a press while
// the window is in the background, or still unread when the window goes there, never counts.
HRESULT Read(Reading& out);
void Release();

}  // namespace in

namespace store {

// What a read of the best-score file found: bytes (0 up to the size asked for), no file (it is
// then made empty), or a file that can't be read.
enum class Found { Bytes, Missing, Unreadable };
// The best-score file's size: the bytes the game reads and writes (game/best_score.h says what
// they mean), and as many as a copy of an old file or a store in memory holds.
inline constexpr std::size_t SIZE = 4;
// Reads up to `size` bytes from the start of the best-score file into `bytes`, `got` of them.
Found Read(std::uint8_t* bytes, std::size_t size, std::size_t& got);
// Replaces the best-score file's content with exactly these bytes, durably and at once; false
// when nothing was stored (the file still holds what it held).
bool Replace(const std::uint8_t* bytes, std::size_t size);

}  // namespace store

namespace snd {

using SoundId = int;  // 0 and up; negative means none
// How many sounds a backend holds at once, in a table made once (the game loads three).
inline constexpr int MAX_SOUNDS = 16;

// Opens the output device; false when there is none that works.
bool Open();
// Takes a whole RIFF WAVE file in place (it must outlive the sound); negative on failure, and
// when MAX_SOUNDS are loaded already.
SoundId Load(std::span<const std::uint8_t> wave);
// Converts the sound to the device's format once, ready to play; false on failure.
bool Prepare(SoundId sound);
// Starts one more instance of a prepared sound over whatever plays; never waits.
bool Play(SoundId sound);
// Ends every playing instance of this one sound.
void Stop(SoundId sound);
// Ends every instance of every sound at once.
void StopAll();
// Forgets one sound (its instances are stopped first).
void Unload(SoundId sound);
void Close();

}  // namespace snd
