// The page on the desktop with even pixels.
#include "platform/sdl/scaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sdl {

namespace {

// RGB565 to 32 bits (red in the third byte, or with redLow in the first, and an opaque fourth
// byte), the top bits of each channel repeated into its low ones.
template <bool redLow>
std::uint32_t Widen(std::uint16_t pixel) {
    std::uint32_t r = pixel >> 11, g = (pixel >> 5) & 63, b = pixel & 31;
    r = r << 3 | r >> 2;
    b = b << 3 | b >> 2;
    return 0xFF000000 | (redLow ? b << 16 | r : r << 16 | b) | (g << 2 | g >> 4) << 8;
}

// Whether the renderer draws with the CPU: SDL's own software renderer, or OpenGL through one
// of Mesa's software rasterisers (as under Xvfb). There linear filtering costs more than the
// whole plain frame; on a graphics card it costs the CPU nothing.
bool DrawsOnCpu(const SDL_RendererInfo& info) {
    if (SDL_strncmp(info.name, "opengl", 6) != 0) return SDL_strcmp(info.name, "software") == 0;
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(0x1F01) : nullptr;  // GL_RENDERER
    if (!name) return true;
    auto text = reinterpret_cast<const char*>(name);
    return SDL_strstr(text, "llvmpipe") || SDL_strstr(text, "softpipe") ||
           SDL_strstr(text, "Software Rasterizer") || SDL_strstr(text, "swrast");
}

}  // namespace

void MakeTaps(int length, int pageLength, int multiple, std::vector<Tap>& taps) {
    taps.resize(static_cast<std::size_t>(length));
    int enlarged = pageLength * multiple;
    for (int i = 0; i < length; ++i) {
        double at = (i + 0.5) * enlarged / length - 0.5;
        at = std::clamp(at, 0.0, static_cast<double>(enlarged - 1));
        int left = static_cast<int>(at);
        int from = left / multiple, next = std::min(left + 1, enlarged - 1) / multiple;
        int weight = next == from ? 0 : static_cast<int>(std::lround((at - left) * 256));
        if (weight == 256) from = next, weight = 0;
        taps[static_cast<std::size_t>(i)] = {static_cast<std::uint16_t>(from),
                                             static_cast<std::uint16_t>(weight)};
    }
}

PageLayout LayOutPage(int outputWidth, int outputHeight, int pageWidth, int pageHeight,
                      bool roundUp) {
    PageLayout layout;
    SDL_Rect& area = layout.area;
    if (static_cast<long>(outputWidth) * pageHeight >=
        static_cast<long>(outputHeight) * pageWidth) {
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

bool PageScaler::Open(SDL_Renderer* renderer, int width, int height) {
    Release();
    renderer_ = renderer;
    pageWidth_ = width;
    pageHeight_ = height;
    page_ = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width,
                              height);
    if (page_) SDL_SetTextureScaleMode(page_, SDL_ScaleModeNearest);
    // The software renderer copies a texture of the window's own format fastest; OpenGL takes
    // bytes in red, green, blue order fastest (Mesa's llvmpipe: 15% less for the whole frame).
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    areaFormat_ = SDL_PIXELFORMAT_RGB888;
    for (Uint32 i = 0; i < info.num_texture_formats; ++i)
        if (info.texture_formats[i] == SDL_PIXELFORMAT_ABGR8888 &&
            SDL_strcmp(info.name, "software") != 0)
            areaFormat_ = SDL_PIXELFORMAT_ABGR8888;
    // Each channel of the widened pixel comes from bits of one byte of the 16-bit one (green's
    // repeated top bits from the high byte), so two small tables widen it.
    const bool redLow = areaFormat_ == SDL_PIXELFORMAT_ABGR8888;
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        auto high = static_cast<std::uint16_t>(byte << 8), low = static_cast<std::uint16_t>(byte);
        widenHigh_[byte] = redLow ? Widen<true>(high) : Widen<false>(high);
        widenLow_[byte] = (redLow ? Widen<true>(low) : Widen<false>(low)) & 0x00FFFFFF;
    }
    onCpu_ =
        filtering_ == Filtering::OnCpu || (filtering_ == Filtering::Automatic && DrawsOnCpu(info));
    return page_ != nullptr;
}

void PageScaler::Release() {
    if (area_) SDL_DestroyTexture(area_);
    if (sharp_) SDL_DestroyTexture(sharp_);
    if (page_) SDL_DestroyTexture(page_);
    area_ = sharp_ = page_ = nullptr;
    stale_ = true;
}

