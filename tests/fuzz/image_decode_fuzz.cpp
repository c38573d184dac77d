// Feeds arbitrary bytes to the image decoders (every format the native codec reads, and
// the portable BMP reader on its own). A picture that decodes must be within the bitmap
// limits and survive a BMP round trip unchanged.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "graphics/bmp_format.h"
#include "platform/native_image_codec.h"

namespace {

// BMP palettes carry no alpha, so indexed pictures compare by colour alone.
bool SamePixels(const qorva::Bitmap& a, const qorva::Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  const uint32_t mask = a.format() == qorva::PixelFormat::kIndexed8 ? 0x00FFFFFFu : 0xFFFFFFFFu;
  for (int32_t y = 0; y < a.height(); ++y) {
    for (int32_t x = 0; x < a.width(); ++x) {
      if ((a.PixelAt(x, y) & mask) != (b.PixelAt(x, y) & mask)) return false;
    }
  }
  return true;
}

void Check(const qorva::ImageDecodeResult& decoded) {
  if ((decoded.status == qorva::ImageStatus::kOk) != decoded.image.has_value()) std::abort();
  if (!decoded.image) return;
  const qorva::Bitmap& image = *decoded.image;
  if (!qorva::Bitmap::SizeAllowed(image.width(), image.height())) std::abort();
  if (int64_t{image.width()} * image.height() > (1 << 20)) return;
  qorva::ImageEncodeResult bmp = qorva::EncodeBmp(image);
  if (bmp.status != qorva::ImageStatus::kOk) std::abort();
  qorva::ImageDecodeResult back = qorva::DecodeBmp(bmp.bytes);
  if (!back.image || !SamePixels(*back.image, image)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::unique_ptr<qorva::ImageCodec> codec = qorva::CreateNativeImageCodec();
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Check(codec->Decode(bytes));
  Check(qorva::DecodeBmp(bytes));
  return 0;
}
