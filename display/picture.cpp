// Pictures: surfaces filled from bitmaps, and their colour keys.
#include "display/picture.h"

HRESULT Picture::Allocate(DisplayDevice* device, int width, int height) {
    if (!device) return E_INVALIDARG;
    return device->CreateSurface(width, height, &surface);
}

void Picture::Discard() {
    delete surface;
    surface = nullptr;
}

HRESULT Picture::CopyBitmapIn(const Bitmap* bitmap, int x, int y, int width, int height) {
    if (!bitmap || !surface) return E_INVALIDARG;
    surface->Restore();
    if (width == 0) width = bitmap->width;
    if (height == 0) height = bitmap->height;
    if (x != 0 || y != 0 || width != bitmap->width || height != bitmap->height ||
        width != surface->width() || height != surface->height())
        return E_INVALIDARG;
    return CopyBitmapToSurface(*bitmap, *surface);
}

HRESULT Picture::SetKeyColor(COLORREF color) {
    if (!surface) return E_POINTER;
    keyed = 1;
    std::uint32_t value = PixelValueOf(color);
    if (value > 0xFFFF) return E_FAIL;
    surface->SetColorKey(static_cast<std::uint16_t>(value));
    return S_OK;
}

// The key must equal what the picture copy stored for pixels of that colour, so the colour is
// written through the same conversion into pixel (0, 0), read back, and the pixel restored.
std::uint32_t Picture::PixelValueOf(COLORREF color) {
    if (!surface) return 0;
    if (surface->lost()) return 0xFFFFFFFF;
    std::uint16_t saved = surface->at(0, 0);
    if (color != CLR_INVALID) surface->at(0, 0) = ColorToPixel(color);
    std::uint32_t value = surface->at(0, 0);
    surface->at(0, 0) = saved;
    surface->PixelsWritten();
    return value;
}
