#include "win32/activex/web_browser_host.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <ocidl.h>
#include <oleauto.h>

#include <vector>

#include "win32/activex/com_object.h"
#include "win32/activex/doc_host_ui_handler.h"
#include "win32/activex/module.h"
#include "win32/com_ptr.h"
#include "win32/wide_text.h"

namespace qorva {

namespace {

constexpr wchar_t kHostClass[] = L"QorvaEditorBrowserHost";

// The browser's client site, in-place site and frame, its document host handler, and the
// sink of its events (which reach us through IDispatch).
class CBrowserSite final
    : public ComObject<CBrowserSite, IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame, IDispatch> {
 public:
  CBrowserSite(HWND window, std::function<void(TextView url)> onComplete)
      : window_(window),
        onComplete_(std::move(onComplete)),
        docHost_(static_cast<IOleClientSite*>(this)) {}

  static std::span<const InterfaceEntry<CBrowserSite>> Interfaces() {
    static const InterfaceEntry<CBrowserSite> table[] = {
        Entry<IOleClientSite>(IID_IUnknown),
        Entry<IOleClientSite>(IID_IOleClientSite),
        Entry<IOleInPlaceSite>(IID_IOleWindow),
        Entry<IOleInPlaceSite>(IID_IOleInPlaceSite),
        Entry<IOleInPlaceFrame>(IID_IOleInPlaceUIWindow),
        Entry<IOleInPlaceFrame>(IID_IOleInPlaceFrame),
        Entry<IDispatch>(IID_IDispatch),
        Entry<IDispatch>(DIID_DWebBrowserEvents2),
        {&IID_IDocHostUIHandler, [](CBrowserSite* site) -> IUnknown* { return &site->docHost_; }},
    };
    return table;
  }

  // The browser lets go of the site later than the control lets go of the browser.
  void Detach() { onComplete_ = nullptr; }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (!container) return E_POINTER;
    *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow, shared by the in-place site and the frame
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             LPRECT position, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO info) override {
    if (!frame || !doc || !position || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *doc = nullptr;
    GetClientRect(window_, position);
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(window_, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow, IOleInPlaceFrame: the browser has no menus or borders to place.
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
    return INPLACE_E_NOTOOLSPACE;
  }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IDispatch: the browser's events; ambient property reads find no member.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    if (id != DISPID_DOCUMENTCOMPLETE) return DISP_E_MEMBERNOTFOUND;
    return GuardComCall([&]() -> HRESULT {
      // The arguments come last first: the URL is the first of the array, the frame second.
      if (!params || params->cArgs < 2 || !onComplete_) return S_OK;
      onComplete_(UrlOf(params->rgvarg[0]));
      return S_OK;
    });
  }

 private:
  // The URL of the event: a string, or a reference to one, or to a variant holding one.
  static Text UrlOf(const VARIANT& value) {
    const VARIANT* v = &value;
    if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
    if (v->vt == VT_BSTR) return FromWide(v->bstrVal);
    if (v->vt == (VT_BSTR | VT_BYREF) && v->pbstrVal) return FromWide(*v->pbstrVal);
    return {};
  }

  HWND window_;
  std::function<void(TextView url)> onComplete_;
  CDocHostUIHandler docHost_;
};

PageValue PageValueOf(const VARIANT& value) {
  PageValue result;
  switch (value.vt) {
    case VT_BSTR:
      result.kind = PageValue::Kind::kString;
      result.text = FromWide(value.bstrVal);
      break;
    case VT_I4:
      result.kind = PageValue::Kind::kInteger;
      result.integer = value.lVal;
      break;
    case VT_R8:
      result.kind = PageValue::Kind::kDouble;
      result.number = value.dblVal;
      break;
    case VT_BOOL:
      result.kind = PageValue::Kind::kBoolean;
      result.boolean = value.boolVal != VARIANT_FALSE;
      break;
    default:
      break;
  }
  return result;
}

// A loaded HTML document, whose script object answers calls by name.
class CHtmlPageDocument final : public PageDocument {
 public:
  explicit CHtmlPageDocument(ComPtr<IHTMLDocument> document) : document_(std::move(document)) {}

  PageCallOutcome CallFunction(TextView name, std::span<const Text> arguments) override {
    ComPtr<IDispatch> script;
    if (FAILED(document_->get_Script(script.ReleaseAndGetAddressOf())) || !script) {
      return {PageCallStatus::kNoScript, {}, {}};
    }
    std::wstring wideName = Wide(name);
    LPOLESTR names[] = {wideName.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = script->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    if (FAILED(hr)) return {PageCallStatus::kFailed, {}, SystemMessageText(hr)};

    // Filled last first, so that the function receives them in the list's order.
    std::vector<VARIANT> values(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
      VARIANT& slot = values[arguments.size() - 1 - i];
      VariantInit(&slot);
      slot.vt = VT_BSTR;
      slot.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(arguments[i].data()),
                                       static_cast<UINT>(arguments[i].size()));
    }
    DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
    VARIANT result;
    VariantInit(&result);
    hr = script->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &params, &result,
                        nullptr, nullptr);
    for (VARIANT& value : values) VariantClear(&value);
    if (FAILED(hr)) {
      VariantClear(&result);
      return {PageCallStatus::kFailed, {}, SystemMessageText(hr)};
    }
    PageCallOutcome outcome{PageCallStatus::kOk, PageValueOf(result), {}};
    VariantClear(&result);
    return outcome;
  }

