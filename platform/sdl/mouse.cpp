// The desktop mouse: SDL's relative mode, exclusive while the window has the focus.
#include "platform/platform.h"
#include "platform/sdl/sdl.h"

namespace {
bool acquired = false;
bool lostFocus = false;  // acquisition ended by the desktop; the next read says so
}  // namespace

namespace sdl {

void OnFocusLost() {
    if (!acquired) return;
    SDL_SetRelativeMouseMode(SDL_FALSE);
    acquired = false;
    lostFocus = true;
}

}  // namespace sdl

namespace in {

HRESULT Create() { return sdl::window ? S_OK : DIERR_DEVICENOTREG; }

HRESULT Acquire() {
    if (acquired) return S_OK;
    if (!sdl::window || !(SDL_GetWindowFlags(sdl::window) & SDL_WINDOW_INPUT_FOCUS))
        return DIERR_OTHERAPPHASPRIO;
    if (SDL_SetRelativeMouseMode(SDL_TRUE) != 0) return DIERR_OTHERAPPHASPRIO;
    SDL_GetRelativeMouseState(nullptr, nullptr);  // motion from before is not ours
    acquired = true;
    lostFocus = false;
    return S_OK;
}

void Unacquire() {
    if (acquired) SDL_SetRelativeMouseMode(SDL_FALSE);
    acquired = false;
}

HRESULT Read(Reading& out) {
    if (lostFocus) {
        lostFocus = false;
        return DIERR_INPUTLOST;
    }
    if (!acquired) return DIERR_NOTACQUIRED;
    int dx = 0, dy = 0;
    Uint32 buttons = SDL_GetRelativeMouseState(&dx, &dy);
    out.dx = dx;
    out.dy = dy;
    out.buttons = (buttons & SDL_BUTTON_LMASK) ? 1 : 0;
    return S_OK;
}

void Release() { Unacquire(); }

}  // namespace in
