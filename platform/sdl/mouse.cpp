// The desktop mouse: SDL's relative mode, exclusive while the window has the focus. Motion is
// SDL's running sum; the button comes from its events, so that no press is missed between reads.
#include "platform/platform.h"
#include "platform/sdl/sdl.h"

namespace {
bool focused = false;    // as the window's focus events last said (see HasFocus)
bool acquired = false;
bool held = false;       // the primary button, as its events say
bool pressed = false;    // it went down since the last good read

// The window's flag and its focus events agree on a desktop; an event pushed into SDL's queue
// (as tests push them) changes only what the events said.
bool HasFocus() {
    return sdl::window && (focused || (SDL_GetWindowFlags(sdl::window) & SDL_WINDOW_INPUT_FOCUS));
}
}  // namespace

namespace sdl {

MouseSpeed mouseSpeed;

void OnFocusGained() { focused = true; }

void OnFocusLost() {
    focused = false;
    pressed = false;  // coming back must not be a shot by itself
    if (!acquired) return;
    SDL_SetRelativeMouseMode(SDL_FALSE);
    acquired = false;
}

void OnMouseButton(const SDL_MouseButtonEvent& event) {
    if (event.button != SDL_BUTTON_LEFT) return;
    if (event.state != SDL_PRESSED) {
        held = false;
    } else if (acquired) {  // a press that reached the window before it was ours is not a shot
        held = pressed = true;
    }
}

}  // namespace sdl

namespace in {

HRESULT Create() { return sdl::window ? S_OK : DIERR_DEVICENOTREG; }

HRESULT Acquire() {
    if (acquired) return S_OK;
    if (!HasFocus()) return DIERR_OTHERAPPHASPRIO;
    if (SDL_SetRelativeMouseMode(SDL_TRUE) != 0) return DIERR_OTHERAPPHASPRIO;
    SDL_GetRelativeMouseState(nullptr, nullptr);  // motion from before is not ours
    sdl::mouseSpeed.Forget();
    acquired = true;
    return S_OK;
}

void Unacquire() {
    if (acquired) SDL_SetRelativeMouseMode(SDL_FALSE);
    acquired = false;
}

HRESULT Read(Reading& out) {
    if (!acquired) return DIERR_NOTACQUIRED;
    int dx = 0, dy = 0;
    SDL_GetRelativeMouseState(&dx, &dy);
    out.dx = dx;
    out.dy = dy;
    sdl::mouseSpeed.Scale(out.dx, out.dy);
    // A press and release both since the last read still read as held once: the release, and
    // with it the shot, comes at the next read.
    out.buttons = held || pressed ? 1 : 0;
    pressed = false;
    return S_OK;
}

void Release() { Unacquire(); }

}  // namespace in
