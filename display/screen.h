// The screen: exclusive full-screen output with one back buffer, and the drawing that every
// frame is made of: fill, copy a picture (or a part of one), flip.
#pragma once

#include <cstdint>

#include "display/picture.h"

class Screen final {
public:
    Screen() = default;
    ~Screen() { ReleaseObjects(); }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // Releases every display object, which leaves full-screen mode; a second call changes nothing.
    void ReleaseObjects();
    // Takes the window into full-screen mode; E_FAIL when any step fails (what was made so far
    // stays until the next ReleaseObjects).
    HRESULT EnterFullScreen(HWND window, std::uint32_t width, std::uint32_t height,
                            std::uint32_t bits);
    // Makes a picture from the embedded bitmap `name`; width and height must be the bitmap's
    // own (0 meaning just that): pictures are never scaled.
    HRESULT LoadPicture(Picture** out, ResourceId name, int width, int height);
    // Shows the back buffer; retries at once while the flip is refused as still drawing;
    // restores lost surfaces and answers DDERR_SURFACELOST.
    HRESULT ShowFrame();
    // Fills the back buffer with a raw pixel value.
    HRESULT FillBackBuffer(std::uint32_t value);
    // Copies a whole picture (or `rect` of it) to (x, y), keyed when the picture is keyed.
    HRESULT DrawPicture(std::uint32_t x, std::uint32_t y, const Picture* picture,
                        const RECT* rect = nullptr);
    // Copies the part of a picture from (left, top) to (right, bottom), right and bottom left out,
    // to (x, y), keyed when the picture is keyed.
    HRESULT DrawPicturePart(std::uint32_t x, std::uint32_t y, std::int32_t left, std::int32_t top,
                            std::int32_t right, std::int32_t bottom, const Picture* picture);
    // Copies `rect` of a surface (null: all of it) to (x, y) with BltFast's flags: unscaled, and
    // a rectangle that does not fit either surface is refused with nothing written.
    HRESULT CopyToBackBuffer(std::uint32_t x, std::uint32_t y, const Surface* source,
                             const RECT* rect, std::uint32_t keyFlags);

    DisplayDevice* directDraw = nullptr;
    FlipChain* primarySurface = nullptr;
    Surface* backBuffer = nullptr;
};
