// The control's one property page: dialog 200, captioned "일반", without editable fields.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <span>

#include "win32/activex/com_object.h"
#include "win32/com_ptr.h"

namespace qorva {

class CQorvaeditorPropPage final : public ComObject<CQorvaeditorPropPage, IPropertyPage> {
 public:
  CQorvaeditorPropPage() = default;
  ~CQorvaeditorPropPage();

  static std::span<const InterfaceEntry<CQorvaeditorPropPage>> Interfaces();

  HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
  HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
  HRESULT STDMETHODCALLTYPE Deactivate() override;
  HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
  HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
  HRESULT STDMETHODCALLTYPE Show(UINT command) override;
  HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
  HRESULT STDMETHODCALLTYPE IsPageDirty() override;
  HRESULT STDMETHODCALLTYPE Apply() override;
  HRESULT STDMETHODCALLTYPE Help(LPCOLESTR helpDir) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg) override;

 private:
  ComPtr<IPropertyPageSite> site_;
  HWND dialog_ = nullptr;
};

}  // namespace qorva
