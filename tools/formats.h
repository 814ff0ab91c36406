// The file formats the game embeds: Windows bitmaps, icons with their resource directory, the
// accelerator table, and RIFF WAVE sounds; all little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "tools/palette.h"

using Bytes = std::vector<std::uint8_t>;

// Appends little-endian fields to a byte buffer, as the game reads them (platform/bytes.h).
class ByteWriter {
public:
    void U8(std::uint32_t v) { Le(v, 1); }
    void U16(std::uint32_t v) { Le(v, 2); }
    void U32(std::uint32_t v) { Le(v, 4); }
    void Text(const char* four) {
        for (int i = 0; i < 4; ++i) U8(static_cast<std::uint8_t>(four[i]));
    }
    void Append(const Bytes& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
    const Bytes& bytes() const { return bytes_; }

private:
    void Le(std::uint32_t v, int count) {
        bytes_.resize(bytes_.size() + count);
        WriteLe(bytes_.data() + bytes_.size() - count, v, count);
    }

    Bytes bytes_;
};

// A .bmp file: file header, 40-byte info header, the full palette, rows bottom-up. Pictures of
// 16 colours are stored with 4 bits per pixel, the others with 8.
Bytes EncodeBmp(const Indexed& picture);

// One image of an icon: a 16-colour picture and which of its pixels are transparent.
struct IconImage {
    Indexed picture;                // 16-entry palette, entry 0 black
    std::vector<bool> transparent;  // top-down, one per pixel
};

// The .ico file (directory, then each image as info header with doubled height, palette, colour
// pixels and the 1-bit mask) and the icon group resource that names the images 1, 2, ...
Bytes EncodeIcon(const std::vector<IconImage>& images);
Bytes EncodeIconGroup(const std::vector<IconImage>& images);

struct Accelerator {
    std::uint16_t flags, key, command;
};
Bytes EncodeAccelerators(const std::vector<Accelerator>& table);

// A mono 8-bit PCM RIFF WAVE file.
Bytes EncodeWav(const Bytes& samples, std::uint32_t rate);

void WriteFile(const std::string& path, const Bytes& bytes);
