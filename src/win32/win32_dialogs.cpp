#include "win32/win32_dialogs.h"

#include <commctrl.h>

#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "images/image_property_dialog.h"
#include "images/image_resize_dialog.h"
#include "images/image_type_sheet.h"
#include "win32/own_module.h"
#include "win32/wide_text.h"
#include "win32/win32_dialog_ids.h"
#include "win32/win32_photo_editor.h"
#include "win32/win32_skin_widgets.h"

namespace qorva {

void CentreOn(HWND window, HWND owner) {
  RECT mine;
  GetWindowRect(window, &mine);
  RECT around;
  // An owner that is not on the screen gives no place to centre on.
  if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &around)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  }
  const int width = mine.right - mine.left;
  const int height = mine.bottom - mine.top;
  int x = around.left + (around.right - around.left - width) / 2;
  int y = around.top + (around.bottom - around.top - height) / 2;
  x = x < 0 ? 0 : x;
  y = y < 0 ? 0 : y;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool OnSkinnedWindowMessage(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    CGdipButton* button = CGdipButton::FromWindow(item->hwndItem);
    if (button) button->Draw(*item);
    return button != nullptr;
  }
  if (message == WM_LBUTTONDOWN) {
    // The background moves the window, as a caption would.
    ReleaseCapture();
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return true;
  }
  return false;
}

namespace {

// Where a skinned dialog's item goes, in pixels, and the pictures of a picture button.
struct PixelPlace {
  int32_t id;
  int x, y, width, height;
  const char16_t* picture = nullptr;
  const char16_t* toggle = nullptr;
};

constexpr PixelPlace kImagePropertyPlaces[] = {
    {kPropClose, 394, 5, 20, 20, u"i_close_btn.png"},
    {kPropPath, 103, 54, 228, 20},
    {kPropBrowse, 336, 54, 66, 20, u"i_find_btn.png"},
    {kPropDescription, 103, 81, 300, 20},
    {kPropTitle, 103, 108, 300, 20},
    {kPropWidth, 103, 181, 63, 20},
    {kPropWidthSpin, 166, 181, 20, 20},
    {kPropOriginalSize, 311, 180, 82, 22, u"i_size_btn.png"},
    {kPropHeight, 103, 210, 63, 20},
    {kPropHeightSpin, 166, 210, 20, 20},
    {kPropKeepRatioButton, 256, 211, 18, 18, u"i_check_btn.png", u"i_checkoff_btn.png"},
    {kPropAlign, 103, 283, 83, 20},
    {kPropBorder, 103, 312, 63, 20},
    {kPropBorderSpin, 166, 312, 20, 20},
    {kPropHspace, 313, 283, 63, 20},
    {kPropHspaceSpin, 376, 283, 20, 20},
    {kPropVspace, 313, 312, 63, 20},
    {kPropVspaceSpin, 376, 312, 20, 20},
    {kPropLinkAddress, 103, 385, 300, 20},
    {kPropLinkTitle, 103, 412, 300, 20},
    {kPropTarget, 103, 439, 83, 20},
    {kPropClearLink, 311, 438, 82, 22, u"i_clearlink_btn.png"},
    {kPropConfirm, 269, 500, 70, 24, u"i_confirm_btn.png"},
    {kPropCancel, 344, 500, 70, 24, u"i_cancel_btn.png"},
};

constexpr PixelPlace kImageResizePlaces[] = {
    {kResizeClose, 151, 9, 13, 13, u"close_btn_single.png"},
    {kResizeWidth, 73, 52, 70, 20},
    {kResizeHeight, 73, 86, 70, 20},
    {kResizeKeepRatio, 9, 126, 18, 18, u"check_btn_on.png", u"check_btn_off.png"},
    {kResizeApply, 29, 182, 65, 25, u"apply_btn.png"},
    {kResizeCancel, 99, 182, 65, 25, u"cancel_btn.png"},
};

struct SpinRange {
  int32_t id;
  int lowest, highest;
};
constexpr SpinRange kImagePropertySpins[] = {{kPropWidthSpin, 0, 4000},
                                             {kPropHeightSpin, 0, 4000},
                                             {kPropBorderSpin, 0, 30},
                                             {kPropHspaceSpin, 0, 30},
                                             {kPropVspaceSpin, 0, 30}};

struct SkinnedLook {
  int templateId;
  int width, height;
  const char16_t* background;
  bool smoothBackground;
  std::span<const PixelPlace> places;
  // Enter and Escape neither confirm nor cancel; the dialog's own buttons do.
  bool swallowsEnterAndEscape;
};

const SkinnedLook* SkinnedLookOf(DialogKind kind) {
  static constexpr SkinnedLook kImageProperty{IDD_IMAGE_PROPERTY,   421, 531, u"i_bg.png", true,
                                              kImagePropertyPlaces, true};
  static constexpr SkinnedLook kImageResize{
      IDD_IMAGE_RESIZE, 172, 215, u"popup_image_size_bg.png", false, kImageResizePlaces, false};
  switch (kind) {
    case DialogKind::kImageProperty:
      return &kImageProperty;
    case DialogKind::kImageResize:
      return &kImageResize;
    default:
      return nullptr;
  }
}

constexpr SpinRange kImageTypeSpins[] = {{kTypeQualitySpin, 50, 100}};

std::span<const SpinRange> SpinRangesOf(DialogKind kind) {
  if (kind == DialogKind::kImageProperty || kind == DialogKind::kImagePropertySheet) {
    return kImagePropertySpins;
  }
  if (kind == DialogKind::kImageTypeSheet) return kImageTypeSpins;
  return {};
}

// A property sheet's single page.
struct SheetLook {
  int templateId;
  bool swallowsEscape;  // Enter is always swallowed on the page
};

const SheetLook* SheetLookOf(DialogKind kind) {
  static constexpr SheetLook kImageProperty{IDD_IMAGE_PROPERTY_PAGE, true};
  static constexpr SheetLook kImageType{IDD_IMAGE_TYPE_PAGE, false};
  switch (kind) {
    case DialogKind::kImagePropertySheet:
      return &kImageProperty;
    case DialogKind::kImageTypeSheet:
      return &kImageType;
    default:
      return nullptr;
  }
}

Text WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  return FromWide(text.c_str());
}

