#include "images/photo_edit_dialog.h"

#include <array>
#include <filesystem>
#include <optional>
#include <system_error>

#include "images/clipboard_capture.h"
#include "images/image_resize_dialog.h"
#include "platform/user_interface.h"
#include "support/file_path.h"

namespace qorva {

namespace {

constexpr ToolState kActive = ToolState::kActive;
constexpr ToolState kDisabled = ToolState::kDisabled;
constexpr ToolState kHidden = ToolState::kHidden;

constexpr PhotoEditButton kButtons[] = {
    {kPhotoUndo, "undo", u"undo_btn.png", u"실행취소", 193, 16, kDisabled},
    {kPhotoRedo, "redo", u"redo_btn.png", u"뒤돌리기", 217, 16, kDisabled},
    {kPhotoZoomIn, "zoom-in", u"zoom_in_btn.png", u"확대", 242, 16, kDisabled},
    {kPhotoZoomOut, "zoom-out", u"zoom_out_btn.png", u"축소", 265, 16, kDisabled},
    {kPhotoZoomOriginal, "zoom-original", u"zoom_0.png", u"원본크기", 288, 16, kDisabled},
    {kPhotoSelectArea, "select-area", u"select_area_btn.png", u"영역선택", 193, 42, kDisabled},
    {kPhotoCrop, "crop", u"crop_btn.png", u"잘라내기", 217, 42, kDisabled},
    {kPhotoResize, "resize", u"resize_btn.png", u"크기조절", 240, 42, kActive},
    {kPhotoText, "text", u"text_btn.png", u"Text", 262, 42, kDisabled},
    {kPhotoRotateRight, "rotate-right", u"rotation_right_btn.png", u"오른쪽으로 회전", 285, 42,
     kActive},
    {kPhotoRotateLeft, "rotate-left", u"rotation_left_btn.png", u"왼쪽으로 회전", 309, 42, kActive},
    {kPhotoMirrorLeftRight, "mirror-lr", u"reflect_btn_lr.png", u"좌/우 뒤집기", 332, 42, kActive},
    {kPhotoMirrorUpDown, "mirror-ud", u"reflect_btn_ud.png", u"상/하 뒤집기", 355, 42, kActive},
    {kPhotoDarken, "darker", u"darkness_btn.png", u"어둡게", 380, 42, kActive},
    {kPhotoBrighten, "brighter", u"brightness_btn.png", u"밝게", 404, 42, kActive},
    {kPhotoInvert, "invert", u"invert_btn.png", u"Invert", 426, 42, kActive},
    {kPhotoGray, "grey", u"gray_btn.png", u"Gray", 449, 42, kActive},
    {kPhotoSepia, "sepia", u"sepia_btn.png", u"세피아", 473, 42, kActive},
    {kPhotoCaptureFull, "capture-full", u"capture_btn_full.png", u"화면전체 캡쳐", 409, 16,
     kActive},
    {kPhotoCaptureBrowser, "capture-browser", u"capture_btn_ie.png", u"현재 브라우저 캡쳐", 437, 16,
     kActive},
    {kPhotoCaptureActive, "capture-active", u"capture_btn_act.png", u"활성창 캡쳐", 467, 16,
     kHidden},
    {kPhotoColorMore, "color-more", u"color_more.png", u"컬러선택", 688, 42, kActive},
    {kPhotoOpenFile, "open", u"editor_file_btn.png", u"파일선택...", 722, 30, kActive},
    {kPhotoInsert, "insert", u"editor_insert_btn.png", u"에디터에 삽입", 798, 30, kActive},
    {kPhotoClose, "close", u"close_btn.png", u"종료", 865, 2, kActive},
    {kPhotoReset, "reset", u"initialize_btn.png", u"원래 이미지로 되돌리기", 770, 657, kActive},
    {kPhotoSettings, "settings", u"setting_btn.png", u"환경설정", 835, 657, kActive},
};

constexpr PlacedPicture kDecorations[] = {
    {u"logo.png", 16, 22},
    {u"text_capture.png", 379, 22},
    {u"line.png", 511, 9},
    {u"text_color.png", 536, 50},
    {u"color_view.png", 529, 16},
    {u"color_bk.png", 573, 16},
    {u"color_gray.png", 596, 16},
    {u"color_wine.png", 619, 16},
    {u"color_red.png", 642, 16},
    {u"color_orange.png", 665, 16},
    {u"color_yellow.png", 573, 42},
    {u"color_green.png", 596, 42},
    {u"color_lightblue.png", 619, 42},
    {u"color_blue.png", 642, 42},
    {u"color_purple.png", 665, 42},
};

constexpr auto kItems = [] {
  std::array<DialogItem, std::size(kButtons)> items{};
  for (size_t i = 0; i < std::size(kButtons); ++i) {
    items[i] = {kButtons[i].id, kButtons[i].name, ItemKind::kButton};
  }
  return items;
}();

constexpr TextView kResetQuestion = u"이미지를 초기화 하시겠습니까?";
constexpr TextView kInsertQuestion = u"편집한 이미지를 에디터에 삽입 하시겠습니까?";
constexpr TextView kCloseQuestion = u"이미지 편집을 종료하시겠습니까?";

const PhotoEditButton* ButtonOf(int32_t id) {
  for (const PhotoEditButton& button : kButtons) {
    if (button.id == id) return &button;
  }
  return nullptr;
}

bool FileExists(TextView path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(PathFromText(path), error);
}

}  // namespace

const TextView kPhotoOpenFilter =
    u"Image Files (*.gif;*.jpg;*.jpeg;*.png;*.bmp)|*.gif;*.jpg;*.jpeg;*.png;*.bmp||";

std::span<const PhotoEditButton> PhotoEditButtons() { return kButtons; }
std::span<const PlacedPicture> PhotoEditDecorations() { return kDecorations; }

Text PointerPositionText(int32_t x, int32_t y) { return FormatText("X:%d, Y:%d pixel", x, y); }

CPhotoEditPresenter::CPhotoEditPresenter(PhotoEditContext context)
    : context_(std::move(context)), canvas_(context_.imageCodec, context_.system) {}

std::span<const DialogItem> CPhotoEditPresenter::items() const { return kItems; }

void CPhotoEditPresenter::OnOpen(DialogView& view) {
  for (const PhotoEditButton& button : kButtons) {
    view.SetTooltip(button.id, button.tooltip);
    if (button.state == kDisabled) view.EnableItem(button.id, false);
    if (button.state == kHidden) view.ShowItem(button.id, false);
  }
  Refresh(view);
}

void CPhotoEditPresenter::OnClicked(DialogView& view, int32_t id) {
  const PhotoEditButton* button = ButtonOf(id);
  if (!button || button->state != kActive) return;
  switch (id) {
    case kPhotoCaptureFull:
    case kPhotoCaptureBrowser:
      Capture(view, id);
      return;
    case kPhotoOpenFile:
      OpenFile(view);
      return;
    case kPhotoReset:
      Reset(view);
      return;
    case kPhotoResize:
      Resize(view);
      return;
    case kPhotoInsert:
      Insert(view);
      return;
    case kPhotoClose:
      if (Ask(kCloseQuestion)) view.EndDialog(false);
      return;
    case kPhotoRotateRight:
      Edit(view, &CQorvaView::RotateRight);
      return;
    case kPhotoRotateLeft:
      Edit(view, &CQorvaView::RotateLeft);
      return;
    case kPhotoMirrorLeftRight:
      Edit(view, &CQorvaView::MirrorLeftRight);
      return;
    case kPhotoMirrorUpDown:
      Edit(view, &CQorvaView::MirrorUpDown);
      return;
    case kPhotoGray:
      Edit(view, &CQorvaView::ApplyGray);
      return;
    case kPhotoInvert:
      Edit(view, &CQorvaView::ApplyInvert);
      return;
    case kPhotoSepia:
      Edit(view, &CQorvaView::ApplySepia);
      return;
    case kPhotoDarken:
      Edit(view, &CQorvaView::Darken);
      return;
    case kPhotoBrighten:
      Edit(view, &CQorvaView::Brighten);
      return;
    default:
      return;  // the colour choice and the settings do nothing
  }
}

void CPhotoEditPresenter::Capture(DialogView& view, int32_t id) {
  const CaptureArea area =
      id == kPhotoCaptureFull ? CaptureArea::kWholeScreen : CaptureArea::kBrowserWindow;
  // A failed capture leaves the clipboard as it was; whatever bitmap it holds is taken.
  CaptureToClipboard(context_.screen, context_.clipboard, area);
  Text path = SaveClipboardCapture(context_.clipboard, context_.imageCodec, context_.system,
                                   context_.jpegQuality);
  if (!FileExists(path)) return;
  canvas_.LoadImageFile(path);
  Refresh(view);
}

void CPhotoEditPresenter::OpenFile(DialogView& view) {
  UserInterface::OpenFileRequest request;
  request.filter = Text(kPhotoOpenFilter);
  request.style = UserInterface::OpenStyle::kModern;
  std::optional<Text> path = context_.userInterface.ChooseOpenFile(request);
  if (!path) return;
  openedFilePath_ = *path;
  canvas_.LoadImageFile(openedFilePath_);
  Refresh(view);
}

void CPhotoEditPresenter::Reset(DialogView& view) {
  // Captures set no opened file, so they are not reset.
  if (openedFilePath_.empty() || !Ask(kResetQuestion)) return;
  canvas_.LoadImageFile(openedFilePath_);
  Refresh(view);
}

void CPhotoEditPresenter::Resize(DialogView& view) {
  if (!canvas_.imageLoaded()) return;
  CQorvaView::Size size = canvas_.ImageSize();
  CImageResizePresenter resize(size.width, size.height);
  if (!context_.userInterface.RunDialog(resize)) return;
  {
    WaitCursor wait(context_.userInterface);
    canvas_.ResizeImage(resize.imageWidth(), resize.imageHeight());
  }
  Refresh(view);
}

void CPhotoEditPresenter::Insert(DialogView& view) {
  if (!canvas_.imageLoaded()) return;
  CQorvaView::Size size = canvas_.ImageSize();
  Text path = canvas_.ExportJpeg();
  resultHtml_ =
      FormatText("<img style=\"width:%dpx; height:%dpx\" src=\"file:///", size.width, size.height) +
      path + u"\" />";
  if (FileExists(path) && Ask(kInsertQuestion)) view.EndDialog(true);
}

bool CPhotoEditPresenter::Ask(TextView question) {
  return context_.userInterface.ShowMessageBox(question, context_.systemTitle,
                                               MessageIcon::kQuestion,
                                               MessageButtons::kYesNo) == MessageAnswer::kYes;
}

void CPhotoEditPresenter::Edit(DialogView& view, void (CQorvaView::*operation)()) {
  if (!canvas_.imageLoaded()) return;
  {
    WaitCursor wait(context_.userInterface);
    (canvas_.*operation)();
  }
  Refresh(view);
}

void CPhotoEditPresenter::Refresh(DialogView& view) {
  view.ShowImage(kPhotoCanvas, canvas_.image());
}

}  // namespace qorva
