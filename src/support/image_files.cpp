#include "support/image_files.h"

#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "graphics/color_quantizer.h"
#include "graphics/image_header.h"
#include "support/file_path.h"
#include "support/working_folder.h"

namespace qorva {

namespace {

// The logo PNG, embedded at build time from support/resources/qorva_logo.png.
constexpr unsigned char kLogoPng[] = {
#include "qorva_logo_png.inc"
};

struct ImageFileType {
  TextView extension;
  TextView mimeType;
};

// JPEG first: it is what an unknown picture type is saved as.
constexpr ImageFileType kImageFileTypes[] = {
    {u"jpg", u"image/jpeg"}, {u"png", u"image/png"},   {u"bmp", u"image/bmp"},
    {u"gif", u"image/gif"},  {u"tiff", u"image/tiff"},
};

bool IsJpegExtension(TextView extension) {
  return EqualsIgnoreCase(extension, u"jpg") || EqualsIgnoreCase(extension, u"jpeg");
}

}  // namespace

Text MimeTypeForExtension(TextView extension) {
  if (EqualsIgnoreCase(extension, u"jpeg")) return Text(kImageFileTypes[0].mimeType);
  for (const ImageFileType& type : kImageFileTypes) {
    if (EqualsIgnoreCase(extension, type.extension)) return Text(type.mimeType);
  }
  return {};
}

Text ExtensionForContentType(TextView contentType) {
  if (EqualsIgnoreCase(contentType, u"image/jpg")) return Text(kImageFileTypes[0].extension);
  for (const ImageFileType& type : kImageFileTypes) {
    if (EqualsIgnoreCase(contentType, type.mimeType)) return Text(type.extension);
  }
  return Text(kImageFileTypes[0].extension);
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
  switch (WriteFileBytes(path, encoded.bytes)) {
    case WriteOutcome::kWritten:
      return ImageStatus::kOk;
    case WriteOutcome::kNotOpened:
      return ImageStatus::kWin32Error;
    case WriteOutcome::kCutShort: {
      // A file cut short is no picture.
      std::error_code error;
      std::filesystem::remove(PathFromText(path), error);
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

std::optional<PixelSize> ReadImageFileSize(const ImageCodec& codec, TextView path) {
  std::filesystem::path file = PathFromText(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  auto read = [&in](uint64_t offset, size_t length) {
    std::string bytes;
    in.clear();
    if (!in.seekg(static_cast<std::streamoff>(offset))) return bytes;
    bytes.resize(length);
    in.read(bytes.data(), static_cast<std::streamsize>(length));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
  };
  ImageHeaderSize header = ReadImageHeaderSize(read);
  if (header.status == ImageHeaderSize::Status::kFound)
    return PixelSize{header.width, header.height};
  if (header.status == ImageHeaderSize::Status::kDamaged) return std::nullopt;
  // A format the header reader does not know may still be one the codec reads.
  ImageDecodeResult decoded = LoadImageFile(codec, path);
  if (!decoded.image) return std::nullopt;
  return PixelSize{decoded.image->width(), decoded.image->height()};
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