// The text of a drop-down list's entry; "" for none.
Text ListEntry(HWND list, LRESULT index) {
  const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring entry(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(entry.data()));
  return FromWide(entry.c_str());
}

// One dialog run: the view the presenter drives, over the window of either look.
class DialogHost final : public DialogView {
 public:
  DialogHost(DialogPresenter& presenter, const Win32DialogContext& context, HWND* modal)
      : presenter_(presenter), context_(context), modal_(modal) {}

  // DialogView
  void SetText(int32_t id, TextView text) override;
  Text GetText(int32_t id) override;
  void SetListItems(int32_t id, std::span<const TextView> items) override;
  void SelectListItem(int32_t id, int32_t index) override;
  void SetChecked(int32_t id, bool checked) override;
  bool IsChecked(int32_t id) override;
  void SetSpinPosition(int32_t id, int32_t position) override;
  void ShowPicture(int32_t id, TextView path) override;
  void EndDialog(bool ok) override;

  bool RunSkinned(const SkinnedLook& look);
  bool RunSheet(const SheetLook& look);

 private:
  const DialogItem* Find(int32_t id) const;
  HWND Item(int32_t id) const { return GetDlgItem(window_, id); }
  void Open(HWND window);
  void OpenSkinned(HWND window);
  // The messages both looks handle alike; true when handled.
  bool OnCommonMessage(UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK SkinnedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam);
  static LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam);

  DialogPresenter& presenter_;
  const Win32DialogContext& context_;
  HWND* modal_;
  const SkinnedLook* look_ = nullptr;
  const SheetLook* sheetLook_ = nullptr;
  HWND window_ = nullptr;
  std::map<int32_t, std::unique_ptr<CGdipButton>> buttons_;
  std::map<int32_t, std::unique_ptr<CPictureCtrl>> pictures_;
  GdipImage background_;
  bool ended_ = false;
  bool ok_ = false;

  static thread_local DialogHost* sheetHost_;
  static thread_local HHOOK keyHook_;
};

