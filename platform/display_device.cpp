// Display services over the backend's page output.
#include "platform/display_device.h"

#include <new>

#include "platform/platform.h"
#include "platform/tap.h"

FlipChain::~FlipChain() {
    tap::PageGone(front_.pixels());
    tap::PageGone(back_.pixels());
}

HRESULT FlipChain::Flip() {
    if (front_.lost() || back_.lost()) return DDERR_SURFACELOST;
    HRESULT r = tap::Present(back_.pixels());
    if (r == DDERR_SURFACELOST) {
        front_.MarkLost();
        back_.MarkLost();
    }
    if (r == S_OK) front_.SwapPixels(back_);
    return r;
}

HRESULT FlipChain::Restore() {
    if (front_.lost() || back_.lost()) vid::Restore();
    front_.Restore();
    return back_.Restore();
}

DisplayDevice::~DisplayDevice() {
    if (modeSet_) vid::Close();
}

HRESULT DisplayDevice::SetCooperativeLevel(HWND window, std::uint32_t flags) {
    if ((flags & DDSCL_FULLSCREEN) && (flags & DDSCL_EXCLUSIVE)) {
        if (!window) return E_INVALIDARG;
        exclusive_ = true;
    }
    return S_OK;
}

HRESULT DisplayDevice::SetDisplayMode(std::uint32_t width, std::uint32_t height,
                                      std::uint32_t bits) {
    if (!exclusive_ || width == 0 || height == 0 || width > 4096 || height > 4096)
        return DDERR_INVALIDMODE;
    HRESULT r = tap::OpenDisplay(width, height, bits);
    if (FAILED(r)) return r;
    modeSet_ = true;
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    return S_OK;
}

HRESULT DisplayDevice::CreateFlipChain(FlipChain** out) {
    if (!exclusive_ || !modeSet_) return DDERR_INVALIDMODE;
    *out = new (std::nothrow) FlipChain(width_, height_);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT DisplayDevice::CreateSurface(int width, int height, Surface** out) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return E_INVALIDARG;
    *out = new (std::nothrow) Surface(width, height);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CreateDisplayDevice(DisplayDevice** out) {
    *out = new (std::nothrow) DisplayDevice;
    return *out ? S_OK : E_OUTOFMEMORY;
}
