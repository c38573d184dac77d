#include "win32/win32_user_interface.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "control/control_settings.h"
#include "images/image_type_sheet.h"
#include "images/skin_images.h"
#include "support/string_table.h"
#include "win32/wide_text.h"
#include "win32/win32_dialogs.h"

namespace qorva {

namespace {

// The string resources of the image property sheet.
constexpr uint32_t kImagePropertySheetCaption = 3;
constexpr uint32_t kSheetTabText = 4;

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
  HWND owner = Owner();
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

std::optional<ImageSaveChoice> Win32UserInterface::ChooseImageSave(TextView caption,
                                                                   TextView previewPath) {
  if (!sheetServices_.imageCodec) return std::nullopt;
  CImageTypeSheetPresenter sheet(
      {*this, *sheetServices_.imageCodec, sheetServices_.convertClipboardImage,
       sheetServices_.resizeInPlace},
      previewPath);
  Win32DialogContext context;
  context.owner = Owner();
  context.sheetCaption = Text(caption);
  context.tabText = StringTableText(kSheetTabText);
  HWND outer = modal_;
  const bool ok = RunWin32Dialog(sheet, context, &modal_);
  modal_ = outer;
  if (!ok) return std::nullopt;
  return sheet.choice();
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
  dialog.hwndOwner = Owner();
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  return FromWide(file.c_str());
}

namespace {

std::wstring FilterList(TextView filter) {
  // The bar syntax becomes the dialog's list of zero-terminated strings.
  std::wstring filters = Wide(filter);
  for (wchar_t& unit : filters) {
    if (unit == L'|') unit = L'\0';
  }
  filters.push_back(L'\0');
  return filters;
}

// The utility library's own open dialog: folder, a 1024-byte result and title, all in
// the system code page; 0 when a file was chosen.
using ShowOldFileOpenFn = int(__cdecl*)(const char*, char*, const char*);

std::string Narrow(TextView text) {
  std::wstring wide = Wide(text);
  int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(size > 0 ? static_cast<size_t>(size) : 1, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow.data(), size, nullptr, nullptr);
  }
  narrow.resize(std::strlen(narrow.c_str()));
  return narrow;
}

// nullopt when the library is absent; an empty text when it offered nothing.
std::optional<Text> OpenThroughUtility(const UserInterface::OpenFileRequest& request) {
  HMODULE utility = LoadLibraryW(L"qorvautil.dll");
  if (!utility) return std::nullopt;
  Text chosen;
  auto show = reinterpret_cast<ShowOldFileOpenFn>(
      reinterpret_cast<void*>(GetProcAddress(utility, "ShowOldFileOpen")));
  if (show) {
    std::string folder = Narrow(request.initialFolder);
    std::string title = Narrow(request.title);
    char buffer[1024] = {};
    if (show(folder.empty() ? nullptr : folder.c_str(), buffer,
             title.empty() ? nullptr : title.c_str()) == 0) {
      buffer[sizeof buffer - 1] = '\0';
      int size = MultiByteToWideChar(CP_ACP, 0, buffer, -1, nullptr, 0);
      std::wstring wide(size > 0 ? static_cast<size_t>(size) : 1, L'\0');
      if (size > 0) MultiByteToWideChar(CP_ACP, 0, buffer, -1, wide.data(), size);
      chosen = FromWide(wide.c_str());
    }
  }
  FreeLibrary(utility);
  return chosen;
}

}  // namespace

std::optional<Text> Win32UserInterface::ChooseOpenFile(const OpenFileRequest& request) {
  const bool old = request.style == OpenStyle::kOld;
  if (old) {
    if (std::optional<Text> chosen = OpenThroughUtility(request)) {
      if (chosen->empty()) return std::nullopt;
      return chosen;
    }
  }
  std::wstring filters = FilterList(request.filter);
  std::wstring folder = Wide(request.initialFolder);
  std::wstring title = Wide(request.title);
  std::wstring file(old ? 256 : 1300, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
  if (!old) {
    dialog.hwndOwner = Owner();
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                   OFN_LONGNAMES | OFN_ENABLESIZING | OFN_EXPLORER;
  }
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return FromWide(file.c_str());
}

bool Win32UserInterface::RunDialog(DialogPresenter& presenter) {
  Win32DialogContext context;
  context.owner = Owner();
  // The image property pictures come from the page's server; the others the control
  // carries and writes where they are missing.
  const Text language = SettingsSnapshot().skinLanguage;
  context.skinFolder = presenter.kind() == DialogKind::kImageProperty
                           ? SkinFolderPath(language)
                           : WriteMissingSkinImages(language);
  context.sheetCaption = StringTableText(kImagePropertySheetCaption);
  context.tabText = StringTableText(kSheetTabText);
  HWND outer = modal_;
  const bool ok = RunWin32Dialog(presenter, context, &modal_);
  modal_ = outer;
  return ok;
}

void Win32UserInterface::BeginWaitCursor() {
  // 32514 is IDC_WAIT, whose header form is narrow without UNICODE.
  if (waitDepth_++ == 0) before_ = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
}

void Win32UserInterface::EndWaitCursor() {
  if (waitDepth_ > 0 && --waitDepth_ == 0) SetCursor(before_);
}

}  // namespace qorva
