// Mouse services over the backend's relative mouse.
#include "platform/input_device.h"

#include <cstring>
#include <new>

#include "platform/tap.h"

HRESULT MouseDevice::SetDataFormat(const MouseDataFormat& format) {
    if (format.dataSize != 20) return E_INVALIDARG;
    formatSet_ = true;
    return S_OK;
}

HRESULT MouseDevice::SetCooperativeLevel(HWND window, std::uint32_t flags) {
    if (!window || !(flags & DISCL_FOREGROUND)) return E_INVALIDARG;
    cooperative_ = true;
    return S_OK;
}

HRESULT MouseDevice::Acquire() {
    if (!formatSet_ || !cooperative_) return E_INVALIDARG;
    return tap::MouseAcquire();
}

HRESULT MouseDevice::Unacquire() {
    tap::MouseUnacquire();
    return S_OK;
}

HRESULT MouseDevice::GetDeviceState(std::uint32_t size, void* data) {
    if (size != 20 || !data) return E_INVALIDARG;
    in::Reading reading;
    HRESULT r = tap::MouseRead(reading);
    if (FAILED(r)) return r;
    std::int32_t axes[3] = {reading.dx, reading.dy, 0};
    std::uint8_t buttons[8] = {};
    for (int i = 0; i < 8; ++i)
        buttons[i] = (reading.buttons >> i) & 1 ? BUTTON_DOWN : std::uint8_t{0};
    std::memcpy(data, axes, sizeof axes);
    std::memcpy(static_cast<std::uint8_t*>(data) + 12, buttons, sizeof buttons);
    return S_OK;
}

void MouseDevice::Release() {
    tap::MouseRelease();
    delete this;
}

HRESULT InputSystem::CreateDevice(MouseDevice** out) {
    HRESULT r = tap::CreateMouse();
    if (FAILED(r)) return r;
    *out = new (std::nothrow) MouseDevice;
    return *out ? S_OK : E_OUTOFMEMORY;
}

void InputSystem::Release() { delete this; }

HRESULT CreateInputSystem(InputSystem** out) {
    *out = new (std::nothrow) InputSystem;
    return *out ? S_OK : E_OUTOFMEMORY;
}
