// The image resize dialog: a new width and height for the photo editor's picture,
// optionally kept in the picture's proportions.
#pragma once

#include <cstdint>

#include "platform/modal_dialog.h"

namespace qorva {

enum ImageResizeItem : int32_t {
  kResizeWidth = 207,
  kResizeHeight = 208,
  kResizeCancel = 224,
  kResizeKeepRatio = 225,
  kResizeClose = 232,
  kResizeApply = 233,
};

class CImageResizePresenter final : public DialogPresenter {
 public:
  CImageResizePresenter(int32_t width, int32_t height) : imageWidth_(width), imageHeight_(height) {}

  DialogKind kind() const override { return DialogKind::kImageResize; }
  std::span<const DialogItem> items() const override;
  void OnOpen(DialogView& view) override;
  void OnTextChanged(DialogView& view, int32_t id) override;
  void OnClicked(DialogView& view, int32_t id) override;
  void OnSpin(DialogView&, int32_t, bool) override {}
  // Enter: OK with the size the dialog opened with.
  void OnOk(DialogView& view) override { view.EndDialog(true); }

  // After OK: the size applied (read from the edits, unchecked); else the size given.
  int32_t imageWidth() const { return imageWidth_; }
  int32_t imageHeight() const { return imageHeight_; }

 private:
  int32_t imageWidth_;
  int32_t imageHeight_;
  float aspectRatio_ = 0.0f;
  int syncState_ = -1;
  bool keepRatio_ = true;
};

}  // namespace qorva
