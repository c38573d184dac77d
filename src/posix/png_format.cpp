// PNG through libpng's simplified interface, which converts every colour type and bit
// depth to 8-bit BGR or BGRA and reports errors through its result.
#include <png.h>

#include <algorithm>
#include <cstring>

#include "posix/image_formats.h"

namespace qorva::posix {

namespace {

bool HasTransparency(const Bitmap& image) {
  return std::ranges::any_of(image.palette(), [](Argb entry) { return AlphaOf(entry) != 255; });
}

}  // namespace

bool LooksLikePng(std::string_view bytes) {
  return bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8) == 0;
}

ImageDecodeResult DecodePng(std::string_view bytes) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
    return {ImageStatus::kGenericError, std::nullopt};
  }
  if (!Bitmap::SizeAllowed(png.width, png.height)) {
    png_image_free(&png);
    return {ImageStatus::kOutOfMemory, std::nullopt};
  }
  const bool alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  png.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  std::optional<Bitmap> image =
      Bitmap::Create(static_cast<int32_t>(png.width), static_cast<int32_t>(png.height),
                     alpha ? PixelFormat::kArgb32 : PixelFormat::kRgb24);
  if (!image) {
    png_image_free(&png);
    return {ImageStatus::kOutOfMemory, std::nullopt};
  }
  // For 8-bit formats the row stride counts bytes.
  if (!png_image_finish_read(&png, nullptr, image->Row(0), static_cast<png_int_32>(image->stride()),
                             nullptr)) {
    png_image_free(&png);
    return {ImageStatus::kGenericError, std::nullopt};
  }
  return {ImageStatus::kOk, std::move(image)};
}

ImageEncodeResult EncodePng(const Bitmap& image) {
  if (image.format() == PixelFormat::kIndexed8) {
    std::optional<Bitmap> direct =
        image.ConvertedTo(HasTransparency(image) ? PixelFormat::kArgb32 : PixelFormat::kRgb24);
    if (!direct) return {ImageStatus::kOutOfMemory, {}};
    return EncodePng(*direct);
  }
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width());
  png.height = static_cast<png_uint_32>(image.height());
  png.format = image.format() == PixelFormat::kArgb32 ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  const auto stride = static_cast<png_int_32>(image.stride());
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(png, size, 0, image.Row(0), stride, nullptr)) {
    return {ImageStatus::kGenericError, {}};
  }
  std::string bytes(size, '\0');
  if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.Row(0), stride, nullptr)) {
    return {ImageStatus::kGenericError, {}};
  }
  bytes.resize(size);
  return {ImageStatus::kOk, std::move(bytes)};
}

}  // namespace qorva::posix
