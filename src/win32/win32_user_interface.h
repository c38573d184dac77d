// Message boxes and the common file dialogs, owned by the control's window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "platform/user_interface.h"

namespace qorva {

class ImageCodec;

class Win32UserInterface final : public UserInterface {
 public:
  // `owner` yields the window that owns the boxes at the time they are shown.
  explicit Win32UserInterface(std::function<HWND()> owner) : owner_(std::move(owner)) {}

  // What the image type sheet needs of the rest of the platform: the imaging library,
  // the clipboard picture written as a file, and a picture file scaled in place.
  struct ImageSheetServices {
    const ImageCodec* imageCodec = nullptr;
    std::function<Text(TextView type, int32_t angle)> convertClipboardImage;
    std::function<void(TextView path, int32_t width, int32_t height)> resizeInPlace;
  };
  // Until they are given the sheet answers as if cancelled.
  void SetImageSheetServices(ImageSheetServices services) { sheetServices_ = std::move(services); }

  MessageAnswer ShowMessageBox(TextView text, TextView caption, MessageIcon icon,
                               MessageButtons buttons) override;
  std::optional<ImageSaveChoice> ChooseImageSave(TextView caption, TextView previewPath) override;
  std::optional<Text> ChooseSaveFile(TextView filter, TextView initialName) override;
  std::optional<Text> ChooseOpenFile(const OpenFileRequest& request) override;
  bool RunDialog(DialogPresenter& presenter) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  // The window that owns message boxes: the open dialog's, else the control's.
  HWND Owner() const { return modal_ ? modal_ : (owner_ ? owner_() : nullptr); }

  std::function<HWND()> owner_;
  HWND modal_ = nullptr;  // the dialog running now
  ImageSheetServices sheetServices_;
  int waitDepth_ = 0;
  HCURSOR before_ = nullptr;  // the cursor the outermost Begin replaced
};

}  // namespace qorva
