// The embedded editor page's external object: one per module, answering a property read
// of any name that starts with "QOR" with "Wibble" and nothing else. Its count is only
// bookkeeping: the module deletes it at unload, never a Release.
#pragma once

#include <oaidl.h>
#include <windows.h>

namespace qorva {

class CImpIDispatch final : public IDispatch {
 public:
  static constexpr DISPID kMemberId = 12345;

  CImpIDispatch() = default;
  CImpIDispatch(const CImpIDispatch&) = delete;
  CImpIDispatch& operator=(const CImpIDispatch&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

 private:
  ULONG refs_ = 0;
};

// The module's one external object, made on first use; DestroyModuleExternalObject
// deletes it when the module unloads.
CImpIDispatch& ModuleExternalObject();
void DestroyModuleExternalObject();

}  // namespace qorva
