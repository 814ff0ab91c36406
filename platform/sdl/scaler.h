// The page on the desktop: scaled to the largest 4:3 area of the output with black bars around,
// every page pixel the same size. At a whole-number scale each page pixel becomes a square of
// screen pixels (the renderer's nearest-neighbour copy). At any other scale the page is drawn
// nearest-neighbour at a whole multiple of its size and that is filtered linearly to the area:
// edges at most one screen pixel soft, no pixel wider than its neighbours. A graphics card does
// that in two copies through a render target. Where the renderer draws with the CPU (the
// software renderer, Mesa's llvmpipe) the same picture is computed here instead, from
// per-column and per-row weights made once per output size, into a texture of the area's size
// that the renderer copies one to one: half the cost of the two copies there.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/sdl/scaler_math.h"

namespace sdl {

// Where and how large the page lands on an output, and the whole multiple it passes through
// (0: none, the page is scaled straight to the area).
struct PageLayout {
    SDL_Rect area{};
    int multiple = 0;
};

// The layout for a page on an output. With roundUp the multiple is the next one above the scale,
// else the one below (never below 1).
PageLayout LayOutPage(int outputWidth, int outputHeight, int pageWidth, int pageHeight,
                      bool roundUp);

class PageScaler {
public:
    enum class Filtering { Automatic, OnCpu, InRenderer };
    explicit PageScaler(bool roundUp = true, Filtering filtering = Filtering::Automatic)
        : roundUp_(roundUp), filtering_(filtering) {}

    // Makes the page texture for pages of width x height RGB565 pixels; false when it can't.
    bool Open(SDL_Renderer* renderer, int width, int height);
    // Clears the renderer's output to black and draws the page on it. Textures and weights are
    // made only when the output size changes or they were lost. False when a step fails.
    bool Draw(const std::uint16_t* pixels);
    // The textures are gone (render targets or the device were reset): the area's texture is
    // made anew at the next Draw; after a device reset Open is needed again.
    void Invalidate() { stale_ = true; }
    // Gives the textures back; before the renderer goes.
    void Release();
    const PageLayout& Layout() const { return layout_; }
    bool FiltersOnCpu() const { return onCpu_; }

private:
    void Relayout(int width, int height);
    void Expand(const std::uint16_t* row, std::uint32_t* out);

    bool roundUp_;
    Filtering filtering_;
    bool onCpu_ = true;
    bool stale_ = true;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* page_ = nullptr;   // the page itself, for whole-number scales
    SDL_Texture* area_ = nullptr;   // the filtered picture at the area's size (on the CPU)
    SDL_Texture* sharp_ = nullptr;  // the page at the whole multiple (in the renderer)
    Uint32 areaFormat_ = SDL_PIXELFORMAT_RGB888;
    int pageWidth_ = 0, pageHeight_ = 0, outputWidth_ = 0, outputHeight_ = 0;
    PageLayout layout_;
    struct Span {
        std::uint16_t from, copies, weight;
    };
    std::vector<Tap> columns_, rows_;
    std::vector<Span> spans_;
    std::vector<std::uint32_t> expanded_;  // two page rows stretched to the area, 32 bits a pixel
    std::vector<std::uint32_t> wide_;      // one page row at 32 bits a pixel
    std::array<std::uint32_t, 256> widenHigh_{}, widenLow_{};  // 16 to 32 bits, byte by byte
};

}  // namespace sdl
