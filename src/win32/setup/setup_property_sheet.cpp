#include "win32/setup/setup_property_sheet.h"

#include "win32/setup/setup_resource.h"
#include "win32/wide_text.h"

namespace qorva {

CPropPageBase::CPropPageBase(HINSTANCE instance, int templateId, SetupPage page)
    : instance_(instance), templateId_(templateId), page_(page) {}

PROPSHEETPAGEW CPropPageBase::Describe() const {
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof page;
  page.dwFlags = PSP_DEFAULT;
  page.hInstance = instance_;
  page.pszTemplate = MAKEINTRESOURCEW(templateId_);
  page.pfnDlgProc = DialogProc;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

namespace {

// Posted by a page to itself on activation; see OnSetActive.
constexpr UINT kRetitle = WM_APP + 1;

void SetSheetTitle(HWND sheet, TextView text) {
  std::wstring title = Wide(text);
  SendMessageW(sheet, PSM_SETTITLEW, 0, reinterpret_cast<LPARAM>(title.c_str()));
  SetWindowTextW(sheet, title.c_str());
}

}  // namespace

void CPropPageBase::OnSetActive() {
  HWND sheet = GetParent(window_);
  PageLook look = LookOf(page_);
  SetSheetTitle(sheet, look.title);
  // A wizard shows the page's own caption once the page is shown, after this notification;
  // the page's title is set again when that is done.
  PostMessageW(window_, kRetitle, 0, 0);
  DWORD buttons = (look.back ? PSWIZB_BACK : 0) | (look.next ? PSWIZB_NEXT : 0) |
                  (look.finish ? PSWIZB_FINISH : 0);
  PropSheet_SetWizButtons(sheet, buttons);
  // Once the step has run there is nothing left to cancel; going back makes it possible
  // again.
  EnableWindow(GetDlgItem(sheet, IDCANCEL), look.cancelEnabled);
}

INT_PTR CALLBACK CPropPageBase::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* page =
        reinterpret_cast<CPropPageBase*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
    page->window_ = window;
    page->OnInitDialog();
    return TRUE;
  }
  auto* page = reinterpret_cast<CPropPageBase*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!page) return FALSE;
  if (message == kRetitle) {
    HWND sheet = GetParent(window);
    if (PropSheet_GetCurrentPageHwnd(sheet) == window)
      SetSheetTitle(sheet, LookOf(page->page_).title);
    return TRUE;
  }
  if (message != WM_NOTIFY) return FALSE;
  switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
    case PSN_SETACTIVE:
      page->OnSetActive();
      SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
      return TRUE;
    case PSN_WIZNEXT:
      SetWindowLongPtrW(window, DWLP_MSGRESULT, page->OnWizardNext() ? 0 : -1);
      return TRUE;
    default:
      return FALSE;
  }
}

CPropPageSetup::CPropPageSetup(HINSTANCE instance, SetupSystem& system, ControlBits bits)
    : CPropPageBase(instance, IDD_SETUP_SETUP, SetupPage::kSetup),
      ui_([this] { return window(); }),
      wizard_(system, ui_, bits) {}

void CPropPageSetup::OnInitDialog() {
  wizard_.InitSetupPage();
  CheckRadioButton(window(), IDC_SETUP_INSTALL, IDC_SETUP_UNINSTALL, IDC_SETUP_INSTALL);
}

bool CPropPageSetup::OnWizardNext() {
  wizard_.OnSetupNext(IsDlgButtonChecked(window(), IDC_SETUP_INSTALL) == BST_CHECKED,
                      IsDlgButtonChecked(window(), IDC_SETUP_UNINSTALL) == BST_CHECKED);
  return true;
}

CPropPageEnd::CPropPageEnd(HINSTANCE instance)
    : CPropPageBase(instance, IDD_SETUP_END, SetupPage::kEnd) {}

INT_PTR CPropSheetBase::DoModal() {
  std::vector<PROPSHEETPAGEW> pages;
  for (const CPropPageBase* page : pages_) pages.push_back(page->Describe());
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_USECALLBACK;
  header.hInstance = instance_;
  header.pszCaption = L"QORVA Editor Installation Utility";
  header.nPages = static_cast<UINT>(pages.size());
  header.ppsp = pages.data();
  header.pfnCallback = SheetCallback;
  return PropertySheetW(&header);
}

int CALLBACK CPropSheetBase::SheetCallback(HWND sheet, UINT message, LPARAM) {
  if (message != PSCB_INITIALIZED) return 0;
  // Closing goes through the wizard's own buttons only.
  SetWindowLongPtrW(sheet, GWL_STYLE, GetWindowLongPtrW(sheet, GWL_STYLE) & ~WS_SYSMENU);
  SetWindowPos(sheet, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  SetWindowTextW(sheet, L"Installation Utility");
  return 0;
}

}  // namespace qorva
