#include "win32/activex/class_factory.h"

#include "win32/activex/module.h"
#include "win32/activex/property_page.h"
#include "win32/activex/qorvaeditor_object.h"

namespace qorva {

std::span<const InterfaceEntry<CClassFactory>> CClassFactory::Interfaces() {
  static constexpr InterfaceEntry<CClassFactory> kTable[] = {
      Entry<IClassFactory>(IID_IUnknown),
      Entry<IClassFactory>(IID_IClassFactory),
  };
  return kTable;
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return GuardComCall([&] {
    if (product_ == Product::kControl) {
      return MakeComObject<CQorvaeditorObject>()->QueryInterface(iid, object);
    }
    return MakeComObject<CQorvaeditorPropPage>()->QueryInterface(iid, object);
  });
}

HRESULT CClassFactory::LockServer(BOOL lock) {
  if (lock) {
    ModuleAddRef();
  } else {
    ModuleRelease();
  }
  return S_OK;
}

}  // namespace qorva
