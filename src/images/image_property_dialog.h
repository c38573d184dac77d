// The image property dialog: the user picks a local picture and its attributes, and on
// confirmation gets an img element (in a link when one is given) for a copy of the
// picture in the working folder. One presenter serves both looks, the skinned dialog
// and the property sheet; only a few item ids differ between them.
#pragma once

#include <cstdint>
#include <map>

#include "base/text.h"
#include "platform/modal_dialog.h"
#include "platform/user_interface.h"
#include "support/image_files.h"

namespace qorva {

class ImageCodec;
class System;
class UserInterface;

// Item ids common to both looks.
enum ImagePropertyItem : int32_t {
  kPropPath = 202,
  kPropBrowse = 203,
  kPropDescription = 204,
  kPropTitle = 205,
  kPropWidthSpin = 206,
  kPropWidth = 207,
  kPropHeight = 208,
  kPropHeightSpin = 209,
  kPropOriginalSize = 210,
  kPropAlign = 212,
  kPropBorder = 214,
  kPropBorderSpin = 215,
  kPropHspace = 216,
  kPropHspaceSpin = 217,
  kPropVspace = 218,
  kPropVspaceSpin = 219,
  kPropLinkAddress = 220,
  kPropLinkTitle = 221,
  kPropTarget = 222,
  kPropClearLink = 223,
  // The skinned look's own.
  kPropClose = 211,
  kPropConfirm = 213,
  kPropCancel = 224,
  kPropKeepRatioButton = 225,
  // The sheet's own.
  kPropKeepRatioBox = 211,
  kPropFileSize = 213,
};

// What the page passed, by attribute name ("src", "width", ..., "title2", "target").
using ImageAttributes = std::map<Text, Text>;

// Fills the attribute map from showImageProperty's twelve arguments: the image's own
// attributes only with a source, the link's only with an address.
struct ImagePropertyArgs {
  Text src, width, height, border, align, vspace, hspace, title, alt, title2, href, target;
};
ImageAttributes AttributesFromArgs(const ImagePropertyArgs& args);

// What the dialog reads from the control's settings and reaches of the platform.
struct ImagePropertyContext {
  UserInterface& userInterface;
  System& system;
  const ImageCodec& imageCodec;
  Text systemTitle;
  Text accessibility;  // "1": warn about an empty description; "2": refuse it
  uint32_t openDialogType = 0;
  Text openDialogInitDir;
  Text openDialogTitle;
  ImageSize defaultSize;
};

class CImagePropertyPresenter final : public DialogPresenter {
 public:
  CImagePropertyPresenter(ImagePropertyContext context, DialogKind look,
                          ImageAttributes attributes);

  DialogKind kind() const override { return look_; }
  std::span<const DialogItem> items() const override;
  void OnOpen(DialogView& view) override;
  void OnTextChanged(DialogView& view, int32_t id) override;
  void OnClicked(DialogView& view, int32_t id) override;
  void OnSpin(DialogView& view, int32_t id, bool up) override;
  void OnOk(DialogView& view) override;

  // The fragment of the last accepted confirmation.
  const Text& resultHtml() const { return resultHtml_; }
  float aspectRatio() const { return aspectRatio_; }

 private:
  bool Skinned() const { return look_ == DialogKind::kImageProperty; }
  int32_t KeepRatioId() const { return Skinned() ? kPropKeepRatioButton : kPropKeepRatioBox; }
  bool CheckImageFile(DialogView& view, const Text& path, bool updateSize);
  bool BuildImageHtml(DialogView& view);
  void Browse(DialogView& view);
  void SetNumber(DialogView& view, int32_t editId, int32_t value);
  void SetSpin(DialogView& view, int32_t spinId, int32_t position);
  void Warn(TextView text, MessageIcon icon);
  Text CopyIntoWorkingFolder(const Text& path);

  ImagePropertyContext context_;
  DialogKind look_;
  ImageAttributes attributes_;
  float aspectRatio_ = 1.0f;
  int syncState_ = -1;  // -1 suspended, 0 idle, 1 height from width, 2 width from height
  bool keepRatio_ = true;
  Text resultHtml_;
  bool succeeded_ = false;
};

}  // namespace qorva
