// Siting, in-place activation, drawing and the window of the control object.
#include <docobj.h>
#include <mshtml.h>

#include "control/registration.h"
#include "platform/embedded_browser.h"
#include "win32/activex/com_ids.h"
#include "win32/activex/module.h"
#include "win32/activex/qorvaeditor_object.h"
#include "win32/activex/web_browser_host.h"
#include "win32/dib_info.h"
#include "win32/wide_text.h"

namespace qorva {

namespace {

constexpr wchar_t kWindowClass[] = L"QorvaEditorControlWindow";
constexpr wchar_t kParkingClass[] = L"QorvaEditorParkingWindow";

LRESULT CALLBACK ParkingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

// Where a control's window waits, hidden, until a site puts it in place.
HWND ParkingWindow() {
  static HWND parking = nullptr;
  if (parking && IsWindow(parking)) return parking;
  WNDCLASSW wc{};
  wc.lpfnWndProc = ParkingProc;
  wc.hInstance = ModuleInstance();
  wc.lpszClassName = kParkingClass;
  RegisterClassW(&wc);
  parking = CreateWindowExW(0, kParkingClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            ModuleInstance(), nullptr);
  return parking;
}

Rect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

bool CWin32ControlSite::EnsureWindow() { return object_.EnsureWindow(); }

Rect CWin32ControlSite::ClientRect() const {
  RECT client{};
  if (object_.window()) GetClientRect(object_.window(), &client);
  return FromRect(client);
}

void CWin32ControlSite::MoveWindow(const Rect& rect, Repaint repaint) {
  if (!object_.window()) return;
  ::MoveWindow(object_.window(), rect.left, rect.top, rect.width(), rect.height(),
               repaint == Repaint::kYes);
}

void CWin32ControlSite::MarkModified() { object_.MarkDirty(); }

ComPtr<IHTMLDocument2> CWin32ControlSite::HostDocument() const {
  ComPtr<IHTMLDocument2> document;
  IOleClientSite* site = object_.clientSite();
  if (!site) return document;
  ComPtr<IOleContainer> container;
  if (FAILED(site->GetContainer(container.ReleaseAndGetAddressOf())) || !container) {
    return document;
  }
  if (FAILED(container.As(&document))) document = nullptr;
  return document;
}

std::unique_ptr<EmbeddedBrowser> CWin32ControlSite::CreateBrowser(
    std::function<void(TextView url)> onComplete) {
  if (!object_.window()) return nullptr;
  return CreateWebBrowserHost(object_.window(), std::move(onComplete));
}

uint32_t CWin32ControlSite::SetTimer(uint32_t id, uint32_t periodMs) {
  if (!object_.window()) return 0;
  return static_cast<uint32_t>(::SetTimer(object_.window(), id, periodMs, nullptr));
}

void CWin32ControlSite::KillTimer(uint32_t id) {
  if (object_.window()) ::KillTimer(object_.window(), id);
}

Text CWin32ControlSite::HostDocumentUrl() const {
  ComPtr<IHTMLDocument2> document = HostDocument();
  if (!document) return {};
  BSTR url = nullptr;
  Text result;
  if (SUCCEEDED(document->get_URL(&url)) && url) {
    result = Text(reinterpret_cast<const char16_t*>(url), SysStringLen(url));
  }
  SysFreeString(url);
  return result;
}

void CWin32ControlSite::RunHostDocumentCommand(HostDocumentCommand command) {
  // The browser document's own command group, and its print preview and print commands.
  static constexpr GUID kMshtmlCommands = {
      0xDE4BA900, 0x59CA, 0x11CF, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
  constexpr DWORD kPrintPreview = 2003;
  constexpr DWORD kPrint = 27;
  ComPtr<IHTMLDocument2> document = HostDocument();
  if (!document) return;
  ComPtr<IOleCommandTarget> target;
  if (FAILED(document.As(&target)) || !target) return;
  // The browser decides whether to show its dialog; its answer tells the page nothing.
  target->Exec(&kMshtmlCommands,
               command == HostDocumentCommand::kPrintPreview ? kPrintPreview : kPrint,
               OLECMDEXECOPT_DODEFAULT, nullptr, nullptr);
}

bool CQorvaeditorObject::CreateControlWindow(HWND parent, const RECT& position) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kWindowClass;
    registered = RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  window_ =
      CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                      position.left, position.top, position.right - position.left,
                      position.bottom - position.top, parent, nullptr, ModuleInstance(), this);
  return window_ != nullptr;
}

bool CQorvaeditorObject::EnsureWindow() {
  if (window_) return true;
  HWND parking = ParkingWindow();
  return parking && CreateControlWindow(parking, RECT{0, 0, 0, 0});
}

LRESULT CALLBACK CQorvaeditorObject::WindowProc(HWND window, UINT message, WPARAM wparam,
                                                LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<CQorvaeditorObject*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCCREATE) self->window_ = window;
  try {
    return self->OnMessage(message, wparam, lparam);
  } catch (...) {
    return DefWindowProcW(window, message, wparam, lparam);
  }
}

