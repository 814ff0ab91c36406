// The mouse services: an input system that makes the system mouse into a relative device with
// exclusive foreground access, read as a 20-byte state. Over the backend's mouse (platform.h).
#pragma once

#include <cstdint>

#include "platform/window.h"

// In a mouse state's button bytes: set while that button is down.
inline constexpr std::uint8_t BUTTON_DOWN = 0x80;
inline constexpr std::uint32_t DISCL_EXCLUSIVE = 1;
inline constexpr std::uint32_t DISCL_FOREGROUND = 4;

// The one data format the mouse offers: relative axes, then 8 buttons, 20 bytes.
struct MouseDataFormat {
    std::uint32_t objectSize, flags, dataSize, objectCount;
};
inline constexpr MouseDataFormat c_dfDIMouse2{16, 2, 20, 11};

class MouseDevice {
public:
    // Takes the 20-byte format (E_INVALIDARG for another size; its other fields are not read).
    HRESULT SetDataFormat(const MouseDataFormat& format);
    // Needs the window and DISCL_FOREGROUND (E_INVALIDARG otherwise). An acquired mouse is
    // always the program's alone, so DISCL_EXCLUSIVE is not read.
    HRESULT SetCooperativeLevel(HWND window, std::uint32_t flags);
    // Takes the mouse (in::Acquire's answers); E_INVALIDARG before the two calls above.
    HRESULT Acquire();
    // Gives the mouse back to the desktop; S_OK.
    HRESULT Unacquire();
    // Fills `size` bytes (20) with lX, lY, lZ and the 8 button bytes (0x80 when down).
    HRESULT GetDeviceState(std::uint32_t size, void* data);
    void Release();

private:
    bool formatSet_ = false;
    bool cooperative_ = false;
};

class InputSystem {
public:
    // The system mouse; a negative code when there is none.
    HRESULT CreateDevice(MouseDevice** out);
    void Release();
};

HRESULT CreateInputSystem(InputSystem** out);
