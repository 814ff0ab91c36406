#include "tools/png.h"

#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace {

// PNG's numbers are big-endian, unlike every other file the game or the generator writes.
void PutBe32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Chunk(Bytes& out, const char* type, const Bytes& data) {
    PutBe32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const auto length = static_cast<uInt>(out.size() - start);
    PutBe32(out, static_cast<std::uint32_t>(crc32(0, out.data() + start, length)));
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Filters each row with the filter whose output has the smallest sum of magnitudes, the usual
// rule of thumb for compressing well.
Bytes FilterRows(const Bytes& rgba, int width, int height) {
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    const Bytes zeros(stride, 0);
    Bytes out;
    Bytes best, candidate(stride);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rgba.data() + y * stride;
        const std::uint8_t* up = y ? row - stride : zeros.data();
        long bestCost = -1;
        int bestType = 0;
        for (int type = 0; type < 5; ++type) {
            long cost = 0;
            for (std::size_t i = 0; i < stride; ++i) {
                const int a = i >= 4 ? row[i - 4] : 0, b = up[i], c = i >= 4 ? up[i - 4] : 0;
                const int predicted = type == 0   ? 0
                                      : type == 1 ? a
                                      : type == 2 ? b
                                      : type == 3 ? (a + b) / 2
                                                  : Paeth(a, b, c);
                candidate[i] = static_cast<std::uint8_t>(row[i] - predicted);
                cost += std::abs(static_cast<std::int8_t>(candidate[i]));
            }
            if (bestCost < 0 || cost < bestCost) bestCost = cost, bestType = type, best = candidate;
        }
        out.push_back(static_cast<std::uint8_t>(bestType));
        out.insert(out.end(), best.begin(), best.end());
    }
    return out;
}

}  // namespace

Bytes EncodePng(const Image& image) {
    const int width = image.Width(), height = image.Height();
    Bytes rgba;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float alpha = Clamp01(image.AlphaAt(x, y));
            const Rgb8 c = alpha > 0 ? ToRgb8(image.ColourAt(x, y)) : Rgb8{};
            const auto a = static_cast<std::uint8_t>(std::lround(alpha * 255));
            rgba.insert(rgba.end(), {c.r, c.g, c.b, a});
        }
    }
    const Bytes raw = FilterRows(rgba, width, height);
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw std::runtime_error("cannot compress a PNG picture");
    packed.resize(size);

    Bytes header;
    PutBe32(header, static_cast<std::uint32_t>(width));
    PutBe32(header, static_cast<std::uint32_t>(height));
    // 8 bits a channel, RGBA, deflate, adaptive filters, no interlace.
    header.insert(header.end(), {8, 6, 0, 0, 0});

    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Chunk(out, "IHDR", header);
    Chunk(out, "IDAT", packed);
    Chunk(out, "IEND", {});
    return out;
}
