// The page on the desktop with even pixels.
#include "platform/sdl/scaler.h"

#include <algorithm>

namespace sdl {

PageLayout LayOutPage(int outputWidth, int outputHeight, int pageWidth, int pageHeight,
                      bool roundUp) {
    PageLayout layout;
    SDL_Rect& area = layout.area;
    // The largest area of the page's shape; its width a multiple of 4 where the height allows.
    if (static_cast<long>(outputWidth) * pageHeight >= static_cast<long>(outputHeight) * pageWidth) {
        area.h = outputHeight;
        area.w = static_cast<int>(static_cast<long>(outputHeight) * pageWidth / pageHeight);
    } else {
        area.w = outputWidth;
        area.h = static_cast<int>(static_cast<long>(outputWidth) * pageHeight / pageWidth);
    }
    area.w = std::max(area.w, 1);
    area.h = std::max(area.h, 1);
    area.x = (outputWidth - area.w) / 2;
    area.y = (outputHeight - area.h) / 2;
    bool whole = area.w % pageWidth == 0 && area.h % pageHeight == 0 &&
                 area.w / pageWidth == area.h / pageHeight;
    if (!whole) {
        int below = std::max(1, area.h / pageHeight);
        layout.multiple = roundUp && below * pageHeight < area.h ? below + 1 : below;
    }
    return layout;
}

void PageScaler::Release() {
    if (sharp_) SDL_DestroyTexture(sharp_);
    sharp_ = nullptr;
    stale_ = true;
}

bool PageScaler::Draw(SDL_Renderer* renderer, SDL_Texture* page, int pageWidth, int pageHeight) {
    int width = 0, height = 0;
    if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0 || width < 1 || height < 1)
        return false;
    if (stale_ || width != outputWidth_ || height != outputHeight_) {
        Release();
        layout_ = LayOutPage(width, height, pageWidth, pageHeight, roundUp_);
        if (layout_.multiple > 0) {
            // 32 bits a pixel, as linear filtering needs in SDL's software renderer.
            sharp_ = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                                       pageWidth * layout_.multiple,
                                       pageHeight * layout_.multiple);
            if (sharp_)
                SDL_SetTextureScaleMode(sharp_, SDL_ScaleModeLinear);
            else
                layout_.multiple = 0;
        }
        outputWidth_ = width;
        outputHeight_ = height;
        stale_ = false;
    }
    bool ok = SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255) == 0;
    if (sharp_) {
        ok = ok && SDL_SetRenderTarget(renderer, sharp_) == 0 &&
             SDL_RenderCopy(renderer, page, nullptr, nullptr) == 0;
        ok = SDL_SetRenderTarget(renderer, nullptr) == 0 && ok;
        ok = ok && SDL_RenderClear(renderer) == 0 &&
             SDL_RenderCopy(renderer, sharp_, nullptr, &layout_.area) == 0;
    } else {
        ok = ok && SDL_RenderClear(renderer) == 0 &&
             SDL_RenderCopy(renderer, page, nullptr, &layout_.area) == 0;
    }
    return ok;
}

}  // namespace sdl
