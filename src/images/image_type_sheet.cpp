#include "images/image_type_sheet.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <utility>

#include "images/size_sync.h"
#include "support/file_path.h"
#include "support/image_files.h"
#include "support/string_helpers.h"

namespace qorva {

namespace {

constexpr int32_t kLowestQuality = 50;
constexpr int32_t kHighestQuality = 100;

}  // namespace

Text CheckedFileType(bool jpg, bool png, bool gif) {
  Text type = u"JPG";
  if (jpg) type = u"JPG";
  if (png) type = u"PNG";
  if (gif) type = u"GIF";
  return type;
}

int32_t ClampQuality(int32_t quality) {
  return std::clamp(quality, kLowestQuality, kHighestQuality);
}

int32_t ClampedQuality(TextView qualityText) { return ClampQuality(LeadingNumber(qualityText)); }

bool QualitySpinAccepts(int32_t position, bool up) {
  return SpinAccepts(position, up, kLowestQuality, kHighestQuality);
}

SaveAsTarget SaveAsTargetFor(TextView chosenPath, TextView checkedType) {
  SaveAsTarget target{Text(chosenPath), {}};
  // The extension of the file name, not of a folder above it.
  size_t nameStart = chosenPath.find_last_of(u"\\/");
  TextView name = nameStart == TextView::npos ? chosenPath : chosenPath.substr(nameStart + 1);
  target.extension = ToLower(ExtractExtension(name));
  if (target.extension.empty()) {
    target.extension = ToLower(checkedType);
    target.path += u"." + target.extension;
  }
  if (target.extension != u"jpg" && target.extension != u"png" && target.extension != u"gif") {
    target.extension = u"jpg";
    target.path += u".jpg";
  }
  return target;
}

}  // namespace qorva

namespace qorva {

namespace {

constexpr DialogItem kTypeItems[] = {
    {kTypeSaveAs, "saveAs", ItemKind::kButton},
    {kTypeJpg, "jpg", ItemKind::kCheck},
    {kTypePng, "png", ItemKind::kCheck},
    {kTypeGif, "gif", ItemKind::kCheck},
    {kTypeQuality, "quality", ItemKind::kEdit},
    {kTypeQualitySpin, "qualitySpin", ItemKind::kSpin},
    {kTypeAngle0, "angle0", ItemKind::kCheck},
    {kTypeAngle90, "angle90", ItemKind::kCheck},
    {kTypeAngle180, "angle180", ItemKind::kCheck},
    {kTypeAngle270, "angle270", ItemKind::kCheck},
    {kTypeWidth, "width", ItemKind::kLabel},
    {kTypeHeight, "height", ItemKind::kLabel},
    {kTypePreview, "preview", ItemKind::kPicture},
};

struct AngleButton {
  int32_t id;
  int32_t angle;
};
constexpr AngleButton kAngleButtons[] = {
    {kTypeAngle0, 0}, {kTypeAngle90, 90}, {kTypeAngle180, 180}, {kTypeAngle270, 270}};

Text CheckedTypeOf(DialogView& view) {
  return CheckedFileType(view.IsChecked(kTypeJpg), view.IsChecked(kTypePng),
                         view.IsChecked(kTypeGif));
}

}  // namespace

std::span<const DialogItem> CImageTypeSheetPresenter::items() const { return kTypeItems; }

void CImageTypeSheetPresenter::OnOpen(DialogView& view) {
  fileType_ = u"JPG";
  rotationAngle_ = 0;
  view.SetChecked(kTypeJpg, true);
  view.SetChecked(kTypeAngle0, true);
  view.SetText(kTypeQuality, u"100");
  view.SetSpinPosition(kTypeQualitySpin, kHighestQuality);
  view.ShowPicture(kTypePreview, previewPath_);
  // No preview (nothing was on the clipboard) shows a size of 0 x 0.
  std::optional<PixelSize> size;
  if (!previewPath_.empty()) size = ReadImageFileSize(context_.imageCodec, previewPath_);
  view.SetText(kTypeWidth, FormatText("%u", size ? size->width : 0U));
  view.SetText(kTypeHeight, FormatText("%u", size ? size->height : 0U));
}

void CImageTypeSheetPresenter::OnSpin(DialogView& view, int32_t id, bool up) {
  if (id != kTypeQualitySpin) return;
  // The arrows count from the number in the edit beside them, typed or not.
  int32_t position = LeadingNumber(view.GetText(kTypeQuality));
  if (!QualitySpinAccepts(position, up)) return;
  position += up ? 1 : -1;
  view.SetSpinPosition(kTypeQualitySpin, position);
  view.SetText(kTypeQuality, FormatText("%d", position));
}

void CImageTypeSheetPresenter::OnClicked(DialogView& view, int32_t id) {
  if (id == kTypeSaveAs) {
    SaveAs(view);
    return;
  }
  for (const AngleButton& button : kAngleButtons) {
    if (button.id == id) Rotate(view, button.angle);
  }
}

void CImageTypeSheetPresenter::Rotate(DialogView& view, int32_t angle) {
  rotationAngle_ = angle;
  if (!previewPath_.empty()) RemoveFileForcibly(PathFromText(previewPath_));
  // The type is the one of the last OK, so "JPG" while the sheet is open.
  Text converted = context_.convertClipboardImage(ToLower(fileType_), rotationAngle_);
  if (!converted.empty()) previewPath_ = converted;
  view.ShowPicture(kTypePreview, previewPath_);
}

void CImageTypeSheetPresenter::SaveAs(DialogView& view) {
  std::optional<Text> chosen = context_.userInterface.ChooseSaveFile(
      u"Image Files (*.gif;*.jpg;*.png;)|*.gif;*.jpg;*.png||", u"");
  if (!chosen) return;
  SaveAsTarget target = SaveAsTargetFor(*chosen, CheckedTypeOf(view));
  const int32_t width = LeadingNumber(view.GetText(kTypeWidth));
  const int32_t height = LeadingNumber(view.GetText(kTypeHeight));
  Text converted = context_.convertClipboardImage(target.extension, rotationAngle_);
  if (!converted.empty()) previewPath_ = converted;
  std::error_code error;
  std::filesystem::copy_file(PathFromText(previewPath_), PathFromText(target.path),
                             std::filesystem::copy_options::overwrite_existing, error);
  // Scaled to the size the sheet shows: the unrotated preview's.
  context_.resizeInPlace(target.path, width, height);
}

void CImageTypeSheetPresenter::OnOk(DialogView& view) {
  fileType_ = CheckedTypeOf(view);
  choice_.type = ToLower(fileType_);
  choice_.quality = ClampedQuality(view.GetText(kTypeQuality));
  choice_.angle = rotationAngle_;
  choice_.width = LeadingNumber(view.GetText(kTypeWidth));
  choice_.height = LeadingNumber(view.GetText(kTypeHeight));
  // The size shown is the unturned preview's; the picture saved on OK is turned, and a
  // quarter turn given the unturned size would come out squeezed.
  if (rotationAngle_ == 90 || rotationAngle_ == 270) std::swap(choice_.width, choice_.height);
  view.EndDialog(true);
}

}  // namespace qorva
