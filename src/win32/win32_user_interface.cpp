#include "win32/win32_user_interface.h"

#include <commdlg.h>

#include <algorithm>
#include <string>

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

std::optional<Text> Win32UserInterface::ChooseSaveFile(TextView filter, TextView initialName) {
  // The bar syntax becomes the dialog's list of zero-terminated strings.
  std::wstring filters = Wide(filter);
  for (wchar_t& unit : filters) {
    if (unit == L'|') unit = L'\0';
  }
  filters.push_back(L'\0');
  // Room for the longest path the dialog can return; a longer initial name is cut.
  std::wstring file(32768, L'\0');
  std::wstring name = Wide(initialName);
  name.resize(std::min(name.size(), file.size() - 1));
  std::copy(name.begin(), name.end(), file.begin());
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_ ? owner_() : nullptr;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  return FromWide(file.c_str());
}

void Win32UserInterface::BeginWaitCursor() {
  // 32514 is IDC_WAIT, whose header form is narrow without UNICODE.
  if (waitDepth_++ == 0) before_ = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
}

void Win32UserInterface::EndWaitCursor() {
  if (waitDepth_ > 0 && --waitDepth_ == 0) SetCursor(before_);
}

}  // namespace qorva
