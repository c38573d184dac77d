// Message boxes and the common file dialogs, owned by the control's window.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/user_interface.h"

namespace qorva {

class Win32UserInterface final : public UserInterface {
 public:
  // `owner` yields the window that owns the boxes at the time they are shown.
  explicit Win32UserInterface(std::function<HWND()> owner) : owner_(std::move(owner)) {}

  MessageAnswer ShowMessageBox(TextView text, TextView caption, MessageIcon icon,
                               MessageButtons buttons) override;
  // The image type sheet is not built yet: it answers as if cancelled.
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
  int waitDepth_ = 0;
  HCURSOR before_ = nullptr;  // the cursor the outermost Begin replaced
};

}  // namespace qorva
