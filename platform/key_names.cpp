// Key names, both ways.
#include "platform/key_names.h"

#include <cstdio>
#include <cstring>

#include "platform/keys.h"

namespace {

constexpr std::uint32_t kUnknownKey = 0xFF;

constexpr struct {
    const char* name;
    std::uint32_t key;
} kNamed[] = {{"up", VK_UP},         {"down", VK_DOWN},   {"enter", VK_RETURN},
              {"escape", VK_ESCAPE}, {"left", VK_LEFT},   {"right", VK_RIGHT},
              {"space", VK_SPACE},   {"tab", VK_TAB},     {"backspace", VK_BACK},
              {"menu", VK_MENU}};

constexpr std::uint32_t kFunctionKeys = 24;

}  // namespace

std::uint32_t KeyFromName(std::string_view name) {
    for (const auto& n : kNamed)
        if (name == n.name) return n.key;
    if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9')))
        return static_cast<std::uint32_t>(name[0] >= 'a' ? name[0] - 'a' + 'A' : name[0]);
    if (name.size() >= 2 && name[0] == 'f') {
        std::uint32_t f = 0;  // leading zeros are taken; past 24 it only has to stay past 24
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') return kUnknownKey;
            f = f > kFunctionKeys ? f : f * 10 + static_cast<std::uint32_t>(c - '0');
        }
        if (f >= 1 && f <= kFunctionKeys) return VK_F1 + f - 1;
    }
    return kUnknownKey;
}

const char* KeyName(std::uint32_t key, char* out) {
    for (const auto& n : kNamed)
        if (key == n.key) return n.name;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        out[0] = static_cast<char>(key >= 'A' ? key - 'A' + 'a' : key);
        out[1] = '\0';
        return out;
    }
    if (key >= VK_F1 && key < VK_F1 + kFunctionKeys) {
        std::snprintf(out, 8, "f%u", static_cast<unsigned>(key - VK_F1 + 1));
        return out;
    }
    return "unknown";
}
