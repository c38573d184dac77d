// The class object that makes controls and property pages.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <span>

#include "win32/activex/com_object.h"

namespace qorva {

class CClassFactory final : public ComObject<CClassFactory, IClassFactory> {
 public:
  enum class Product { kControl, kPropertyPage };

  explicit CClassFactory(Product product) : product_(product) {}

  static std::span<const InterfaceEntry<CClassFactory>> Interfaces();

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  Product product_;
};

}  // namespace qorva
