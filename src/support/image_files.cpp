#include "support/image_files.h"

#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "graphics/color_quantizer.h"
#include "support/file_path.h"
#include "support/working_folder.h"

namespace qorva {

namespace {

// The logo PNG, embedded at build time from support/resources/qorva_logo.png.
constexpr unsigned char kLogoPng[] = {
#include "qorva_logo_png.inc"
};

bool IsJpegExtension(TextView extension) {
  return EqualsIgnoreCase(extension, u"jpg") || EqualsIgnoreCase(extension, u"jpeg");
}

enum class WriteOutcome { kWritten, kNotOpened, kCutShort };

WriteOutcome WriteWholeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return WriteOutcome::kNotOpened;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out ? WriteOutcome::kWritten : WriteOutcome::kCutShort;
}

}  // namespace

Text MimeTypeForExtension(TextView extension) {
  if (IsJpegExtension(extension)) return u"image/jpeg";
  if (EqualsIgnoreCase(extension, u"png")) return u"image/png";
  if (EqualsIgnoreCase(extension, u"bmp")) return u"image/bmp";
  if (EqualsIgnoreCase(extension, u"gif")) return u"image/gif";
  if (EqualsIgnoreCase(extension, u"tiff")) return u"image/tiff";
  return {};
}

std::optional<Guid> FindEncoder(const ImageCodec& codec, TextView mimeType) {
  for (const ImageEncoderInfo& encoder : codec.Encoders()) {
    if (encoder.mimeType == mimeType) return encoder.clsid;
  }
  return std::nullopt;
}

ImageStatus SaveImageFile(const ImageCodec& codec, TextView extension, TextView path,
                          int32_t rotateFlip, Bitmap& image, int32_t jpegQuality) {
  EnsureFolderTree(path);
  std::optional<Guid> encoder = FindEncoder(codec, MimeTypeForExtension(extension));
  if (!encoder) return ImageStatus::kUnknownImageFormat;
  if (rotateFlip != kRotateNoneFlipX) image.RotateFlip(rotateFlip);

  ImageEncodeResult encoded;
  if (IsJpegExtension(extension)) {
    ImageEncoderParameters parameters;
    parameters.quality = jpegQuality;
    encoded = codec.Encode(image, *encoder, parameters);
  } else if (EqualsIgnoreCase(extension, u"gif")) {
    std::optional<Bitmap> indexed = QuantizeToIndexed(image);
    if (!indexed) return ImageStatus::kOutOfMemory;
    encoded = codec.Encode(*indexed, *encoder, {});
  } else {
    encoded = codec.Encode(image, *encoder, {});
  }
  if (encoded.status != ImageStatus::kOk) return encoded.status;
  const std::filesystem::path file = PathFromText(path);
  switch (WriteWholeFile(file, encoded.bytes)) {
    case WriteOutcome::kWritten:
      return ImageStatus::kOk;
    case WriteOutcome::kNotOpened:
      return ImageStatus::kWin32Error;
    case WriteOutcome::kCutShort: {
      // A file cut short is no picture.
      std::error_code error;
      std::filesystem::remove(file, error);
      return ImageStatus::kWin32Error;
    }
  }
  return ImageStatus::kWin32Error;
}

ImageDecodeResult LoadImageFile(const ImageCodec& codec, TextView path) {
  std::filesystem::path file = PathFromText(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return {ImageStatus::kFileNotFound, {}};
  if (std::filesystem::file_size(file, error) > kMaxImageFileSize || error) {
    return {ImageStatus::kOutOfMemory, {}};
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) return {ImageStatus::kAccessDenied, {}};
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return codec.Decode(bytes);
}

ImageSize FitToDefaultSize(uint32_t width, uint32_t height, ImageSize limit) {
  const uint64_t maxWidth = limit.width;
  const uint64_t maxHeight = limit.height;
  // 64-bit products: the proportions stay right for any 32-bit sizes and limits.
  uint64_t w = width;
  uint64_t h = height;
  if (maxWidth != 0 && w > maxWidth) {
    h = h * maxWidth / w;
    w = maxWidth;
  }
  if (maxHeight != 0 && h > maxHeight) {
    w = w * maxHeight / h;
    h = maxHeight;
  }
  return {w == 0 ? width : static_cast<uint32_t>(w), h == 0 ? height : static_cast<uint32_t>(h)};
}

std::optional<Bitmap> LoadLogoImage(const ImageCodec& codec) {
  ImageDecodeResult decoded =
      codec.Decode(std::string_view(reinterpret_cast<const char*>(kLogoPng), sizeof kLogoPng));
  return std::move(decoded.image);
}

}  // namespace qorva
