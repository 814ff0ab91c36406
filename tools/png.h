// PNG files for the desktop: 8-bit RGBA, zlib-compressed, the same bytes on every run.
#pragma once

#include "tools/formats.h"
#include "tools/image.h"

// The picture with its coverage as alpha (straight, not premultiplied).
Bytes EncodePng(const Image& image);
