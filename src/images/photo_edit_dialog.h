// The photo editor: the user captures the screen or the browser window, or opens a
// picture, edits it on the canvas with the toolbar and inserts it into the editor as an
// img element for a JPEG in the working folder.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "base/text.h"
#include "images/qorva_view.h"
#include "platform/modal_dialog.h"

namespace qorva {

class Clipboard;
class ImageCodec;
class ScreenCapture;
class System;
class UserInterface;

// The toolbar's buttons by their template ids, and the canvas.
enum PhotoEditItem : int32_t {
  kPhotoCaptureFull = 201,
  kPhotoCaptureActive = 202,
  kPhotoZoomOut = 203,
  kPhotoZoomIn = 204,
  kPhotoClose = 205,
  kPhotoCaptureBrowser = 206,
  kPhotoInsert = 207,
  kPhotoZoomOriginal = 208,
  kPhotoSelectArea = 209,
  kPhotoCrop = 210,
  kPhotoResize = 211,
  kPhotoRotateRight = 212,
  kPhotoRotateLeft = 213,
  kPhotoText = 214,
  kPhotoMirrorLeftRight = 218,
  kPhotoMirrorUpDown = 219,
  kPhotoGray = 220,
  kPhotoInvert = 221,
  kPhotoOpenFile = 222,
  kPhotoUndo = 223,
  kPhotoRedo = 224,
  kPhotoDarken = 225,
  kPhotoBrighten = 226,
  kPhotoSepia = 227,
  kPhotoColorMore = 228,
  kPhotoReset = 229,
  kPhotoSettings = 230,
  // Made by the view, not the template.
  kPhotoCanvas = 300,
};

enum class ToolState {
  kActive,    // reacts (some, like the colour choice, with nothing)
  kDisabled,  // grey face, never reacts
  kHidden,
};

// One toolbar button: its picture in the skin folder, sized to the picture, with its
// top-left corner at (x, y) of the dialog's client area.
struct PhotoEditButton {
  int32_t id;
  std::string_view name;  // what a script presses
  TextView picture;
  TextView tooltip;
  int32_t x, y;
  ToolState state;
};
std::span<const PhotoEditButton> PhotoEditButtons();

// A picture painted at natural size with its top-left corner at (x, y).
struct PlacedPicture {
  TextView picture;
  int32_t x, y;
};
// The decorations over the bands, in painting order; the swatches do nothing.
std::span<const PlacedPicture> PhotoEditDecorations();
// Its top-left pixel, stretched, fills the top and bottom bands.
inline constexpr TextView kPhotoEditBandPicture = u"bg_color_header.png";

// The dialog's geometry: its size, centred on the screen, the canvas's place, the
// bands' heights and the pointer text's rectangle (from the bottom edge).
inline constexpr int32_t kPhotoEditWidth = 900;
inline constexpr int32_t kPhotoEditHeight = 680;
inline constexpr int32_t kCanvasX = 1, kCanvasY = 80, kCanvasWidth = 898, kCanvasHeight = 572;
inline constexpr int32_t kTopBandHeight = 80, kBottomBandHeight = 28;
inline constexpr uint32_t kCanvasBackground = 0xFFC9C9C9;  // ARGB

// The text the view shows at the bottom left for the pointer over the canvas, in
// canvas client coordinates.
Text PointerPositionText(int32_t x, int32_t y);

// The open dialog's filter for pictures.
extern const TextView kPhotoOpenFilter;

struct PhotoEditContext {
  UserInterface& userInterface;
  System& system;
  const ImageCodec& imageCodec;
  Clipboard& clipboard;
  ScreenCapture& screen;
  Text systemTitle;
  int32_t jpegQuality = 100;  // of the capture files
};

class CPhotoEditPresenter final : public DialogPresenter {
 public:
  explicit CPhotoEditPresenter(PhotoEditContext context);

  DialogKind kind() const override { return DialogKind::kPhotoEditor; }
  std::span<const DialogItem> items() const override;
  void OnOpen(DialogView& view) override;
  void OnTextChanged(DialogView&, int32_t) override {}
  void OnClicked(DialogView& view, int32_t id) override;
  void OnSpin(DialogView&, int32_t, bool) override {}
  // Enter: OK with whatever the last insert built, without a question.
  void OnOk(DialogView& view) override { view.EndDialog(true); }

  // The element of the last insert; "" when nothing was inserted.
  const Text& resultHtml() const { return resultHtml_; }
  const Text& openedFilePath() const { return openedFilePath_; }
  const CQorvaView& canvas() const { return canvas_; }

 private:
  void Capture(DialogView& view, int32_t id);
  void OpenFile(DialogView& view);
  void Reset(DialogView& view);
  void Resize(DialogView& view);
  void Insert(DialogView& view);
  bool Ask(TextView question);
  void Edit(DialogView& view, void (CQorvaView::*operation)());
  void Refresh(DialogView& view);

  PhotoEditContext context_;
  CQorvaView canvas_;
  Text resultHtml_;
  Text openedFilePath_;
};

}  // namespace qorva
