// The scripted display: keeps the last presented page for dumps; flips can be made to fail.
#include <algorithm>

#include "platform/platform.h"
#include "platform/scripted/scripted.h"

using scripted::world;

namespace vid {

HRESULT Open(std::uint32_t width, std::uint32_t height, std::uint32_t bits) {
    if (!scripted::source().DisplayOpens() || bits != SCREEN_BITS || width != SCREEN_WIDTH ||
        height != SCREEN_HEIGHT)
        return DDERR_INVALIDMODE;
    world().displayOpen = true;
    return S_OK;
}

HRESULT Present(const std::uint16_t* pixels) {
    if (HRESULT r = scripted::source().PresentAnswer(); r != S_OK) return r;
    std::copy_n(pixels, world().lastFrame.size(), world().lastFrame.begin());
    ++world().framesPresented;
    return S_OK;
}

HRESULT Restore() { return S_OK; }
void Close() { world().displayOpen = false; }

}  // namespace vid
