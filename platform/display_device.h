// The display services: exclusive full-screen output with a page-flipping pair of surfaces,
// and off-screen surfaces in the display's 16-bit format. The pages are common memory; the
// backend only shows a finished page (platform.h).
#pragma once

#include <cstdint>

#include "platform/surface.h"
#include "platform/window.h"

inline constexpr std::uint32_t DDSCL_FULLSCREEN = 1;
inline constexpr std::uint32_t DDSCL_EXCLUSIVE = 16;

// The visible page and the one back buffer behind it.
class FlipChain {
public:
    FlipChain(int width, int height) : front_(width, height), back_(width, height) {}
    ~FlipChain();
    Surface* GetAttachedSurface() { return &back_; }
    // Shows the back buffer; the old visible page becomes the back buffer, reached through the
    // same surface. Answers as vid::Present does; nothing changes unless it answers S_OK.
    HRESULT Flip();
    HRESULT Restore();

private:
    Surface front_, back_;
};

class DisplayDevice {
public:
    // Gives the display back (the mode, once set, is closed).
    ~DisplayDevice();
    // Full-screen exclusive access for the window (DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE, the one
    // level the screen asks for; E_INVALIDARG without a window); other flags change nothing.
    HRESULT SetCooperativeLevel(HWND window, std::uint32_t flags);
    HRESULT SetDisplayMode(std::uint32_t width, std::uint32_t height, std::uint32_t bits);
    // The flip chain at the display mode's size; needs exclusive full-screen access.
    HRESULT CreateFlipChain(FlipChain** out);
    // An off-screen surface in the display's format.
    HRESULT CreateSurface(int width, int height, Surface** out);

private:
    bool exclusive_ = false;
    bool modeSet_ = false;
    int width_ = 0, height_ = 0;
};

HRESULT CreateDisplayDevice(DisplayDevice** out);
