// The browser display: the game's page drawn on the web page's canvas, which screen.js scales
// to the largest 4:3 area with even pixels. A flip waits for the browser's next frame.
#include <emscripten.h>

#include "platform/platform.h"
#include "platform/web/web.h"

namespace {

EM_JS(int, web_open_canvas, (int width, int height),
      { return quendraPage.openCanvas(width, height) ? 1 : 0; });
EM_JS(void, web_present, (const std::uint16_t* pixels), {
    quendraPage.present(HEAPU16.subarray(pixels >> 1, (pixels >> 1) + quendraPage.pixelCount));
});
// Resolves at the next animation frame; a hidden page has none, so a timer stands in.
EM_ASYNC_JS(void, web_next_frame, (), { await quendraPage.nextFrame(); });

bool canvasOpen = false;

}  // namespace

namespace vid {

HRESULT Open(std::uint32_t width, std::uint32_t height, std::uint32_t bits) {
    if (bits != SCREEN_BITS || width > 4096 || height > 4096) return DDERR_INVALIDMODE;
    if (!web_open_canvas(static_cast<int>(width), static_cast<int>(height)))
        return DDERR_INVALIDMODE;
    canvasOpen = true;
    return S_OK;
}

HRESULT Present(const std::uint16_t* pixels) {
    if (!canvasOpen) return DDERR_SURFACELOST;
    web_present(pixels);
    web::PublishState();
    web_next_frame();
    return S_OK;
}

HRESULT Restore() { return canvasOpen ? S_OK : DDERR_SURFACELOST; }

void Close() { canvasOpen = false; }

}  // namespace vid