 private:
  ComPtr<IHTMLDocument> document_;
};

class CWebBrowserHost final : public EmbeddedBrowser {
 public:
  CWebBrowserHost(HWND window, ComPtr<CBrowserSite> site)
      : window_(window), site_(std::move(site)) {}
  ~CWebBrowserHost() override {
    if (events_ && cookie_) events_->Unadvise(cookie_);
    if (object_) {
      object_->Close(OLECLOSE_NOSAVE);
      object_->SetClientSite(nullptr);
    }
    if (site_) site_->Detach();
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  CWebBrowserHost(const CWebBrowserHost&) = delete;
  CWebBrowserHost& operator=(const CWebBrowserHost&) = delete;

  bool Start() {
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(object_.ReleaseAndGetAddressOf())))) {
      return false;
    }
    if (FAILED(object_->SetClientSite(site_.Get()))) return false;
    RECT client{};
    GetClientRect(window_, &client);
    if (FAILED(
            object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, window_, &client))) {
      return false;
    }
    if (FAILED(object_.As(&browser_))) return false;
    ComPtr<IConnectionPointContainer> points;
    if (SUCCEEDED(object_.As(&points)) &&
        SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2,
                                              events_.ReleaseAndGetAddressOf()))) {
      events_->Advise(static_cast<IDispatch*>(site_.Get()), &cookie_);
    }
    return true;
  }

  bool HasWindow() const override { return IsWindow(window_) != FALSE; }
  void SetSilent(bool silent) override {
    browser_->put_Silent(silent ? VARIANT_TRUE : VARIANT_FALSE);
  }
  void Navigate(TextView url) override {
    VARIANT address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(url.data()),
                                        static_cast<UINT>(url.size()));
    VARIANT empty;
    VariantInit(&empty);
    browser_->Navigate2(&address, &empty, &empty, &empty, &empty);
    VariantClear(&address);
  }
  void MoveWindow(const Rect& rect, Repaint repaint) override {
    ::MoveWindow(window_, rect.left, rect.top, rect.width(), rect.height(),
                 repaint == Repaint::kYes);
    ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(object_.As(&inPlace))) {
      RECT client{0, 0, rect.width(), rect.height()};
      inPlace->SetObjectRects(&client, &client);
    }
  }
  std::shared_ptr<PageDocument> Document() override {
    ComPtr<IDispatch> document;
    if (FAILED(browser_->get_Document(document.ReleaseAndGetAddressOf())) || !document) {
      return nullptr;
    }
    ComPtr<IHTMLDocument> html;
    if (FAILED(document.As(&html))) return nullptr;
    return std::make_shared<CHtmlPageDocument>(std::move(html));
  }
  void ForwardKeyDown(const KeyMessage& message) override {
    ComPtr<IDispatch> document;
    if (FAILED(browser_->get_Document(document.ReleaseAndGetAddressOf())) || !document) return;
    ComPtr<IOleInPlaceActiveObject> active;
    if (FAILED(document.As(&active))) return;
    MSG msg{};
    msg.hwnd = reinterpret_cast<HWND>(message.window);
    msg.message = message.message;
    msg.wParam = message.wParam;
    msg.lParam = message.lParam;
    active->TranslateAccelerator(&msg);
  }

 private:
  HWND window_;
  ComPtr<CBrowserSite> site_;
  ComPtr<IOleObject> object_;
  ComPtr<IWebBrowser2> browser_;
  ComPtr<IConnectionPoint> events_;
  DWORD cookie_ = 0;
};

bool RegisterHostClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = ModuleInstance();
  wc.lpszClassName = kHostClass;
  registered = RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

}  // namespace

Text SystemMessageText(HRESULT code) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  Text text = length > 0 && buffer ? FromWide(std::wstring_view(buffer, length)) : Text();
  if (buffer) LocalFree(buffer);
  return text;
}

std::unique_ptr<EmbeddedBrowser> CreateWebBrowserHost(
    HWND parent, std::function<void(TextView url)> onComplete) {
  if (!parent || !RegisterHostClass()) return nullptr;
  HWND window = CreateWindowExW(0, kHostClass, kBrowserWindowName,
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBrowserControlId)),
                                ModuleInstance(), nullptr);
  if (!window) return nullptr;
  ComPtr<CBrowserSite> site = MakeComObject<CBrowserSite>(window, std::move(onComplete));
  auto host = std::make_unique<CWebBrowserHost>(window, std::move(site));
  if (!host->Start()) return nullptr;
  return host;
}

}  // namespace qorva
