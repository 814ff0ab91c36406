// The screen's full-screen mode, its drawing operations and the flip.
#include "display/screen.h"

#include <new>

void Screen::ReleaseObjects() {
    backBuffer = nullptr;  // belongs to the flip chain
    delete primarySurface;
    primarySurface = nullptr;
    delete directDraw;  // gives the display back
    directDraw = nullptr;
}

HRESULT Screen::EnterFullScreen(HWND forWindow, std::uint32_t width, std::uint32_t height,
                                std::uint32_t bits) {
    ReleaseObjects();
    if (FAILED(CreateDisplayDevice(&directDraw))) return E_FAIL;
    if (FAILED(directDraw->SetCooperativeLevel(forWindow, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE)))
        return E_FAIL;
    if (FAILED(directDraw->SetDisplayMode(width, height, bits))) return E_FAIL;
    if (FAILED(directDraw->CreateFlipChain(&primarySurface))) return E_FAIL;
    backBuffer = primarySurface->GetAttachedSurface();
    return S_OK;
}

HRESULT Screen::LoadPicture(Picture** out, ResourceId name, int width, int height) {
    if (!directDraw || !out || (!name.text && name.number == 0) || (name.text && !*name.text))
        return E_INVALIDARG;
    *out = nullptr;
    // Only embedded bitmaps: nothing is read from disk.
    Bitmap bitmap;
    if (!DecodeBitmap(FindResource(RT_BITMAP, name), bitmap)) return E_FAIL;
    if (width == 0) width = bitmap.width;
    if (height == 0) height = bitmap.height;

    Picture* picture = new (std::nothrow) Picture;
    if (!picture) return E_OUTOFMEMORY;
    *out = picture;
    HRESULT r = picture->Allocate(directDraw, width, height);
    if (FAILED(r)) {
        delete picture;
        *out = nullptr;
        return r;
    }
    return picture->CopyBitmapIn(&bitmap, 0, 0, 0, 0);
}

HRESULT Screen::ShowFrame() {
    if (!primarySurface || !backBuffer) return E_POINTER;
    for (;;) {
        HRESULT r = primarySurface->Flip();
        if (r == DDERR_WASSTILLDRAWING) continue;
        if (r == DDERR_SURFACELOST) {
            primarySurface->Restore();
            backBuffer->Restore();
        }
        return r;
    }
}

HRESULT Screen::FillBackBuffer(std::uint32_t value) {
    if (!backBuffer) return E_POINTER;
    return FillSurface(*backBuffer, value);
}

HRESULT Screen::CopyToBackBuffer(std::uint32_t x, std::uint32_t y, const Surface* source,
                                 const RECT* rect, std::uint32_t keyFlags) {
    if (!backBuffer) return E_POINTER;
    if (!source) return E_INVALIDARG;
    return BltFast(*backBuffer, x, y, *source, rect, keyFlags);
}

HRESULT Screen::DrawPicture(std::uint32_t x, std::uint32_t y, const Picture* picture,
                            const RECT* rect) {
    if (!picture) return E_INVALIDARG;
    std::uint32_t flags = picture->keyed ? DDBLTFAST_SRCCOLORKEY : DDBLTFAST_NOCOLORKEY;
    return CopyToBackBuffer(x, y, picture->surface, rect, flags);
}

HRESULT Screen::DrawPicturePart(std::uint32_t x, std::uint32_t y, std::int32_t left,
                                std::int32_t top, std::int32_t right, std::int32_t bottom,
                                const Picture* picture) {
    if (!backBuffer) return E_POINTER;
    if (!picture) return E_INVALIDARG;
    RECT rect{left, top, right, bottom};
    std::uint32_t flags = picture->keyed ? DDBLTFAST_SRCCOLORKEY : DDBLTFAST_NOCOLORKEY;
    return CopyToBackBuffer(x, y, picture->surface, &rect, flags);
}
