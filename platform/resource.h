// The program's embedded resources: pictures, sounds, icon and key table, found by type and id.
#pragma once

#include <cstdint>
#include <span>

// A resource type or name: a number (as the bitmaps and the icon have) or a text (as the sounds
// and their type "WAVE" have). A null text with number 0 names nothing.
struct ResourceId {
    std::uint16_t number = 0;
    const char* text = nullptr;

    constexpr ResourceId(std::uint16_t n) : number(n) {}  // NOLINT: used like MAKEINTRESOURCE
    constexpr ResourceId(const char* t) : text(t) {}      // NOLINT
};

inline constexpr std::uint16_t RT_ICON = 3;
inline constexpr std::uint16_t RT_BITMAP = 2;
inline constexpr std::uint16_t RT_ACCELERATOR = 9;
inline constexpr std::uint16_t RT_GROUP_ICON = 14;
inline constexpr const char* RT_WAVE = "WAVE";

// The bytes of one embedded resource, in place (never copied), or an empty span when there is
// no such resource. Bitmaps come as the device-independent bitmap that follows the file header
// (the 40-byte info header first); icons (RT_ICON 1 and 2) as one image of the icon file; the
// icon group as its directory of those images; sounds as whole RIFF WAVE files.
std::span<const std::uint8_t> FindResource(ResourceId type, ResourceId name);
