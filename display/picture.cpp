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

// The key must equal, bit for bit, what the bitmap copy stored for pixels of that colour: both
// take it through ColorToPixel, so no pixel needs to be written and read back to find it.
std::uint32_t Picture::PixelValueOf(COLORREF color) const {
    if (!surface) return 0;
    if (surface->lost()) return 0xFFFFFFFF;
    return ColorToPixel(color);
}
