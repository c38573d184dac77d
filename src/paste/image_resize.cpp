#include "paste/image_resize.h"

#include <filesystem>
#include <system_error>

#include "graphics/bitmap_drawing.h"
#include "platform/image_codec.h"
#include "support/file_path.h"
#include "support/image_files.h"
#include "support/string_helpers.h"

namespace qorva {

namespace {

// The name the file waits under while it is redrawn.
Text AsideName(TextView path) {
  size_t dot = path.rfind(u'.');
  size_t separator = path.find_last_of(u"\\/");
  // Without an extension of its own, the mark goes at the end.
  if (dot == TextView::npos || (separator != TextView::npos && dot < separator)) {
    return Text(path) + u"___";
  }
  return Text(path.substr(0, dot)) + u"___" + Text(path.substr(dot));
}

void PutBack(const std::filesystem::path& aside, const std::filesystem::path& original) {
  std::error_code error;
  std::filesystem::rename(aside, original, error);
}

}  // namespace

bool ResizeImageFileInPlace(const ImageCodec& codec, TextView path, int32_t width, int32_t height,
                            int32_t jpegQuality) {
  const Text extension = ToLower(ExtractExtension(path));
  const Text asideText = AsideName(path);
  const std::filesystem::path original = PathFromText(path);
  const std::filesystem::path aside = PathFromText(asideText);
  std::error_code error;
  if (!std::filesystem::is_regular_file(original, error)) return false;
  std::filesystem::rename(original, aside, error);
  if (error) return false;

  ImageDecodeResult loaded = LoadImageFile(codec, asideText);
  std::optional<Bitmap> canvas = Bitmap::Create(width, height, PixelFormat::kRgb24);
  if (loaded.status != ImageStatus::kOk || !loaded.image || !canvas) {
    PutBack(aside, original);
    return false;
  }
  FillRect(*canvas, {0, 0, width, height}, 0xFFFFFFFFu);
  DrawBitmapScaled(*canvas, {0, 0, width, height}, *loaded.image);
  loaded.image.reset();
  if (SaveImageFile(codec, extension, path, kRotateNoneFlipX, *canvas, jpegQuality) !=
      ImageStatus::kOk) {
    PutBack(aside, original);
    return false;
  }
  RemoveFileForcibly(aside);
  return true;
}

}  // namespace qorva
