#include "win32/activex/class_factory.h"

#include <new>

#include "win32/activex/module.h"
#include "win32/activex/property_page.h"
#include "win32/activex/qorvaeditor_object.h"

namespace qorva {

CClassFactory::CClassFactory(Product product) : product_(product) { ModuleAddRef(); }
CClassFactory::~CClassFactory() { ModuleRelease(); }

HRESULT CClassFactory::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CClassFactory::AddRef() { return ++refs_; }

ULONG CClassFactory::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  try {
    IUnknown* created =
        product_ == Product::kControl
            ? static_cast<IUnknown*>(static_cast<IDispatch*>(new CQorvaeditorObject))
            : static_cast<IUnknown*>(new CQorvaeditorPropPage);
    HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
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
