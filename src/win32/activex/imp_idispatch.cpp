#include "win32/activex/imp_idispatch.h"

#include <cwchar>

namespace qorva {

namespace {

constexpr wchar_t kMemberPrefix[] = L"QORVAEDITORXX";
constexpr int kPrefixLength = 3;

CImpIDispatch* moduleExternal = nullptr;

}  // namespace

HRESULT CImpIDispatch::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  // Only the dispatch interface: a query for IUnknown fails too.
  if (!IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
  *object = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

ULONG CImpIDispatch::AddRef() { return ++refs_; }

ULONG CImpIDispatch::Release() { return --refs_; }

HRESULT CImpIDispatch::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }

HRESULT CImpIDispatch::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT CImpIDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
  if (count > 0 && (!names || !ids)) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    // A name shorter than the prefix is compared as it is, never read past its end.
    int length = names[i] ? static_cast<int>(wcsnlen(names[i], kPrefixLength)) : 0;
    bool member =
        length == kPrefixLength && CompareStringW(lcid, NORM_IGNOREWIDTH, names[i], kPrefixLength,
                                                  kMemberPrefix, kPrefixLength) == CSTR_EQUAL;
    if (member) {
      ids[i] = kMemberId;
    } else {
      ids[i] = DISPID_UNKNOWN;
      hr = DISP_E_UNKNOWNNAME;
    }
  }
  return hr;
}

HRESULT CImpIDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                              EXCEPINFO*, UINT*) {
  if (id == kMemberId && (flags & DISPATCH_PROPERTYGET) && result) {
    VariantInit(result);
    BSTR text = SysAllocString(L"Wibble");
    if (text) {
      result->vt = VT_BSTR;
      result->bstrVal = text;
    }
  }
  return S_OK;
}

CImpIDispatch& ModuleExternalObject() {
  if (!moduleExternal) moduleExternal = new CImpIDispatch();
  return *moduleExternal;
}

void DestroyModuleExternalObject() {
  if (!moduleExternal) return;
  moduleExternal->Release();
  delete moduleExternal;
  moduleExternal = nullptr;
}

}  // namespace qorva
