#include "tools/formats.h"

#include <fstream>
#include <stdexcept>

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi

int BitsPerPixel(const Indexed& picture) { return picture.palette.size() <= 16 ? 4 : 8; }

std::uint32_t RowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

void InfoHeader(ByteWriter& out, const Indexed& picture, int heightField, std::uint32_t imageSize,
                std::uint32_t ppm) {
    out.U32(kInfoHeaderSize);
    out.U32(picture.width);
    out.U32(heightField);
    out.U16(1);  // planes
    out.U16(BitsPerPixel(picture));
    out.U32(0);  // BI_RGB
    out.U32(imageSize);
    out.U32(ppm);
    out.U32(ppm);
    out.U32(static_cast<std::uint32_t>(picture.palette.size()));
    out.U32(0);
}

void Palette(ByteWriter& out, const Indexed& picture) {
    for (Rgb8 c : picture.palette) out.U8(c.b), out.U8(c.g), out.U8(c.r), out.U8(0);
}

// The colour pixels, bottom row first, each row padded to 4 bytes.
void Pixels(ByteWriter& out, const Indexed& picture) {
    const int bits = BitsPerPixel(picture);
    const std::uint32_t rowBytes = RowBytes(picture.width, bits);
    for (int y = picture.height - 1; y >= 0; --y) {
        Bytes row(rowBytes, 0);
        for (int x = 0; x < picture.width; ++x) {
            std::uint8_t index = picture.At(x, y);
            if (bits == 8) row[x] = index;
            else row[x / 2] |= x % 2 ? index : index << 4;
        }
        out.Append(row);
    }
}

Bytes IconImageBytes(const IconImage& image) {
    const Indexed& p = image.picture;
    const std::uint32_t xorSize = RowBytes(p.width, 4) * p.height;
    const std::uint32_t andRow = RowBytes(p.width, 1);
    ByteWriter out;
    InfoHeader(out, p, 2 * p.height, xorSize + andRow * p.height, 0);
    Palette(out, p);
    Pixels(out, p);
    for (int y = p.height - 1; y >= 0; --y) {
        Bytes row(andRow, 0);
        for (int x = 0; x < p.width; ++x)
            if (image.transparent[static_cast<std::size_t>(y) * p.width + x])
                row[x / 8] |= 0x80 >> (x % 8);
        out.Append(row);
    }
    return out.bytes();
}

}  // namespace

Bytes EncodeBmp(const Indexed& picture) {
    const std::uint32_t imageSize = RowBytes(picture.width, BitsPerPixel(picture)) * picture.height;
    const std::uint32_t offset =
        14 + kInfoHeaderSize + 4 * static_cast<std::uint32_t>(picture.palette.size());
    ByteWriter out;
    out.U8('B'), out.U8('M');
    out.U32(offset + imageSize);
    out.U16(0), out.U16(0);
    out.U32(offset);
    InfoHeader(out, picture, picture.height, imageSize, kPixelsPerMetre);
    Palette(out, picture);
    Pixels(out, picture);
    return out.bytes();
}

Bytes EncodeIcon(const std::vector<IconImage>& images) {
    ByteWriter out;
    out.U16(0), out.U16(1), out.U16(static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    std::vector<Bytes> bodies;
    for (const IconImage& image : images) {
        bodies.push_back(IconImageBytes(image));
        out.U8(image.picture.width), out.U8(image.picture.height);
        out.U8(16), out.U8(0);   // colours, reserved
        out.U16(1), out.U16(4);  // planes, bits per pixel
        out.U32(static_cast<std::uint32_t>(bodies.back().size()));
        out.U32(offset);
        offset += static_cast<std::uint32_t>(bodies.back().size());
    }
    for (const Bytes& body : bodies) out.Append(body);
    return out.bytes();
}

Bytes EncodeIconGroup(const std::vector<IconImage>& images) {
    ByteWriter out;
    out.U16(0), out.U16(1), out.U16(static_cast<std::uint32_t>(images.size()));
    std::uint32_t id = 1;
    for (const IconImage& image : images) {
        out.U8(image.picture.width), out.U8(image.picture.height);
        out.U8(16), out.U8(0);
        out.U16(1), out.U16(4);
        out.U32(static_cast<std::uint32_t>(IconImageBytes(image).size()));
        out.U16(id++);
    }
    return out.bytes();
}

Bytes EncodeAccelerators(const std::vector<Accelerator>& table) {
    ByteWriter out;
    for (const Accelerator& entry : table)
        out.U16(entry.flags), out.U16(entry.key), out.U16(entry.command), out.U16(0);
    return out.bytes();
}

Bytes EncodeWav(const Bytes& samples, std::uint32_t rate) {
    const auto size = static_cast<std::uint32_t>(samples.size());
    ByteWriter out;
    out.Text("RIFF");
    out.U32(4 + 8 + 16 + 8 + size + size % 2);
    out.Text("WAVE");
    out.Text("fmt ");
    out.U32(16);
    out.U16(1);     // PCM
    out.U16(1);     // mono
    out.U32(rate);
    out.U32(rate);  // bytes per second
    out.U16(1);     // block align
    out.U16(8);     // bits per sample
    out.Text("data");
    out.U32(size);
    out.Append(samples);
    if (size % 2) out.U8(0x80);
    return out.bytes();
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}
