// A picture: an off-screen surface made from an embedded bitmap, with an optional colour key.
#pragma once

#include <cstdint>

#include "platform/display_device.h"
#include "platform/resource.h"

class Picture {
public:
    ~Picture() { Discard(); }

    // Makes the surface, at the display's pixel format.
    HRESULT Allocate(DisplayDevice* device, int width, int height);
    // Releases the surface.
    void Discard();
    // Copies the source rectangle (x, y, width, height; 0 sizes mean the bitmap's own) of a
    // bitmap onto the whole surface, converting colours to the surface's format. The rectangle
    // must be the whole bitmap at the surface's size (E_INVALIDARG otherwise): nothing is scaled.
    HRESULT CopyBitmapIn(const Bitmap* bitmap, int x, int y, int width, int height);
    // From now on copies leave out the pixels that hold this colour's converted value.
    HRESULT SetKeyColor(COLORREF color);
    // The raw value the surface stores for a colour, as the bitmap copy stored it; 0xFFFFFFFF
    // while the surface is lost, 0 without one.
    std::uint32_t PixelValueOf(COLORREF color) const;

    Surface* surface = nullptr;
    std::int32_t keyed = 0;  // 1 once SetKeyColor was called (for good, even if it failed), else 0
};
