// The class object that makes controls and property pages.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <atomic>

namespace qorva {

class CClassFactory final : public IClassFactory {
 public:
  enum class Product { kControl, kPropertyPage };

  explicit CClassFactory(Product product);
  ~CClassFactory();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  std::atomic<ULONG> refs_{1};
  Product product_;
};

}  // namespace qorva
