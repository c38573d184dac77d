#include "win32/activex/property_page.h"

#include "platform/native_system.h"
#include "support/string_table.h"
#include "win32/activex/module.h"
#include "win32/wide_text.h"

namespace qorva {

namespace {

constexpr WORD kPageDialogId = 200;
constexpr uint32_t kPageCaptionId = 200;

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

CQorvaeditorPropPage::~CQorvaeditorPropPage() {
  if (dialog_) DestroyWindow(dialog_);
}

std::span<const InterfaceEntry<CQorvaeditorPropPage>> CQorvaeditorPropPage::Interfaces() {
  static constexpr InterfaceEntry<CQorvaeditorPropPage> kTable[] = {
      Entry<IPropertyPage>(IID_IUnknown),
      Entry<IPropertyPage>(IID_IPropertyPage),
  };
  return kTable;
}

HRESULT CQorvaeditorPropPage::SetPageSite(IPropertyPageSite* site) {
  site_ = site;
  return S_OK;
}

HRESULT CQorvaeditorPropPage::Activate(HWND parent, LPCRECT rect, BOOL) {
  if (dialog_) return E_UNEXPECTED;
  dialog_ =
      CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(kPageDialogId), parent, PageProc, 0);
  if (!dialog_) return E_FAIL;
  if (rect) Move(rect);
  return S_OK;
}

HRESULT CQorvaeditorPropPage::Deactivate() {
  if (dialog_) DestroyWindow(dialog_);
  dialog_ = nullptr;
  return S_OK;
}

HRESULT CQorvaeditorPropPage::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  return GuardComCall([&]() -> HRESULT {
    auto system = CreateNativeSystem();
    std::wstring title = Wide(LoadResourceText(*system, kPageCaptionId));
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc((title.size() + 1) * sizeof(wchar_t)));
    if (!info->pszTitle) return E_OUTOFMEMORY;
    wcscpy(info->pszTitle, title.c_str());
    info->size = SIZE{250, 62};
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
  });
}

HRESULT CQorvaeditorPropPage::SetObjects(ULONG, IUnknown**) { return S_OK; }

HRESULT CQorvaeditorPropPage::Show(UINT command) {
  if (dialog_) ShowWindow(dialog_, static_cast<int>(command));
  return S_OK;
}

HRESULT CQorvaeditorPropPage::Move(LPCRECT rect) {
  if (!rect) return E_POINTER;
  if (dialog_) {
    MoveWindow(dialog_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
  }
  return S_OK;
}

// The page has nothing to edit, so it is never dirty and applying changes nothing.
HRESULT CQorvaeditorPropPage::IsPageDirty() { return S_FALSE; }
HRESULT CQorvaeditorPropPage::Apply() { return S_OK; }
HRESULT CQorvaeditorPropPage::Help(LPCOLESTR) { return E_NOTIMPL; }
HRESULT CQorvaeditorPropPage::TranslateAccelerator(MSG*) { return S_FALSE; }

}  // namespace qorva
