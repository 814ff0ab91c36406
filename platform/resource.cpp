// The lookup over the resource files that the build links into the program (embedded.S).
#include "platform/resource.h"

#include <cstring>

#include "platform/bytes.h"
#include "platform/catalogue.h"

// Each embedded file is one run of bytes between two symbols that the build's assembler file
// defines, named after the file's constant in the catalogue.
#define QUENDRA_DECLARE(constant, ...) \
    extern "C" const std::uint8_t quendra_res_##constant[], quendra_res_##constant##_end[];
QUENDRA_NUMBERED(QUENDRA_DECLARE)
QUENDRA_NAMED(QUENDRA_DECLARE)
#undef QUENDRA_DECLARE

namespace {

using Bytes = std::span<const std::uint8_t>;

struct Embedded {
    ResourceId type, name;
    const std::uint8_t *begin, *end;
    Bytes bytes() const { return {begin, static_cast<std::size_t>(end - begin)}; }
};

#define QUENDRA_NUMBERED_ROW(constant, type, number, file) \
    Embedded{type, constant, quendra_res_##constant, quendra_res_##constant##_end},
#define QUENDRA_NAMED_ROW(constant, type, file) \
    Embedded{type, constant, quendra_res_##constant, quendra_res_##constant##_end},
const Embedded kEmbedded[] = {QUENDRA_NUMBERED(QUENDRA_NUMBERED_ROW)
                                  QUENDRA_NAMED(QUENDRA_NAMED_ROW)};
#undef QUENDRA_NUMBERED_ROW
#undef QUENDRA_NAMED_ROW

constexpr std::size_t kBitmapFileHeaderSize = 14;

// A bitmap resource is the file without its 14-byte file header.
Bytes Dib(Bytes file) {
    return file.size() > kBitmapFileHeaderSize ? file.subspan(kBitmapFileHeaderSize) : Bytes{};
}

// Image n (1-based) of the icon file: its directory has a 6-byte head, then 16 bytes an image
// whose last 8 give the image's size and offset.
Bytes IconImage(Bytes ico, unsigned n) {
    if (ico.size() < 6) return {};
    unsigned count = ReadLe(ico.data() + 4, 2);
    if (n < 1 || n > count || ico.size() < 6 + 16 * count) return {};
    const std::uint8_t* entry = ico.data() + 6 + 16 * (n - 1);
    std::uint32_t size = ReadLe(entry + 8, 4), offset = ReadLe(entry + 12, 4);
    if (offset > ico.size() || size > ico.size() - offset) return {};
    return ico.subspan(offset, size);
}

bool Same(ResourceId a, ResourceId b) {
    if (a.text || b.text) return a.text && b.text && std::strcmp(a.text, b.text) == 0;
    return a.number == b.number;
}

}  // namespace

std::span<const std::uint8_t> FindResource(ResourceId type, ResourceId name) {
    for (const Embedded& embedded : kEmbedded) {
        if (!Same(embedded.type, type)) continue;
        if (Same(type, RT_ICON))
            return name.text ? Bytes{} : IconImage(embedded.bytes(), name.number);
        if (!Same(embedded.name, name)) continue;
        return Same(type, RT_BITMAP) ? Dib(embedded.bytes()) : embedded.bytes();
    }
    return {};
}
