#include "win32/win32_user_interface.h"

#include "win32/wide_text.h"

namespace qorva {

namespace {

UINT StyleOf(MessageIcon icon, MessageButtons buttons) {
  UINT style = 0;
  switch (icon) {
    case MessageIcon::kInformation:
      style |= MB_ICONINFORMATION;
      break;
    case MessageIcon::kWarning:
      style |= MB_ICONWARNING;
      break;
    case MessageIcon::kError:
      style |= MB_ICONERROR;
      break;
    case MessageIcon::kQuestion:
      style |= MB_ICONQUESTION;
      break;
    case MessageIcon::kNone:
      break;
  }
  switch (buttons) {
    case MessageButtons::kOk:
      style |= MB_OK;
      break;
    case MessageButtons::kOkCancel:
      style |= MB_OKCANCEL;
      break;
    case MessageButtons::kYesNo:
      style |= MB_YESNO;
      break;
  }
  return style;
}

}  // namespace

MessageAnswer Win32UserInterface::ShowMessageBox(TextView text, TextView caption, MessageIcon icon,
                                                 MessageButtons buttons) {
  HWND owner = owner_ ? owner_() : nullptr;
  switch (MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), StyleOf(icon, buttons))) {
    case IDCANCEL:
      return MessageAnswer::kCancel;
    case IDYES:
      return MessageAnswer::kYes;
    case IDNO:
      return MessageAnswer::kNo;
    default:
      return MessageAnswer::kOk;
  }
}

std::optional<ImageSaveChoice> Win32UserInterface::ChooseImageSave(TextView, TextView) {
  return std::nullopt;
}

void Win32UserInterface::BeginWaitCursor() {
  // 32514 is IDC_WAIT, whose header form is narrow without UNICODE.
  if (waitDepth_++ == 0) before_ = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
}

void Win32UserInterface::EndWaitCursor() {
  if (waitDepth_ > 0 && --waitDepth_ == 0) SetCursor(before_);
}

}  // namespace qorva
