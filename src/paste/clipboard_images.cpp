#include "paste/clipboard_images.h"

#include "platform/clipboard.h"
#include "support/image_files.h"
#include "support/string_helpers.h"
#include "support/working_folder.h"

namespace qorva {

namespace {

constexpr const char* kClipboardImageTag =
    "<img style=\"width:%dpx; height:%dpx;\" border=\"0\" src=\"file:///\x01\" alt=\"\x02\">";

int32_t RotationCodeOf(int32_t angle) {
  switch (angle) {
    case 90:
      return kRotate90FlipNone;
    case 180:
      return kRotate180FlipNone;
    case 270:
      return kRotate270FlipNone;
    default:
      return kRotateNoneFlipX;  // the value the save takes as "unchanged"
  }
}

}  // namespace

Text FillImageTag(const char* format, ImageSize size, TextView src, TextView alt) {
  Text tag = FormatText(format, static_cast<int>(size.width), static_cast<int>(size.height));
  ReplaceAll(tag, u"\x01", src);
  ReplaceAll(tag, u"\x02", alt);
  return tag;
}

int32_t CanPasteImageFromClipboard(Clipboard& clipboard) {
  auto access = clipboard.Open();
  if (!access) return 0;
  return access->IsAvailable(StandardFormat::kBitmap) ? 1 : 0;
}

SavedClipboardImage SaveClipboardBitmap(const ClipboardImageContext& images, TextView type,
                                        int32_t angle, int32_t width, int32_t height) {
  Text extension = ToLower(type);
  auto clipboard = images.clipboard.Open();
  if (!clipboard) return {};
  std::optional<Bitmap> bitmap = clipboard->GetBitmap();
  if (!bitmap) return {};
  Text file = NewWorkingFilePath(images.system, extension);
  if (SaveImageFile(images.imageCodec, extension, file, RotationCodeOf(angle), *bitmap,
                    images.jpegQuality) != ImageStatus::kOk) {
    return {};
  }
  // After the save, so a quarter turn has swapped the sides; the file keeps its own size.
  uint32_t w = static_cast<uint32_t>(bitmap->width());
  uint32_t h = static_cast<uint32_t>(bitmap->height());
  if (width > 0 && height > 0) {
    w = static_cast<uint32_t>(width);
    h = static_cast<uint32_t>(height);
  }
  ImageSize size = FitToDefaultSize(w, h, images.defaultSize);
  return {FillImageTag(kClipboardImageTag, size, file, ExtractFileName(file)), file};
}

}  // namespace qorva