thread_local DialogHost* DialogHost::sheetHost_ = nullptr;
thread_local HHOOK DialogHost::keyHook_ = nullptr;

const DialogItem* DialogHost::Find(int32_t id) const {
  for (const DialogItem& item : presenter_.items()) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

void DialogHost::SetText(int32_t id, TextView text) {
  const DialogItem* item = Find(id);
  if (item && item->kind == ItemKind::kList) {
    // The entry equal to the text is selected; a text equal to none changes nothing.
    HWND list = Item(id);
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      if (ListEntry(list, i) == text) {
        SendMessageW(list, CB_SETCURSEL, i, 0);
        return;
      }
    }
    return;
  }
  // An edit notifies its change itself (EN_CHANGE), as a typed one does.
  SetWindowTextW(Item(id), Wide(text).c_str());
}

Text DialogHost::GetText(int32_t id) {
  const DialogItem* item = Find(id);
  if (item && item->kind == ItemKind::kList) {
    HWND list = Item(id);
    const LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? Text() : ListEntry(list, selected);
  }
  return WindowText(Item(id));
}

void DialogHost::SetListItems(int32_t id, std::span<const TextView> items) {
  HWND list = Item(id);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (TextView entry : items) {
    std::wstring wide = Wide(entry);
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
}

void DialogHost::SelectListItem(int32_t id, int32_t index) {
  SendMessageW(Item(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DialogHost::SetChecked(int32_t id, bool checked) {
  auto button = buttons_.find(id);
  if (button != buttons_.end()) {
    // A switch shows its first picture while on.
    button->second->SetDisabled(false);
    button->second->SetShowToggle(checked ? 0 : 1);
    return;
  }
  CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool DialogHost::IsChecked(int32_t id) {
  auto button = buttons_.find(id);
  if (button != buttons_.end()) return button->second->showToggle() == 0;
  return IsDlgButtonChecked(window_, id) == BST_CHECKED;
}

void DialogHost::SetSpinPosition(int32_t id, int32_t position) {
  SendMessageW(Item(id), UDM_SETPOS32, 0, position);
}

void DialogHost::ShowPicture(int32_t id, TextView path) {
  auto picture = pictures_.find(id);
  if (picture == pictures_.end()) return;
  if (path.empty() || !picture->second->LoadFromFile(path)) {
    picture->second = std::make_unique<CPictureCtrl>();
    picture->second->Attach(window_, id);
    InvalidateRect(picture->second->window(), nullptr, TRUE);
  }
}

void DialogHost::EndDialog(bool ok) {
  ended_ = true;
  ok_ = ok;
  // A sheet ends through its own OK and Cancel; see PageProc.
  if (look_) ::EndDialog(window_, ok ? IDOK : IDCANCEL);
}

void DialogHost::Open(HWND window) {
  window_ = window;
  if (modal_) *modal_ = look_ ? window : GetParent(window);
  for (const SpinRange& range : SpinRangesOf(presenter_.kind())) {
    SendMessageW(Item(range.id), UDM_SETRANGE32, range.lowest, range.highest);
  }
  for (const DialogItem& item : presenter_.items()) {
    if (item.kind != ItemKind::kPicture) continue;
    auto picture = std::make_unique<CPictureCtrl>();
    picture->Attach(window, item.id);
    pictures_[item.id] = std::move(picture);
  }
  presenter_.OnOpen(*this);
}

void DialogHost::OpenSkinned(HWND window) {
  window_ = window;
  SetWindowPos(window, nullptr, 0, 0, look_->width, look_->height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CentreOn(window, GetWindow(window, GW_OWNER));
  background_ = LoadGdipImage(context_.skinFolder + look_->background);
  for (const PixelPlace& place : look_->places) {
    const DialogItem* item = Find(place.id);
    // A drop-down list's height includes its open list.
    const int listHeight = item && item->kind == ItemKind::kList ? 200 : 0;
    MoveWindow(Item(place.id), place.x, place.y, place.width, place.height + listHeight, FALSE);
    if (!place.picture) continue;
    auto button = std::make_unique<CGdipButton>();
    button->Attach(window, place.id);
    button->LoadNormalImage(context_.skinFolder + place.picture);
    if (place.toggle) button->LoadToggleImage(context_.skinFolder + place.toggle);
    buttons_[place.id] = std::move(button);
  }
  Open(window);
}

bool DialogHost::OnCommonMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    const int32_t id = LOWORD(wParam);
    const DialogItem* item = Find(id);
    if (!item) return false;
    const UINT code = HIWORD(wParam);
    if (code == EN_CHANGE && item->kind == ItemKind::kEdit) {
      presenter_.OnTextChanged(*this, id);
      return true;
    }
    if (code == BN_CLICKED && (item->kind == ItemKind::kButton || item->kind == ItemKind::kCheck)) {
      presenter_.OnClicked(*this, id);
      return true;
    }
    return false;
  }
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code != UDN_DELTAPOS) return false;
    const auto* spin = reinterpret_cast<const NMUPDOWN*>(lParam);
    presenter_.OnSpin(*this, static_cast<int32_t>(header->idFrom), spin->iDelta > 0);
    // The presenter moved the position itself, or refused the press.
    SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
    return true;
  }
  return false;
}

INT_PTR CALLBACK DialogHost::SkinnedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* host = reinterpret_cast<DialogHost*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    host->OpenSkinned(window);
    return TRUE;
  }
  auto* host = reinterpret_cast<DialogHost*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!host) return FALSE;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      CMyMemDC memory(reinterpret_cast<HDC>(wParam), client);
      FillRect(memory.dc(), &client, GetSysColorBrush(COLOR_BTNFACE));
      DrawStretched(memory.dc(), host->background_.get(), client, host->look_->smoothBackground);
      SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case WM_DRAWITEM:
    case WM_LBUTTONDOWN:
      return OnSkinnedWindowMessage(window, message, lParam) ? TRUE : FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        if (host->look_->swallowsEnterAndEscape) return TRUE;
        if (LOWORD(wParam) == IDOK) {
          host->presenter_.OnOk(*host);
        } else {
          host->EndDialog(false);
        }
        return TRUE;
      }
      return host->OnCommonMessage(message, wParam, lParam) ? TRUE : FALSE;
    default:
      return host->OnCommonMessage(message, wParam, lParam) ? TRUE : FALSE;
  }
}

