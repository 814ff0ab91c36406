// Virtual-key codes and the keys the program knows, the modifiers held with a key, and the
// flags of a keyboard-table entry.
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
// Any key the program does not know; the game treats them all alike.
inline constexpr std::uint16_t VK_UNKNOWN = 0xFF;

// The keys the program knows, with their names in scripts and recordings: these, the letters A
// to Z and the digits 0 to 9 (each its upper-case character, named by its lower-case one), and F1
// to F<FUNCTION_KEYS> ("f1" ...). The desktop's and the browser's translations give exactly these
// (TranslatesTheNamedKeys checks their tables); every other key is VK_UNKNOWN.
struct NamedKey {
    std::uint16_t key;
    const char* name;
};
inline constexpr NamedKey NAMED_KEYS[] = {
    {VK_UP, "up"},     {VK_DOWN, "down"},   {VK_RETURN, "enter"}, {VK_ESCAPE, "escape"},
    {VK_LEFT, "left"}, {VK_RIGHT, "right"}, {VK_SPACE, "space"},  {VK_TAB, "tab"},
    {VK_BACK, "backspace"}, {VK_MENU, "menu"}};
inline constexpr std::uint16_t FUNCTION_KEYS = 12;

// True when a translation table from another vocabulary (pairs whose `second` is our key) gives
// every named key and nothing else.
template <class Table>
constexpr bool TranslatesTheNamedKeys(const Table& table) {
    auto gives = [&table](std::uint16_t key) {
        for (const auto& entry : table)
            if (entry.second == key) return true;
        return false;
    };
    auto named = [](std::uint16_t key) {
        for (const NamedKey& n : NAMED_KEYS)
            if (n.key == key) return true;
        return false;
    };
    for (const NamedKey& n : NAMED_KEYS)
        if (!gives(n.key)) return false;
    for (const auto& entry : table)
        if (!named(entry.second)) return false;
    return true;
}

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