void PageScaler::Relayout(int width, int height) {
    if (area_) SDL_DestroyTexture(area_);
    if (sharp_) SDL_DestroyTexture(sharp_);
    area_ = sharp_ = nullptr;
    layout_ = LayOutPage(width, height, pageWidth_, pageHeight_, roundUp_);
    outputWidth_ = width;
    outputHeight_ = height;
    stale_ = false;
    if (layout_.multiple == 0) return;
    if (!onCpu_) {
        sharp_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                                   pageWidth_ * layout_.multiple, pageHeight_ * layout_.multiple);
        if (sharp_) {
            SDL_SetTextureScaleMode(sharp_, SDL_ScaleModeLinear);
            SDL_SetTextureBlendMode(sharp_, SDL_BLENDMODE_NONE);
            return;
        }
    }
    // Widths and heights past 65535 page pixels are no screen's.
    MakeTaps(layout_.area.w, pageWidth_, layout_.multiple, columns_);
    // The columns as runs: copies of one page pixel, then at most one blend with the next.
    spans_.clear();
    spans_.reserve(columns_.size());
    for (const Tap& tap : columns_) {
        if (spans_.empty() || spans_.back().from != tap.from || spans_.back().weight)
            spans_.push_back({tap.from, 0, 0});
        if (tap.weight)
            spans_.back().weight = tap.weight;
        else
            ++spans_.back().copies;
    }
    MakeTaps(layout_.area.h, pageHeight_, layout_.multiple, rows_);
    expanded_.resize(2 * static_cast<std::size_t>(layout_.area.w));
    wide_.resize(static_cast<std::size_t>(pageWidth_) + 1);
    area_ = SDL_CreateTexture(renderer_, areaFormat_, SDL_TEXTUREACCESS_STREAMING, layout_.area.w,
                              layout_.area.h);
    if (area_) SDL_SetTextureBlendMode(area_, SDL_BLENDMODE_NONE);
    if (!area_) layout_.multiple = 0;  // no room for it: the page scaled straight to the area
}

// One page row stretched to the area's width.
void PageScaler::Expand(const std::uint16_t* row, std::uint32_t* out) {
    std::uint32_t* wide = wide_.data();
    for (int x = 0; x < pageWidth_; ++x)
        wide[x] = widenHigh_[row[x] >> 8] | widenLow_[row[x] & 0xFF];
    // Two of three columns copy a pixel at a scale of 2.25; only the others are blends.
    for (const Span& span : spans_) {
        std::uint32_t pixel = wide[span.from];
        for (int i = 0; i < span.copies; ++i) *out++ = pixel;
        if (span.weight) *out++ = Blend(pixel, wide[span.from + 1], span.weight);
    }
}

bool PageScaler::Draw(const std::uint16_t* pixels) {
    if (!renderer_ || !page_) return false;
    int width = 0, height = 0;
    if (SDL_GetRendererOutputSize(renderer_, &width, &height) != 0 || width < 1 || height < 1)
        return false;
    if (stale_ || width != outputWidth_ || height != outputHeight_) Relayout(width, height);
    if (SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255) != 0 || SDL_RenderClear(renderer_) != 0)
        return false;
    if (sharp_) {
        bool drawn = SDL_UpdateTexture(page_, nullptr, pixels, pageWidth_ * 2) == 0 &&
                     SDL_SetRenderTarget(renderer_, sharp_) == 0 &&
                     SDL_RenderCopy(renderer_, page_, nullptr, nullptr) == 0;
        return SDL_SetRenderTarget(renderer_, nullptr) == 0 && drawn &&
               SDL_RenderCopy(renderer_, sharp_, nullptr, &layout_.area) == 0;
    }
    if (!area_) {
        return SDL_UpdateTexture(page_, nullptr, pixels, pageWidth_ * 2) == 0 &&
               SDL_RenderCopy(renderer_, page_, nullptr, &layout_.area) == 0;
    }
    void* locked = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(area_, nullptr, &locked, &pitch) != 0) return false;
    auto width32 = static_cast<std::size_t>(layout_.area.w);
    std::uint32_t* upper = expanded_.data();
    std::uint32_t* lower = upper + width32;
    int upperRow = -1, lowerRow = -1;
    for (int y = 0; y < layout_.area.h; ++y) {
        const Tap& tap = rows_[static_cast<std::size_t>(y)];
        int want = tap.from, wantNext = tap.weight ? tap.from + 1 : -1;
        if (upperRow != want) {
            if (lowerRow == want) {
                std::swap(upper, lower);
                std::swap(upperRow, lowerRow);
            } else {
                Expand(pixels + static_cast<std::size_t>(want) * pageWidth_, upper);
                upperRow = want;
            }
        }
        auto* out = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked) +
                                                     static_cast<std::size_t>(y) * pitch);
        if (wantNext < 0) {
            std::memcpy(out, upper, width32 * 4);
            continue;
        }
        if (lowerRow != wantNext) {
            Expand(pixels + static_cast<std::size_t>(wantNext) * pageWidth_, lower);
            lowerRow = wantNext;
        }
        std::size_t x = 0;
        for (; x + 2 <= width32; x += 2) {
            std::uint64_t a, b, mixed;
            std::memcpy(&a, upper + x, 8);
            std::memcpy(&b, lower + x, 8);
            mixed = Blend2(a, b, tap.weight);
            std::memcpy(out + x, &mixed, 8);
        }
        if (x < width32) out[x] = Blend(upper[x], lower[x], tap.weight);
    }
    SDL_UnlockTexture(area_);
    return SDL_RenderCopy(renderer_, area_, nullptr, &layout_.area) == 0;
}

}  // namespace sdl