bool DialogHost::RunSkinned(const SkinnedLook& look) {
  look_ = &look;
  const INT_PTR result =
      DialogBoxParamW(OwnModule(), MAKEINTRESOURCEW(look.templateId), context_.owner, SkinnedProc,
                      reinterpret_cast<LPARAM>(this));
  if (modal_) *modal_ = nullptr;
  return result == IDOK && ended_ && ok_;
}

INT_PTR CALLBACK DialogHost::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* host =
        reinterpret_cast<DialogHost*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(host));
    host->Open(window);
    return TRUE;
  }
  auto* host = reinterpret_cast<DialogHost*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!host) return FALSE;
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    auto picture = host->pictures_.find(static_cast<int32_t>(item->CtlID));
    if (picture == host->pictures_.end()) return FALSE;
    picture->second->Draw(*item);
    return TRUE;
  }
  if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == PSN_APPLY) {
    host->ended_ = false;
    host->presenter_.OnOk(*host);
    const bool accepted = host->ended_ && host->ok_;
    SetWindowLongPtrW(window, DWLP_MSGRESULT,
                      accepted ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
    return TRUE;
  }
  return host->OnCommonMessage(message, wParam, lParam) ? TRUE : FALSE;
}

int CALLBACK DialogHost::SheetCallback(HWND sheet, UINT message, LPARAM) {
  if (message != PSCB_INITIALIZED || !sheetHost_) return 0;
  // OK goes where Cancel was and Cancel where Help was; Help goes.
  HWND ok = GetDlgItem(sheet, IDOK);
  HWND cancel = GetDlgItem(sheet, IDCANCEL);
  HWND help = GetDlgItem(sheet, IDHELP);
  if (ok && cancel && help) {
    RECT cancelPlace;
    RECT helpPlace;
    GetWindowRect(cancel, &cancelPlace);
    GetWindowRect(help, &helpPlace);
    MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&cancelPlace), 2);
    MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&helpPlace), 2);
    SetWindowPos(ok, nullptr, cancelPlace.left, cancelPlace.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(cancel, nullptr, helpPlace.left, helpPlace.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(help, SW_HIDE);
  }
  std::wstring tab = Wide(sheetHost_->context_.tabText);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = tab.data();
  SendMessageW(PropSheet_GetTabControl(sheet), TCM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return 0;
}

LRESULT CALLBACK DialogHost::KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && sheetHost_ && sheetHost_->window_ &&
      (message->message == WM_KEYDOWN || message->message == WM_KEYUP ||
       message->message == WM_CHAR) &&
      (message->wParam == VK_RETURN ||
       (message->wParam == VK_ESCAPE && sheetHost_->sheetLook_->swallowsEscape)) &&
      IsChild(sheetHost_->window_, message->hwnd)) {
    // On the page Enter (and on some pages Escape) neither confirms nor cancels; the
    // sheet's buttons do.
    message->message = WM_NULL;
  }
  return CallNextHookEx(keyHook_, code, wParam, lParam);
}

