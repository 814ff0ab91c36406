// The mouse: the system mouse as a relative device, read once per play frame.
#pragma once

#include <cstdint>

#include "platform/input_device.h"

// One reading, laid out as the device delivers it (20 bytes).
struct MouseState {
    std::int32_t lX;              // movement to the right since the previous read, in counts
    std::int32_t lY;              // movement downwards
    std::int32_t lZ;              // wheel; never read by the game
    std::uint8_t rgbButtons[8];   // BUTTON_DOWN set while that button is down; 0 is primary
};
static_assert(sizeof(MouseState) == 20);

extern InputSystem* directInput;
extern MouseDevice* mouseDevice;
extern MouseState mouseState;

// Opens the mouse with exclusive foreground access; the first failing step's code.
HRESULT InitMouse(HWND window);
// Fills mouseState; after a failed read it is all zeros and the device is acquired again. A
// failed read costs the frame only its movement and shot, never the frame: S_OK whatever happens.
HRESULT ReadMouse();
void FreeMouse();
// Back to a fresh program's mouse: the device released and nothing read.
void ResetMouse();
