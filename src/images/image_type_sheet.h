// The rules of the image type sheet, where the user picks the type, JPEG quality and
// rotation of a picture from the clipboard and may save a copy under a name of choice.
#pragma once

#include <cstdint>
#include <functional>

#include "base/text.h"
#include "platform/modal_dialog.h"
#include "platform/user_interface.h"

namespace qorva {

// "JPG", "PNG" or "GIF" by the checked type button; a later one wins, "JPG" for none.
Text CheckedFileType(bool jpg, bool png, bool gif);

// The quality edit's number, held inside 50 to 100.
int32_t ClampedQuality(TextView qualityText);
int32_t ClampQuality(int32_t quality);

// Whether the quality spin's arrow goes through from `position`.
bool QualitySpinAccepts(int32_t position, bool up);

struct SaveAsTarget {
  Text path;
  Text extension;  // lower case: "jpg", "png" or "gif"
};
// Where "Save As ..." writes for the name the user chose: a name without an extension
// takes the checked type's; one of another type than jpg, png or gif gets ".jpg" added.
SaveAsTarget SaveAsTargetFor(TextView chosenPath, TextView checkedType);

class ImageCodec;
class UserInterface;

enum ImageTypeItem : int32_t {
  kTypePreview = 215,
  kTypeJpg = 221,
  kTypePng = 222,
  kTypeGif = 223,
  kTypeSaveAs = 224,
  kTypeQualitySpin = 225,
  kTypeQuality = 226,
  kTypeAngle0 = 227,
  kTypeAngle90 = 228,
  kTypeAngle180 = 229,
  kTypeAngle270 = 230,
  kTypeWidth = 231,
  kTypeHeight = 232,
};

struct ImageTypeSheetContext {
  UserInterface& userInterface;
  const ImageCodec& imageCodec;
  // Writes the clipboard's bitmap as a new file of `type` (an extension) in the working
  // folder, turned by `angle`; its path, or "" when the clipboard holds no bitmap.
  std::function<Text(TextView type, int32_t angle)> convertClipboardImage;
  // Scales the picture file at `path` to `width` x `height`, in place.
  std::function<void(TextView path, int32_t width, int32_t height)> resizeInPlace;
};

// The image type sheet's page: a preview of the clipboard's picture that the angle
// buttons redraw turned, a copy saved under a name of the user's choice, and on OK the
// type, quality and angle chosen with the preview's size.
class CImageTypeSheetPresenter final : public DialogPresenter {
 public:
  CImageTypeSheetPresenter(ImageTypeSheetContext context, TextView previewPath)
      : context_(std::move(context)), previewPath_(previewPath) {}

  DialogKind kind() const override { return DialogKind::kImageTypeSheet; }
  std::span<const DialogItem> items() const override;
  void OnOpen(DialogView& view) override;
  void OnTextChanged(DialogView&, int32_t) override {}
  void OnClicked(DialogView& view, int32_t id) override;
  void OnSpin(DialogView& view, int32_t id, bool up) override;
  void OnOk(DialogView& view) override;

  // After OK: the choices, with the preview's width and height.
  ImageSaveChoice choice() const { return choice_; }
  const Text& previewPath() const { return previewPath_; }

 private:
  void Rotate(DialogView& view, int32_t angle);
  void SaveAs(DialogView& view);

  ImageTypeSheetContext context_;
  Text previewPath_;
  Text fileType_ = u"JPG";
  int32_t rotationAngle_ = 0;
  ImageSaveChoice choice_;
};

}  // namespace qorva
