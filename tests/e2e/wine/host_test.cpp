// Hosts the control as a browser does, without a browser: creates it by class id, checks
// safety, status and class information, loads parameters from a property bag, calls it
// through IDispatch, round-trips its state through a stream and connects an event sink.
// Prints a line per failed check; the exit status is the number of failures.
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

#include "host_fakes.h"
#include "qorvaeditor_h.h"

namespace {

using host_fakes::Bag;
using host_fakes::Check;
using host_fakes::failures;
using host_fakes::Sink;

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

IUnknown* Identity(IUnknown* object) {
  IUnknown* identity = Query<IUnknown>(object, IID_IUnknown);
  if (identity) identity->Release();
  return identity;
}

// Every interface the object answers, each giving back the object's one identity; a miss
// and a null out-pointer answered as COM requires.
void CheckInterfaces(IUnknown* object, const char* name,
                     std::initializer_list<std::pair<const IID*, const char*>> answered) {
  char what[160];
  for (const auto& [iid, iidName] : answered) {
    std::snprintf(what, sizeof what, "%s answers %s with its identity", name, iidName);
    IUnknown* part = nullptr;
    HRESULT hr = object->QueryInterface(*iid, reinterpret_cast<void**>(&part));
    Check(hr == S_OK && part && Identity(part) == Identity(object), what);
    if (part) part->Release();
  }
  void* missed = &failures;
  std::snprintf(what, sizeof what, "%s: a miss is E_NOINTERFACE with a null pointer", name);
  Check(object->QueryInterface(IID_IPersistStorage, &missed) == E_NOINTERFACE && !missed, what);
  std::snprintf(what, sizeof what, "%s: a null out-pointer is E_POINTER", name);
  Check(object->QueryInterface(IID_IUnknown, nullptr) == E_POINTER, what);
}

using CanUnloadFn = HRESULT(__stdcall*)();

CanUnloadFn CanUnloadNow() {
  HMODULE module = GetModuleHandleW(L"qorvaeditor.ocx");
  return module ? reinterpret_cast<CanUnloadFn>(
                      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")))
                : nullptr;
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

  CheckInterfaces(control, "control",
                  {{&IID_IUnknown, "IUnknown"},
                   {&IID_IDispatch, "IDispatch"},
                   {&DIID__Dqorvaeditor, "_Dqorvaeditor"},
                   {&IID_IProvideClassInfo, "IProvideClassInfo"},
                   {&IID_IProvideClassInfo2, "IProvideClassInfo2"},
                   {&IID_IConnectionPointContainer, "IConnectionPointContainer"},
                   {&IID_IObjectSafety, "IObjectSafety"},
                   {&IID_IPersist, "IPersist"},
                   {&IID_IPersistPropertyBag, "IPersistPropertyBag"},
                   {&IID_IPersistStreamInit, "IPersistStreamInit"},
                   {&IID_IOleObject, "IOleObject"},
                   {&IID_IOleWindow, "IOleWindow"},
                   {&IID_IOleInPlaceObject, "IOleInPlaceObject"},
                   {&IID_IOleInPlaceActiveObject, "IOleInPlaceActiveObject"},
                   {&IID_IOleControl, "IOleControl"},
                   {&IID_IViewObject, "IViewObject"},
                   {&IID_IViewObject2, "IViewObject2"}});

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
  if (point) {
    CheckInterfaces(point, "connection point",
                    {{&IID_IUnknown, "IUnknown"}, {&IID_IConnectionPoint, "IConnectionPoint"}});
    IConnectionPointContainer* back = nullptr;
    Check(SUCCEEDED(point->GetConnectionPointContainer(&back)) && back &&
              Identity(back) == Identity(control),
          "the connection point's container is the control");
    if (back) back->Release();
  }
  Sink sink;
  DWORD cookie = 0;
  Check(point && SUCCEEDED(point->Advise(&sink, &cookie)) && cookie != 0, "advise");
  Check(point && point->Unadvise(cookie) == S_OK, "unadvise");
  Check(point && point->Unadvise(cookie) == CONNECT_E_NOCONNECTION, "unadvise twice");

  IClassFactory* factory = nullptr;
  Check(SUCCEEDED(CoGetClassObject(CLSID_qorvaeditorPropPage, CLSCTX_INPROC_SERVER, nullptr,
                                   IID_IClassFactory, reinterpret_cast<void**>(&factory))) &&
            factory,
        "class object of the property page");
  if (factory) {
    CheckInterfaces(factory, "class object",
                    {{&IID_IUnknown, "IUnknown"}, {&IID_IClassFactory, "IClassFactory"}});
    void* made = &failures;
    Check(factory->CreateInstance(control, IID_IUnknown, &made) == CLASS_E_NOAGGREGATION && !made,
          "no aggregation");
    made = &failures;
    Check(factory->CreateInstance(nullptr, IID_IDispatch, &made) == E_NOINTERFACE && !made,
          "a property page is no IDispatch");
    IPropertyPage* page = nullptr;
    Check(SUCCEEDED(factory->CreateInstance(nullptr, IID_IPropertyPage,
                                            reinterpret_cast<void**>(&page))) &&
              page,
          "create the property page");
    if (page) {
      CheckInterfaces(page, "property page",
                      {{&IID_IUnknown, "IUnknown"}, {&IID_IPropertyPage, "IPropertyPage"}});
      PROPPAGEINFO pageInfo{};
      Check(SUCCEEDED(page->GetPageInfo(&pageInfo)) && pageInfo.pszTitle &&
                std::wstring(pageInfo.pszTitle) == L"\uC77C\uBC18",
            "the property page's caption");
      CoTaskMemFree(pageInfo.pszTitle);
      page->Release();
    }
  }

  CanUnloadFn canUnload = CanUnloadNow();
  Check(canUnload && canUnload() == S_FALSE, "the module stays while objects live");

  for (IUnknown* p : {static_cast<IUnknown*>(point), static_cast<IUnknown*>(points),
                      static_cast<IUnknown*>(secondDispatch), static_cast<IUnknown*>(secondStream),
                      second, static_cast<IUnknown*>(stream), static_cast<IUnknown*>(persistStream),
                      static_cast<IUnknown*>(dispatch), static_cast<IUnknown*>(persistBag),
                      static_cast<IUnknown*>(info), static_cast<IUnknown*>(ole),
                      static_cast<IUnknown*>(safety), control}) {
    if (p) p->Release();
  }
  Check(canUnload && canUnload() == S_FALSE, "a class object keeps the module");
  if (factory) {
    factory->LockServer(TRUE);
    factory->Release();
    Check(canUnload && canUnload() == S_FALSE, "a lock keeps the module");
    factory = nullptr;
    CoGetClassObject(CLSID_qorvaeditorPropPage, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                     reinterpret_cast<void**>(&factory));
    if (factory) {
      factory->LockServer(FALSE);
      factory->Release();
    }
  }
  Check(canUnload && canUnload() == S_OK, "the module may unload once every object is gone");
  CoUninitialize();
  std::printf("%d failure(s)\n", failures);
  return failures;
}
