// Opening, reading and releasing the mouse.
#include "input/mouse.h"

#include <cstring>

InputSystem* directInput = nullptr;
MouseDevice* mouseDevice = nullptr;
MouseState mouseState = {};

namespace {
// The device normally stops answering "input lost" at once; should it never stop, the frame
// goes on after this many tries and the next read tries again.
constexpr int kMaxLostAnswers = 100;
}  // namespace

HRESULT InitMouse(HWND window) {
    HRESULT r = CreateInputSystem(&directInput);
    if (FAILED(r)) return r;
    r = directInput->CreateDevice(&mouseDevice);
    if (FAILED(r)) return r;
    r = mouseDevice->SetDataFormat(c_dfDIMouse2);
    if (FAILED(r)) return r;
    r = mouseDevice->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    if (FAILED(r)) return r;
    mouseDevice->Acquire();  // a device not acquired now is acquired by the first failed read
    return S_OK;
}

HRESULT ReadMouse() {
    if (!mouseDevice) return S_OK;
    std::memset(&mouseState, 0, sizeof mouseState);
    if (SUCCEEDED(mouseDevice->GetDeviceState(sizeof mouseState, &mouseState))) return S_OK;
    std::memset(&mouseState, 0, sizeof mouseState);
    for (int lost = 0; lost < kMaxLostAnswers; ++lost)
        if (mouseDevice->Acquire() != DIERR_INPUTLOST) break;
    return S_OK;
}

void FreeMouse() {
    if (mouseDevice) {
        mouseDevice->Unacquire();
        mouseDevice->Release();
        mouseDevice = nullptr;
    }
    if (directInput) {
        directInput->Release();
        directInput = nullptr;
    }
}

void ResetMouse() {
    FreeMouse();
    mouseState = MouseState{};
}
