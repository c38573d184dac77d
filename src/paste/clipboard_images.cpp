#include "paste/clipboard_images.h"

#include "control/control_settings.h"
#include "control/qorvaeditor_ctrl.h"
#include "platform/clipboard.h"
#include "platform/user_interface.h"
#include "support/image_files.h"
#include "support/string_helpers.h"
#include "support/string_table.h"
#include "support/working_folder.h"

namespace qorva {

namespace {

constexpr uint32_t kImageTypeSheetCaption = 18;
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

int32_t CanPasteImageFromClipboard(CQorvaeditorCtrl& control) {
  auto clipboard = control.platform().clipboard.Open();
  if (!clipboard) return 0;
  return clipboard->IsAvailable(StandardFormat::kBitmap) ? 1 : 0;
}

SavedClipboardImage SaveClipboardBitmap(CQorvaeditorCtrl& control, TextView type, int32_t angle,
                                        int32_t width, int32_t height) {
  Text extension = ToLower(type);
  auto clipboard = control.platform().clipboard.Open();
  if (!clipboard) return {};
  std::optional<Bitmap> bitmap = clipboard->GetBitmap();
  if (!bitmap) return {};
  Text file = WorkingFolderPath(kWorkingFolderName) + NewUniqueName(control.platform().system) +
              u"." + extension;
  if (SaveImageFile(control.platform().imageCodec, extension, file, RotationCodeOf(angle),
                    *bitmap) != ImageStatus::kOk) {
    return {};
  }
  // After the save, so a quarter turn has swapped the sides; the file keeps its own size.
  uint32_t w = static_cast<uint32_t>(bitmap->width());
  uint32_t h = static_cast<uint32_t>(bitmap->height());
  if (width > 0 && height > 0) {
    w = static_cast<uint32_t>(width);
    h = static_cast<uint32_t>(height);
  }
  ImageSize size = FitToDefaultSize(w, h);
  Text tag =
      FormatText(kClipboardImageTag, static_cast<int>(size.width), static_cast<int>(size.height));
  ReplaceAll(tag, u"\x01", file);
  ReplaceAll(tag, u"\x02", ExtractFileName(file));
  return {tag, file};
}

Text ShowImageSaveDlgFromClipboard(CQorvaeditorCtrl& control, TextView strSaveType) {
  Text type = ToLower(strSaveType);
  int32_t quality = 100;
  int32_t angle = 0;
  int32_t width = -1;
  int32_t height = -1;
  if (type.empty()) {
    Text preview = SaveClipboardBitmap(control, u"JPG", 0, -1, -1).path;
    Text caption = LoadResourceText(control.platform().system, kImageTypeSheetCaption);
    std::optional<ImageSaveChoice> choice =
        control.platform().userInterface.ChooseImageSave(caption, preview);
    if (!choice) return {};
    type = choice->type;
    quality = choice->quality;
    angle = choice->angle;
    width = choice->width;
    height = choice->height;
  } else if (type != u"jpg" && type != u"gif" && type != u"png") {
    type = u"jpg";
  }
  UpdateSettings([&](ControlSettings& s) { s.jpegQuality = quality; });
  return SaveClipboardBitmap(control, type, angle, width, height).tag;
}

}  // namespace qorva
