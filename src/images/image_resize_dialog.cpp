#include "images/image_resize_dialog.h"

#include "images/size_sync.h"

namespace qorva {

namespace {

constexpr DialogItem kItems[] = {
    {kResizeWidth, "width", ItemKind::kEdit},          {kResizeHeight, "height", ItemKind::kEdit},
    {kResizeKeepRatio, "keepRatio", ItemKind::kCheck}, {kResizeApply, "apply", ItemKind::kButton},
    {kResizeCancel, "cancel", ItemKind::kButton},      {kResizeClose, "close", ItemKind::kButton},
};

}  // namespace

std::span<const DialogItem> CImageResizePresenter::items() const { return kItems; }

void CImageResizePresenter::OnOpen(DialogView& view) {
  syncState_ = -1;
  keepRatio_ = true;
  view.SetChecked(kResizeKeepRatio, true);
  view.SetText(kResizeWidth, FormatText("%d", imageWidth_));
  view.SetText(kResizeHeight, FormatText("%d", imageHeight_));
  // A zero height gives an infinite or undefined ratio; the sync arithmetic holds both.
  aspectRatio_ = AspectRatioOf(imageWidth_, imageHeight_);
  syncState_ = 0;
}

void CImageResizePresenter::OnTextChanged(DialogView& view, int32_t id) {
  const bool widthChanged = id == kResizeWidth;
  if (!widthChanged && id != kResizeHeight) return;
  if (!keepRatio_ || syncState_ == -1 || syncState_ == (widthChanged ? 2 : 1)) return;
  if (!(aspectRatio_ > 0.0f)) return;
  Text width = view.GetText(kResizeWidth);
  Text height = view.GetText(kResizeHeight);
  if (width.empty() || height.empty()) return;
  syncState_ = widthChanged ? 1 : 2;
  if (widthChanged) {
    view.SetText(kResizeHeight,
                 FormatText("%d", HeightForWidth(LeadingNumber(width), aspectRatio_)));
  } else {
    view.SetText(kResizeWidth,
                 FormatText("%d", WidthForHeight(LeadingNumber(height), aspectRatio_)));
  }
  syncState_ = 0;
}

void CImageResizePresenter::OnClicked(DialogView& view, int32_t id) {
  switch (id) {
    case kResizeKeepRatio:
      keepRatio_ = !keepRatio_;
      view.SetChecked(kResizeKeepRatio, keepRatio_);
      return;
    case kResizeApply:
      imageWidth_ = LeadingNumber(view.GetText(kResizeWidth));
      imageHeight_ = LeadingNumber(view.GetText(kResizeHeight));
      view.EndDialog(true);
      return;
    case kResizeCancel:
    case kResizeClose:
      view.EndDialog(false);
      return;
    default:
      return;
  }
}

}  // namespace qorva
