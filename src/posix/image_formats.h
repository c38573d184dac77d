// The Linux codecs, one pair per format, each over its library: libjpeg-turbo, libpng,
// giflib and libtiff. Decoders check the declared size against the bitmap limits before
// allocating and report corrupt or truncated data as a failure status.
#pragma once

#include <string_view>

#include "platform/image_codec.h"

namespace qorva::posix {

bool LooksLikeJpeg(std::string_view bytes);
ImageDecodeResult DecodeJpeg(std::string_view bytes);
// `quality` from 0 to 100.
ImageEncodeResult EncodeJpeg(const Bitmap& image, int32_t quality);

bool LooksLikePng(std::string_view bytes);
ImageDecodeResult DecodePng(std::string_view bytes);
ImageEncodeResult EncodePng(const Bitmap& image);

bool LooksLikeGif(std::string_view bytes);
// The first frame on the logical screen, as an 8-bit indexed bitmap.
ImageDecodeResult DecodeGif(std::string_view bytes);
// Indexed bitmaps as they are; others are quantised first.
ImageEncodeResult EncodeGif(const Bitmap& image);

bool LooksLikeTiff(std::string_view bytes);
// The first page.
ImageDecodeResult DecodeTiff(std::string_view bytes);
ImageEncodeResult EncodeTiff(const Bitmap& image);

}  // namespace qorva::posix
