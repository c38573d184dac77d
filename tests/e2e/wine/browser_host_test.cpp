// The embedded browser's host answers, table by table: the document host handler as a
// part of its owner, and the module's external object. Then a container-mode control:
// with the browser's module disabled its browser cannot be created, so there is no
// "QORVIE" child; with the module there but no HTML engine, the child is there and no page
// loads. Either way no QORVA_Event_Loaded fires and the page methods answer empty.
// Usage: browser_host_test.exe [absent|present], the browser expected (absent when not
// given). Prints a line per failed check; the exit status is the number of failures.
#include <mshtmhst.h>
#include <ocidl.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "host_fakes.h"
#include "qorvaeditor_h.h"
#include "win32/activex/doc_host_ui_handler.h"
#include "win32/activex/imp_idispatch.h"

namespace {

using host_fakes::Bag;
using host_fakes::Check;
using host_fakes::failures;
using host_fakes::Sink;

// The object a document host handler belongs to: it counts references and answers
// queries for the handler and for itself.
class Owner final : public IUnknown {
 public:
  IDocHostUIHandler* handler = nullptr;
  ULONG refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) *object = static_cast<IUnknown*>(this);
    if (IsEqualIID(iid, IID_IDocHostUIHandler)) *object = handler;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

void CheckDocHostHandler() {
  Owner owner;
  qorva::CDocHostUIHandler handler(&owner);
  owner.handler = &handler;

  Check(handler.AddRef() == 2 && owner.refs == 2, "the handler's AddRef is its owner's");
  Check(handler.Release() == 1 && owner.refs == 1, "the handler's Release is its owner's");
  IUnknown* identity = nullptr;
  Check(handler.QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)) == S_OK &&
            identity == &owner,
        "the handler's identity is its owner's");
  if (identity) identity->Release();

  DOCHOSTUIINFO info{};
  info.cbSize = sizeof info;
  info.dwFlags = 0x100;
  info.dwDoubleClick = 2;
  Check(handler.GetHostInfo(&info) == S_OK && info.dwFlags == (0x100 | 0x4 | 0x8) &&
            info.dwDoubleClick == 0,
        "host info: no 3-D border, no scroll bars, default double click, flags kept");
  Check(handler.GetHostInfo(nullptr) == E_POINTER, "host info without a structure");

  MSG msg{};
  POINT point{10, 10};
  LPOLESTR key = nullptr;
  IDropTarget* target = nullptr;
  LPWSTR url = nullptr;
  IDataObject* data = nullptr;
  const struct {
    HRESULT got;
    HRESULT want;
  } answers[] = {
      {handler.ShowContextMenu(0, &point, nullptr, nullptr), S_OK},
      {handler.ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_OK},
      {handler.HideUI(), S_OK},
      {handler.UpdateUI(), S_OK},
      {handler.EnableModeless(TRUE), E_NOTIMPL},
      {handler.OnDocWindowActivate(TRUE), E_NOTIMPL},
      {handler.OnFrameWindowActivate(TRUE), E_NOTIMPL},
      {handler.ResizeBorder(nullptr, nullptr, TRUE), E_NOTIMPL},
      {handler.TranslateAccelerator(&msg, nullptr, 0), S_FALSE},
      {handler.GetOptionKeyPath(&key, 0), E_NOTIMPL},
      {handler.GetDropTarget(nullptr, &target), E_NOTIMPL},
      {handler.TranslateUrl(0, nullptr, &url), E_NOTIMPL},
      {handler.FilterDataObject(nullptr, &data), E_NOTIMPL},
  };
  for (int i = 0; i < static_cast<int>(std::size(answers)); ++i) {
    Check(answers[i].got == answers[i].want, "document host answer", i);
  }

  qorva::CImpIDispatch& external = qorva::ModuleExternalObject();
  ULONG before = external.AddRef() - 1;
  external.Release();
  IDispatch* given = nullptr;
  Check(handler.GetExternal(&given) == S_OK && given == &external,
        "the external object is the module's");
  Check(external.AddRef() == before + 2, "GetExternal counts the reference it gives");
  external.Release();
  if (given) given->Release();
  Check(handler.GetExternal(nullptr) == E_POINTER, "GetExternal without a slot");
}

