// Reading and writing Windows BMP files, for back ends whose libraries lack them.
// Reads uncompressed and bit-field BMPs of 1, 4, 8, 16, 24 and 32 bits a pixel with
// any of the usual header versions; run-length compressed files are refused.
// Writes kRgb24 as 24-bit, kArgb32 as 32-bit with an alpha mask, kIndexed8 as 8-bit.
#pragma once

#include <string>
#include <string_view>

#include "graphics/image_coding.h"

namespace qorva {

bool LooksLikeBmp(std::string_view bytes);
ImageDecodeResult DecodeBmp(std::string_view bytes);
ImageEncodeResult EncodeBmp(const Bitmap& image);

}  // namespace qorva