bool DialogHost::RunSheet(const SheetLook& look) {
  sheetLook_ = &look;
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof page;
  page.dwFlags = PSP_HASHELP;
  page.hInstance = OwnModule();
  page.pszTemplate = MAKEINTRESOURCEW(look.templateId);
  page.pfnDlgProc = PageProc;
  page.lParam = reinterpret_cast<LPARAM>(this);
  std::wstring caption = Wide(context_.sheetCaption);
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_HASHELP | PSH_USECALLBACK;
  header.hwndParent = context_.owner;
  header.hInstance = OwnModule();
  header.pszCaption = caption.c_str();
  header.nPages = 1;
  header.ppsp = &page;
  header.pfnCallback = SheetCallback;
  DialogHost* outer = sheetHost_;
  sheetHost_ = this;
  HHOOK outerHook = keyHook_;
  keyHook_ = SetWindowsHookExW(WH_GETMESSAGE, KeyFilter, nullptr, GetCurrentThreadId());
  PropertySheetW(&header);
  if (keyHook_) UnhookWindowsHookEx(keyHook_);
  keyHook_ = outerHook;
  sheetHost_ = outer;
  if (modal_) *modal_ = nullptr;
  return ended_ && ok_;
}

}  // namespace

bool RunWin32Dialog(DialogPresenter& presenter, const Win32DialogContext& context, HWND* modal) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_TAB_CLASSES |
                                                     ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  GdiplusSession gdiplus;
  DialogHost host(presenter, context, modal);
  if (const SkinnedLook* look = SkinnedLookOf(presenter.kind())) return host.RunSkinned(*look);
  if (const SheetLook* look = SheetLookOf(presenter.kind())) return host.RunSheet(*look);
  if (presenter.kind() == DialogKind::kPhotoEditor)
    return RunPhotoEditor(presenter, context, modal);
  return false;
}

}  // namespace qorva
