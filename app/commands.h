// The commands of the keyboard table, and the table itself: which key gives which command.
// The generator writes this table into the embedded keys.bin.
#pragma once

#include <cstdint>

#include "platform/keys.h"

inline constexpr std::uint16_t ID_EXIT = 40001;
inline constexpr std::uint16_t ID_BACK = 40002;
inline constexpr std::uint16_t ID_UP = 40003;
inline constexpr std::uint16_t ID_DOWN = 40004;
inline constexpr std::uint16_t ID_SELECT = 40007;

struct KeyCommand {
    std::uint16_t flags, key, command;
};
inline constexpr std::uint16_t KEY_FLAGS = FVIRTKEY | FNOINVERT;
inline constexpr KeyCommand KEY_TABLE[] = {
    {KEY_FLAGS, VK_DOWN, ID_DOWN},
    {KEY_FLAGS, VK_ESCAPE, ID_BACK},
    {KEY_FLAGS | FALT, VK_F10, ID_EXIT},
    {KEY_FLAGS, VK_RETURN, ID_SELECT},
    {KEY_FLAGS | ACCEL_END, VK_UP, ID_UP},
};
