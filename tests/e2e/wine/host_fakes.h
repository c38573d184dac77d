// What the Windows-side host tests share: the failure tally they print and return, and
// the two objects a page's browser hands the control, a property bag with the object
// element's parameters and an event sink.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include "qorvaeditor_h.h"

namespace host_fakes {

inline int failures = 0;

// Prints a line for a failed check, with the case's index in a table when given.
inline void Check(bool ok, const char* what, int index = -1) {
  if (ok) return;
  if (index >= 0) {
    std::printf("FAIL %s (case %d)\n", what, index);
  } else {
    std::printf("FAIL %s\n", what);
  }
  ++failures;
}

// A property bag over a map, as the browser builds one from the object element. Owned by
// the test: its counts are fixed.
class Bag final : public IPropertyBag {
 public:
  std::map<std::wstring, std::wstring> values;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyBag)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    auto it = values.find(name);
    if (it == values.end()) return E_INVALIDARG;
    VariantClear(value);
    V_VT(value) = VT_BSTR;
    V_BSTR(value) = SysAllocString(it->second.c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override {
    VARIANT text;
    VariantInit(&text);
    if (SUCCEEDED(VariantChangeType(&text, value, 0, VT_BSTR))) values[name] = V_BSTR(&text);
    VariantClear(&text);
    return S_OK;
  }
};

// An event sink that accepts every call and counts QORVA_Event_Loaded. Owned by the test.
class Sink final : public IDispatch {
 public:
  int loaded = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, DIID__DqorvaeditorEvents)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    constexpr DISPID kLoaded = 1;
    if (id == kLoaded) ++loaded;
    return S_OK;
  }
};

}  // namespace host_fakes
