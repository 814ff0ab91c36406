// Virtual-key codes, the modifiers held with a key, and the flags of a keyboard-table entry.
#pragma once

#include <cstdint>

inline constexpr std::uint16_t VK_BACK = 0x08;
inline constexpr std::uint16_t VK_TAB = 0x09;
inline constexpr std::uint16_t VK_RETURN = 0x0D;
inline constexpr std::uint16_t VK_MENU = 0x12;
inline constexpr std::uint16_t VK_ESCAPE = 0x1B;
inline constexpr std::uint16_t VK_SPACE = 0x20;
inline constexpr std::uint16_t VK_LEFT = 0x25;
inline constexpr std::uint16_t VK_UP = 0x26;
inline constexpr std::uint16_t VK_RIGHT = 0x27;
inline constexpr std::uint16_t VK_DOWN = 0x28;
inline constexpr std::uint16_t VK_F1 = 0x70;
inline constexpr std::uint16_t VK_F10 = 0x79;

// Modifier keys held when a key message was made.
inline constexpr std::uint8_t MOD_SHIFT = 1;
inline constexpr std::uint8_t MOD_CONTROL = 2;
inline constexpr std::uint8_t MOD_ALT = 4;

// Keyboard-table entry flags.
inline constexpr std::uint16_t FVIRTKEY = 0x01;
inline constexpr std::uint16_t FNOINVERT = 0x02;
inline constexpr std::uint16_t FSHIFT = 0x04;
inline constexpr std::uint16_t FCONTROL = 0x08;
inline constexpr std::uint16_t FALT = 0x10;
inline constexpr std::uint16_t ACCEL_END = 0x80;