LRESULT CQorvaeditorObject::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND window = window_;
  switch (message) {
    case WM_CREATE:
      ::MoveWindow(window, 0, 0, static_cast<int>(control_.width),
                   static_cast<int>(control_.height), TRUE);
      if (control_.InContainerMode()) ActivateInPlace(true);
      control_.OnWindowCreated();
      return 0;
    case WM_TIMER:
      if (control_.OnTimer(static_cast<uint32_t>(wparam))) return 0;
      break;
    case WM_SIZE:
      control_.OnWindowResized();
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      Paint(dc, client);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      if (!uiActive_) ActivateInPlace(true);
      break;
    case WM_DESTROY:
      control_.OnWindowDestroyed();
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      window_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void CQorvaeditorObject::Paint(HDC dc, const RECT& bounds) {
  FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  int width = bounds.right - bounds.left;
  int height = bounds.bottom - bounds.top;
  if (width <= 100 || height <= 100) return;
  std::optional<Bitmap> face = control_.RenderFace(width, height);
  if (!face) return;
  BITMAPINFO info = TopDownRgb24Info(width, height);
  SetDIBitsToDevice(dc, bounds.left, bounds.top, static_cast<DWORD>(width),
                    static_cast<DWORD>(height), 0, 0, 0, static_cast<UINT>(height), face->Row(0),
                    &info, DIB_RGB_COLORS);
}

HRESULT CQorvaeditorObject::ActivateInPlace(bool withUserInterface) {
  if (!clientSite_) return E_UNEXPECTED;
  if (!inPlaceSite_ && FAILED(clientSite_.As(&inPlaceSite_))) return E_FAIL;
  if (!inPlaceActive_) {
    if (inPlaceSite_->CanInPlaceActivate() != S_OK) return E_FAIL;
    inPlaceSite_->OnInPlaceActivate();
    inPlaceActive_ = true;
  }
  ComPtr<IOleInPlaceFrame> frame;
  ComPtr<IOleInPlaceUIWindow> document;
  RECT position{}, clip{};
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  inPlaceSite_->GetWindowContext(frame.ReleaseAndGetAddressOf(), document.ReleaseAndGetAddressOf(),
                                 &position, &clip, &frameInfo);
  HWND parent = nullptr;
  inPlaceSite_->GetWindow(&parent);
  if (!window_) {
    CreateControlWindow(parent, position);
  } else if (GetParent(window_) != parent) {
    SetParent(window_, parent);
  }
  if (window_) {
    SetObjectRects(&position, &clip);
    ShowWindow(window_, SW_SHOW);
  }
  if (withUserInterface && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    if (window_) SetFocus(window_);
    if (frame) frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
    if (document) document->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
    if (frame) frame->SetBorderSpace(nullptr);
    if (document) document->SetBorderSpace(nullptr);
  }
  return window_ ? S_OK : E_FAIL;
}

HRESULT CQorvaeditorObject::SetClientSite(IOleClientSite* site) {
  inPlaceSite_.Reset();
  clientSite_ = site;
  return S_OK;
}

HRESULT CQorvaeditorObject::GetClientSite(IOleClientSite** site) {
  return clientSite_.CopyTo(site);
}

HRESULT CQorvaeditorObject::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT CQorvaeditorObject::Close(DWORD) {
  InPlaceDeactivate();
  return S_OK;
}

HRESULT CQorvaeditorObject::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT CQorvaeditorObject::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (!moniker) return E_POINTER;
  *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT CQorvaeditorObject::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT CQorvaeditorObject::GetClipboardData(DWORD, IDataObject** data) {
  if (!data) return E_POINTER;
  *data = nullptr;
  return E_NOTIMPL;
}

HRESULT CQorvaeditorObject::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) {
  return GuardComCall([&]() -> HRESULT {
    switch (verb) {
      case OLEIVERB_PRIMARY:
      case OLEIVERB_SHOW:
      case OLEIVERB_UIACTIVATE:
        return ActivateInPlace(true);
      case OLEIVERB_INPLACEACTIVATE:
        return ActivateInPlace(false);
      case OLEIVERB_HIDE:
        if (window_) ShowWindow(window_, SW_HIDE);
        return S_OK;
      default:
        return OLEOBJ_S_INVALIDVERB;
    }
  });
}