void CheckExternalObject() {
  qorva::CImpIDispatch external;
  void* out = &failures;
  Check(external.QueryInterface(IID_IUnknown, &out) == E_NOINTERFACE && !out,
        "the external object answers no IUnknown");
  out = &failures;
  Check(external.QueryInterface(IID_IPersist, &out) == E_NOINTERFACE && !out,
        "the external object answers no other interface");
  Check(external.QueryInterface(IID_IDispatch, &out) == S_OK && out == &external,
        "the external object answers IDispatch with itself");
  Check(external.Release() == 0, "the query counted one reference");
  // Release to zero and below never frees: the object is used after it.
  Check(external.Release() == static_cast<ULONG>(-1) && external.AddRef() == 0,
        "release never frees");
  Check(external.AddRef() == 1, "AddRef counts");
  UINT count = 7;
  ITypeInfo* info = nullptr;
  Check(external.GetTypeInfoCount(&count) == E_NOTIMPL, "no type information count");
  Check(external.GetTypeInfo(0, 0, &info) == E_NOTIMPL, "no type information");

  const struct {
    const wchar_t* name;
    DISPID id;
  } names[] = {
      {L"QORVA", 12345},
      {L"QOR", 12345},
      {L"QORx", 12345},
      {L"qorVA", -1},
      {L"Qor", -1},
      {L"QO", -1},
      {L"", -1},
      {L"Other", -1},
      {L"\uFF31\uFF2F\uFF32", 12345},  // the same letters in full width
  };
  const LCID locale = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
  for (int i = 0; i < static_cast<int>(std::size(names)); ++i) {
    LPOLESTR one[] = {const_cast<LPOLESTR>(names[i].name)};
    DISPID id = 0;
    HRESULT hr = external.GetIDsOfNames(IID_NULL, one, 1, locale, &id);
    Check(id == names[i].id, "id of a name", i);
    Check(hr == (names[i].id == 12345 ? S_OK : DISP_E_UNKNOWNNAME), "result of a name", i);
  }
  LPOLESTR mixed[] = {const_cast<LPOLESTR>(L"nope"), const_cast<LPOLESTR>(L"QORVAEDITOR")};
  DISPID ids[2] = {0, 0};
  Check(external.GetIDsOfNames(IID_NULL, mixed, 2, locale, ids) == DISP_E_UNKNOWNNAME &&
            ids[0] == DISPID_UNKNOWN && ids[1] == 12345,
        "an unknown name fails the call, the other names are still answered");

  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  Check(external.Invoke(12345, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                        nullptr) == S_OK &&
            V_VT(&result) == VT_BSTR && std::wstring(V_BSTR(&result)) == L"Wibble",
        "a property read gives Wibble");
  VariantClear(&result);
  Check(external.Invoke(12345, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, &result,
                        nullptr, nullptr) == S_OK &&
            V_VT(&result) == VT_BSTR,
        "a call that may read the property gives Wibble");
  VariantClear(&result);
  const struct {
    DISPID id;
    WORD flags;
  } nothing[] = {{12345, DISPATCH_METHOD},
                 {12345, DISPATCH_PROPERTYPUT},
                 {-1, DISPATCH_PROPERTYGET},
                 {0, DISPATCH_PROPERTYGET}};
  for (int i = 0; i < static_cast<int>(std::size(nothing)); ++i) {
    Check(external.Invoke(nothing[i].id, IID_NULL, 0, nothing[i].flags, &none, &result, nullptr,
                          nullptr) == S_OK &&
              V_VT(&result) == VT_EMPTY,
          "any other call does nothing and succeeds", i);
  }
  Check(external.Invoke(12345, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr,
                        nullptr) == S_OK,
        "a read without a result slot succeeds");
}

BOOL CALLBACK FindBrowserChild(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetWindowTextW(window, name, 16);
  if (std::wstring(name) == L"QORVIE") *reinterpret_cast<bool*>(found) = true;
  return TRUE;
}

BOOL CALLBACK FindInTopLevel(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) EnumChildWindows(window, FindBrowserChild, found);
  return TRUE;
}

// Runs the message loop for `ms` milliseconds, as the page would between calls.
void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

void CheckContainerControl(bool browserExpected) {
  IUnknown* control = nullptr;
  CoCreateInstance(CLSID_qorvaeditor, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                   reinterpret_cast<void**>(&control));
  Check(control != nullptr, "create the control");
  if (!control) return;
  IPersistPropertyBag* persist = nullptr;
  control->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist));
  Bag bag;
  bag.values = {{L"hasContainer", L"1"}, {L"qorvaEditorInitURL", L"about:blank"}};
  Check(persist && persist->Load(&bag, nullptr) == S_OK, "load container mode");
  IConnectionPointContainer* points = nullptr;
  control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points));
  IConnectionPoint* point = nullptr;
  if (points) points->FindConnectionPoint(DIID__DqorvaeditorEvents, &point);
  Sink sink;
  DWORD cookie = 0;
  Check(point && SUCCEEDED(point->Advise(&sink, &cookie)), "advise the event sink");

  // The first call makes the control's window, which would create the browser.
  IDispatch* dispatch = nullptr;
  control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR name[] = {const_cast<LPOLESTR>(L"QORVAGetMethod")};
  if (dispatch) dispatch->GetIDsOfNames(IID_NULL, name, 1, LOCALE_USER_DEFAULT, &id);
  VARIANT argument;
  VariantInit(&argument);
  V_VT(&argument) = VT_BSTR;
  V_BSTR(&argument) = SysAllocString(L"getHtml");
  DISPPARAMS params{&argument, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  Check(dispatch &&
            dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                             nullptr, nullptr) == S_OK &&
            V_VT(&result) == VT_BSTR && SysStringLen(V_BSTR(&result)) == 0,
        "QORVAGetMethod answers empty");
  VariantClear(&result);
  VariantClear(&argument);

  bool browserWindow = false;
  EnumWindows(FindInTopLevel, reinterpret_cast<LPARAM>(&browserWindow));
  Check(browserWindow == browserExpected,
        browserExpected ? "the browser sits in a QORVIE child"
                        : "no QORVIE child when the browser cannot be created");
  // Ten poll periods: no timer runs, so no event.
  Pump(1000);
  Check(sink.loaded == 0, "QORVA_Event_Loaded never fires");

  if (point) {
    point->Unadvise(cookie);
    point->Release();
  }
  for (IUnknown* p : {static_cast<IUnknown*>(points), static_cast<IUnknown*>(dispatch),
                      static_cast<IUnknown*>(persist), control}) {
    if (p) p->Release();
  }
}

}  // namespace

int main(int argc, char** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  CheckDocHostHandler();
  CheckExternalObject();
  CheckContainerControl(argc > 1 && std::string(argv[1]) == "present");
  CoUninitialize();
  std::printf("%d failure(s)\n", failures);
  return failures;
}
