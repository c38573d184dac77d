// The imaging library on Linux: the format codecs behind one encoder list.
#include "graphics/bmp_format.h"
#include "platform/native_image_codec.h"
#include "posix/image_formats.h"

namespace qorva {

namespace {

enum class Format { kBmp, kJpeg, kGif, kTiff, kPng };

struct EncoderEntry {
  Format format;
  ImageEncoderInfo info;
};

const std::vector<EncoderEntry>& EncoderTable() {
  static const std::vector<EncoderEntry> table = {
      {Format::kBmp,
       {{0x647428c3, 0xbf3a, 0x4080, {0x91, 0x78, 0x9f, 0xc8, 0xe9, 0x79, 0xf7, 0x5a}},
        u"image/bmp",
        u"BMP",
        u"*.BMP;*.DIB;*.RLE"}},
      {Format::kJpeg,
       {{0x1fac6073, 0x6851, 0x4f87, {0x9d, 0xa4, 0x0c, 0xe7, 0x14, 0x6e, 0x57, 0x23}},
        u"image/jpeg",
        u"JPEG",
        u"*.JPG;*.JPEG;*.JPE;*.JFIF"}},
      {Format::kGif,
       {{0x4ef6b51f, 0x6600, 0x4592, {0xb3, 0xf7, 0xab, 0x8b, 0x41, 0x8b, 0x8b, 0x2b}},
        u"image/gif",
        u"GIF",
        u"*.GIF"}},
      {Format::kTiff,
       {{0x0b2e659a, 0xf67d, 0x45fd, {0x8d, 0x50, 0x4f, 0x76, 0xb8, 0x10, 0xe4, 0x48}},
        u"image/tiff",
        u"TIFF",
        u"*.TIF;*.TIFF"}},
      {Format::kPng,
       {{0x63f58bcd, 0x08cb, 0x4e14, {0x9d, 0x01, 0x31, 0x3c, 0xd8, 0x3d, 0x31, 0xc4}},
        u"image/png",
        u"PNG",
        u"*.PNG"}},
  };
  return table;
}

class PosixImageCodec final : public ImageCodec {
 public:
  ImageDecodeResult Decode(std::string_view bytes) const override {
    if (posix::LooksLikeJpeg(bytes)) return posix::DecodeJpeg(bytes);
    if (posix::LooksLikePng(bytes)) return posix::DecodePng(bytes);
    if (posix::LooksLikeGif(bytes)) return posix::DecodeGif(bytes);
    if (posix::LooksLikeTiff(bytes)) return posix::DecodeTiff(bytes);
    if (LooksLikeBmp(bytes)) return DecodeBmp(bytes);
    return {ImageStatus::kUnknownImageFormat, std::nullopt};
  }

  std::vector<ImageEncoderInfo> Encoders() const override {
    std::vector<ImageEncoderInfo> list;
    for (const EncoderEntry& entry : EncoderTable()) list.push_back(entry.info);
    return list;
  }

  ImageEncodeResult Encode(const Bitmap& image, const Guid& clsid,
                           const ImageEncoderParameters& parameters) const override {
    for (const EncoderEntry& entry : EncoderTable()) {
      if (!SameGuid(entry.info.clsid, clsid)) continue;
      switch (entry.format) {
        case Format::kBmp:
          return EncodeBmp(image);
        case Format::kJpeg: {
          const int32_t quality = parameters.quality.value_or(kDefaultJpegQuality);
          if (quality < 0 || quality > 100) return {ImageStatus::kInvalidParameter, {}};
          return posix::EncodeJpeg(image, quality);
        }
        case Format::kGif:
          return posix::EncodeGif(image);
        case Format::kTiff:
          return posix::EncodeTiff(image);
        case Format::kPng:
          return posix::EncodePng(image);
      }
    }
    return {ImageStatus::kInvalidParameter, {}};
  }

 private:
  static constexpr int32_t kDefaultJpegQuality = 75;
};

}  // namespace

std::unique_ptr<ImageCodec> CreateNativeImageCodec() { return std::make_unique<PosixImageCodec>(); }

}  // namespace qorva