HRESULT CQorvaeditorObject::EnumVerbs(IEnumOLEVERB** verbs) {
  if (!verbs) return E_POINTER;
  return OleRegEnumVerbs(CLSID_qorvaeditor, verbs);
}

HRESULT CQorvaeditorObject::Update() { return S_OK; }
HRESULT CQorvaeditorObject::IsUpToDate() { return S_OK; }

HRESULT CQorvaeditorObject::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

HRESULT CQorvaeditorObject::GetUserType(DWORD form, LPOLESTR* type) {
  if (!type) return E_POINTER;
  return OleRegGetUserType(CLSID_qorvaeditor, form, type);
}

HRESULT CQorvaeditorObject::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

HRESULT CQorvaeditorObject::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

HRESULT CQorvaeditorObject::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!connection) return E_POINTER;
  *connection = 0;
  if (!oleAdviseHolder_ &&
      FAILED(CreateOleAdviseHolder(oleAdviseHolder_.ReleaseAndGetAddressOf()))) {
    return E_OUTOFMEMORY;
  }
  return oleAdviseHolder_->Advise(sink, connection);
}

HRESULT CQorvaeditorObject::Unadvise(DWORD connection) {
  if (!oleAdviseHolder_) return OLE_E_NOCONNECTION;
  return oleAdviseHolder_->Unadvise(connection);
}

HRESULT CQorvaeditorObject::EnumAdvise(IEnumSTATDATA** advise) {
  if (!advise) return E_POINTER;
  *advise = nullptr;
  if (!oleAdviseHolder_) return E_FAIL;
  return oleAdviseHolder_->EnumAdvise(advise);
}

HRESULT CQorvaeditorObject::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kControlMiscStatus;
  return S_OK;
}

HRESULT CQorvaeditorObject::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

HRESULT CQorvaeditorObject::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return window_ ? S_OK : E_FAIL;
}

HRESULT CQorvaeditorObject::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT CQorvaeditorObject::InPlaceDeactivate() {
  if (!inPlaceActive_) return S_OK;
  UIDeactivate();
  inPlaceActive_ = false;
  if (window_) DestroyWindow(window_);
  if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
  return S_OK;
}

HRESULT CQorvaeditorObject::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT CQorvaeditorObject::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  if (window_) {
    ::MoveWindow(window_, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, TRUE);
  }
  return S_OK;
}

HRESULT CQorvaeditorObject::ReactivateAndUndo() { return E_NOTIMPL; }
HRESULT CQorvaeditorObject::TranslateAccelerator(LPMSG msg) {
  // The page sees a key first; the key is then dispatched as usual all the same.
  if (msg && msg->message == WM_KEYDOWN) {
    control_.OnKeyDown(
        {reinterpret_cast<uintptr_t>(msg->hwnd), msg->message, msg->wParam, msg->lParam});
  }
  return S_FALSE;
}
HRESULT CQorvaeditorObject::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT CQorvaeditorObject::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT CQorvaeditorObject::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT CQorvaeditorObject::EnableModeless(BOOL) { return S_OK; }

HRESULT CQorvaeditorObject::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc,
                                 LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                 ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!drawDc || !bounds) return E_INVALIDARG;
  return GuardComCall([&] {
    RECT rect{bounds->left, bounds->top, bounds->right, bounds->bottom};
    Paint(drawDc, rect);
    return S_OK;
  });
}

HRESULT CQorvaeditorObject::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                        LOGPALETTE** colors) {
  if (!colors) return E_POINTER;
  *colors = nullptr;
  return S_FALSE;
}

HRESULT CQorvaeditorObject::Freeze(DWORD, LONG, void*, DWORD* freeze) {
  if (!freeze) return E_POINTER;
  *freeze = 0;
  return E_NOTIMPL;
}

HRESULT CQorvaeditorObject::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT CQorvaeditorObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewSink_ = sink;
  viewAspects_ = aspects;
  viewFlags_ = flags;
  return S_OK;
}

HRESULT CQorvaeditorObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewFlags_;
  if (sink) viewSink_.CopyTo(sink);
  return S_OK;
}

HRESULT CQorvaeditorObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

}  // namespace qorva
