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

CQorvaeditorPropPage::CQorvaeditorPropPage() { ModuleAddRef(); }

CQorvaeditorPropPage::~CQorvaeditorPropPage() {
  if (dialog_) DestroyWindow(dialog_);
  if (site_) site_->Release();
  ModuleRelease();
}

HRESULT CQorvaeditorPropPage::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPage)) {
    *object = static_cast<IPropertyPage*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CQorvaeditorPropPage::AddRef() { return ++refs_; }

ULONG CQorvaeditorPropPage::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT CQorvaeditorPropPage::SetPageSite(IPropertyPageSite* site) {
  if (site) site->AddRef();
  if (site_) site_->Release();
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
