// Hosts the control as a browser does, without a browser: creates it by class id, checks
// safety, status and class information, loads parameters from a property bag, calls it
// through IDispatch, round-trips its state through a stream and connects an event sink.
// Prints a line per failed check; the exit status is the number of failures.
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include "qorvaeditor_h.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::printf("FAIL %s\n", what);
  ++failures;
}

// A property bag over a map, as the browser builds one from the object element.
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

// An event sink that accepts every call.
class Sink final : public IDispatch {
 public:
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
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return S_OK;
  }
};

DISPID IdOf(IDispatch* dispatch, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

VARIANT Call(IDispatch* dispatch, const wchar_t* name, WORD flags, HRESULT* hr = nullptr) {
  VARIANT result;
  VariantInit(&result);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  HRESULT got = dispatch->Invoke(IdOf(dispatch, name), IID_NULL, LOCALE_USER_DEFAULT, flags, &none,
                                 &result, nullptr, nullptr);
  if (hr) *hr = got;
  return result;
}

std::wstring Text(const VARIANT& value) {
  return V_VT(&value) == VT_BSTR && V_BSTR(&value) ? std::wstring(V_BSTR(&value)) : L"<not text>";
}

template <typename T>
T* Query(IUnknown* object, REFIID iid) {
  T* out = nullptr;
  object->QueryInterface(iid, reinterpret_cast<void**>(&out));
  return out;
}

IUnknown* Create() {
  IUnknown* object = nullptr;
  CoCreateInstance(CLSID_qorvaeditor, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                   reinterpret_cast<void**>(&object));
  return object;
}

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IUnknown* control = Create();
  Check(control != nullptr, "create by class id");
  if (!control) return 100;

  auto* safety = Query<IObjectSafety>(control, IID_IObjectSafety);
  DWORD supported = 0, enabled = 0;
  const DWORD both = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
  Check(safety &&
            SUCCEEDED(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled)) &&
            (supported & both) == both && (enabled & both) == both,
        "safe for scripting and initialising");
  Check(safety && safety->SetInterfaceSafetyOptions(IID_IPersistPropertyBag, both, both) == S_OK,
        "accepts the safety options");

  auto* ole = Query<IOleObject>(control, IID_IOleObject);
  DWORD status = 0;
  Check(ole && SUCCEEDED(ole->GetMiscStatus(DVASPECT_CONTENT, &status)) && status == 0x20191,
        "misc status");

  auto* info = Query<IProvideClassInfo2>(control, IID_IProvideClassInfo2);
  GUID source{};
  Check(info && SUCCEEDED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source)) &&
            IsEqualGUID(source, DIID__DqorvaeditorEvents),
        "default source interface");
  ITypeInfo* classInfo = nullptr;
  TYPEATTR* attributes = nullptr;
  Check(info && SUCCEEDED(info->GetClassInfo(&classInfo)) && classInfo &&
            SUCCEEDED(classInfo->GetTypeAttr(&attributes)) &&
            IsEqualGUID(attributes->guid, CLSID_qorvaeditor),
        "class information from the embedded type library");
  if (attributes) classInfo->ReleaseTypeAttr(attributes);
  if (classInfo) classInfo->Release();

  Bag bag;
  bag.values[L"hasContainer"] = L"1";
  bag.values[L"systemTitle"] = L"Host Title";
  bag.values[L"toSavePathUrl"] = L"from-the-page";
  bag.values[L"imgDefaultWidth"] = L"not a number";
  auto* persistBag = Query<IPersistPropertyBag>(control, IID_IPersistPropertyBag);
  Check(persistBag && persistBag->Load(&bag, nullptr) == S_OK, "load the page's parameters");

  auto* dispatch = Query<IDispatch>(control, IID_IDispatch);
  Check(IdOf(dispatch, L"GETQORVAPLUGINVERSION") == 31, "names without regard to case");
  VARIANT refused = Call(dispatch, L"getQorvaPluginVersion", DISPATCH_METHOD);
  Check(Text(refused) == L"", "guard A in container mode");
  VariantClear(&refused);
  VARIANT mode = Call(dispatch, L"hasContainer", DISPATCH_PROPERTYGET);
  Check(V_VT(&mode) == VT_UI4 && V_UI4(&mode) == 1, "hasContainer from the bag");
  VARIANT width = Call(dispatch, L"imgDefaultWidth", DISPATCH_PROPERTYGET);
  Check(V_VT(&width) == VT_UI4 && V_UI4(&width) == 0, "an unreadable number gives the default");
  HRESULT hr = S_OK;
  Call(dispatch, L"QorvaEncodeMime", DISPATCH_METHOD, &hr);
  Check(hr == DISP_E_BADPARAMCOUNT, "argument count checked");

  // The state goes to a stream and comes back in a new control.
  auto* persistStream = Query<IPersistStreamInit>(control, IID_IPersistStreamInit);
  IStream* stream = nullptr;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  Check(persistStream && SUCCEEDED(persistStream->Save(stream, TRUE)), "save to a stream");
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  IUnknown* second = Create();
  auto* secondStream = Query<IPersistStreamInit>(second, IID_IPersistStreamInit);
  Check(secondStream && secondStream->Load(stream) == S_OK, "load from the stream");
  auto* secondDispatch = Query<IDispatch>(second, IID_IDispatch);
  VARIANT path = Call(secondDispatch, L"toSavePathUrl", DISPATCH_PROPERTYGET);
  Check(Text(path) == L"from-the-page", "state survives the stream");
  VariantClear(&path);

  auto* points = Query<IConnectionPointContainer>(control, IID_IConnectionPointContainer);
  IConnectionPoint* point = nullptr;
  Check(points && SUCCEEDED(points->FindConnectionPoint(DIID__DqorvaeditorEvents, &point)),
        "event connection point");
  Sink sink;
  DWORD cookie = 0;
  Check(point && SUCCEEDED(point->Advise(&sink, &cookie)) && cookie != 0, "advise");
  Check(point && point->Unadvise(cookie) == S_OK, "unadvise");
  Check(point && point->Unadvise(cookie) == CONNECT_E_NOCONNECTION, "unadvise twice");

  for (IUnknown* p : {static_cast<IUnknown*>(point), static_cast<IUnknown*>(points),
                      static_cast<IUnknown*>(secondDispatch), static_cast<IUnknown*>(secondStream),
                      second, static_cast<IUnknown*>(stream), static_cast<IUnknown*>(persistStream),
                      static_cast<IUnknown*>(dispatch), static_cast<IUnknown*>(persistBag),
                      static_cast<IUnknown*>(info), static_cast<IUnknown*>(ole),
                      static_cast<IUnknown*>(safety), control}) {
    if (p) p->Release();
  }
  CoUninitialize();
  std::printf("%d failure(s)\n", failures);
  return failures;
}
