// Key names of scripts and recordings, both ways, from the one list in platform/keys.h.
#include "platform/key_names.h"

#include <cstdio>
#include <cstring>

#include "platform/keys.h"

std::uint32_t KeyFromName(std::string_view name) {
    for (const auto& n : NAMED_KEYS)
        if (name == n.name) return n.key;
    const char c = name.empty() ? '\0' : name[0];
    if (name.size() == 1 && ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
        return static_cast<std::uint32_t>(c >= 'a' ? c - 'a' + 'A' : c);
    if (name.size() >= 2 && c == 'f') {
        std::uint32_t f = 0;  // leading zeros are taken; a number past the last only has to stay so
        for (char digit : name.substr(1)) {
            if (digit < '0' || digit > '9') return VK_UNKNOWN;
            f = f > FUNCTION_KEYS ? f : f * 10 + static_cast<std::uint32_t>(digit - '0');
        }
        if (f >= 1 && f <= FUNCTION_KEYS) return VK_F1 + f - 1;
    }
    return VK_UNKNOWN;
}

const char* KeyName(std::uint32_t key, char* out) {
    for (const auto& n : NAMED_KEYS)
        if (key == n.key) return n.name;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        out[0] = static_cast<char>(key >= 'A' ? key - 'A' + 'a' : key);
        out[1] = '\0';
        return out;
    }
    if (key >= VK_F1 && key < VK_F1 + FUNCTION_KEYS) {
        std::snprintf(out, 8, "f%u", static_cast<unsigned>(key - VK_F1 + 1));
        return out;
    }
    return "unknown";
}
