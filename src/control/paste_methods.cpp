#include "control/paste_methods.h"

#include "control/control_settings.h"
#include "control/qorvaeditor_ctrl.h"
#include "paste/clipboard_images.h"
#include "paste/clipboard_paste.h"
#include "paste/paste_cleanup.h"
#include "platform/user_interface.h"
#include "support/string_table.h"

namespace qorva {

namespace {

constexpr uint32_t kImageTypeSheetCaption = 18;

ClipboardImageContext ImagesFor(CQorvaeditorCtrl& control, const ControlSettings& settings) {
  const Platform& platform = control.platform();
  return {platform.clipboard, platform.system, platform.imageCodec, DefaultImageSize(settings),
          settings.jpegQuality};
}

PasteContext CleanupFor(CQorvaeditorCtrl& control, int32_t jpegQuality) {
  return {control.officeStyleMap,    control.fallbackImageTags,      control.officeLineFix,
          control.platform().system, &control.platform().imageCodec, jpegQuality};
}

}  // namespace

Text ReadClipboardForPaste(CQorvaeditorCtrl& control) {
  control.lastPasteHtml.clear();
  control.lastPasteFiles.clear();
  control.pasteSourceType = kPasteSourceNone;
  const ControlSettings settings = SettingsSnapshot();
  PasteContext cleanup = CleanupFor(control, settings.jpegQuality);
  ClipboardPaste paste = ReadClipboardForPaste(ImagesFor(control, settings), cleanup);
  control.lastPasteHtml = std::move(paste.originalHtml);
  control.pasteSourceType = paste.sourceType;
  control.lastPasteFiles = std::move(paste.droppedFiles);
  return std::move(paste.html);
}

void CleanPastedHtml(Text& html, CQorvaeditorCtrl& control) {
  control.pasteSourceType = kPasteSourceNone;
  PasteContext cleanup = CleanupFor(control, SettingsSnapshot().jpegQuality);
  control.pasteSourceType = CleanPastedHtml(html, cleanup);
}

Text GetOriginalHtml(CQorvaeditorCtrl& control, TextView strTag) {
  return GetOriginalHtml(control.platform().clipboard, strTag);
}

int32_t CanPasteImageFromClipboard(CQorvaeditorCtrl& control) {
  return CanPasteImageFromClipboard(control.platform().clipboard);
}

Text ShowImageSaveDlgFromClipboard(CQorvaeditorCtrl& control, TextView strSaveType) {
  Text type = ToLower(strSaveType);
  // The preview is saved with the quality in force before the user chooses.
  ClipboardImageContext images = ImagesFor(control, SettingsSnapshot());
  int32_t quality = kDefaultJpegQuality;
  int32_t angle = 0;
  int32_t width = -1;
  int32_t height = -1;
  if (type.empty()) {
    Text preview = SaveClipboardBitmap(images, u"JPG", 0, -1, -1).path;
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
  images.jpegQuality = quality;
  return SaveClipboardBitmap(images, type, angle, width, height).tag;
}

}  // namespace qorva
