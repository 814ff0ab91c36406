// The page on the desktop: scaled to the largest 4:3 area of the output with black bars around,
// every page pixel the same size. At a whole-number scale each page pixel becomes a square of
// screen pixels; at any other scale the page is first drawn nearest-neighbour at a whole
// multiple of its size into an off-screen texture, and that is filtered linearly down (or up)
// to the area: sharp edges one screen pixel soft at most, no pixel wider than its neighbours.
#pragma once

#include <SDL.h>

namespace sdl {

// Where and how large the page lands on an output, and the whole multiple it passes through
// (0: none, the page is drawn straight to the area).
struct PageLayout {
    SDL_Rect area{};
    int multiple = 0;
};

// The layout for a page on an output. With roundUp the off-screen multiple is the next one above
// the scale, else the one below (never below 1).
PageLayout LayOutPage(int outputWidth, int outputHeight, int pageWidth, int pageHeight,
                      bool roundUp);

class PageScaler {
public:
    explicit PageScaler(bool roundUp = true) : roundUp_(roundUp) {}

    // Clears the renderer's output to black and draws the page texture (pageWidth x pageHeight,
    // nearest-neighbour sampling) on it. The off-screen texture is made only when the output
    // size changes or it was lost; where it can't be made, the page is scaled straight to the
    // area. False when a drawing step fails.
    bool Draw(SDL_Renderer* renderer, SDL_Texture* page, int pageWidth, int pageHeight);
    // The off-screen texture's contents or the texture itself are gone (render targets or the
    // device were reset): it is made anew at the next Draw.
    void Invalidate() { stale_ = true; }
    // Gives the off-screen texture back; before its renderer goes.
    void Release();
    const PageLayout& Layout() const { return layout_; }

private:
    bool roundUp_;
    bool stale_ = true;
    int outputWidth_ = 0, outputHeight_ = 0;
    PageLayout layout_;
    SDL_Texture* sharp_ = nullptr;  // the page at the whole multiple
};

}  // namespace sdl
