// The control as COM sees it: a thin adapter from the COM interfaces a browser uses to
// site, activate, persist and script a control, onto CQorvaeditorCtrl. It holds no logic
// of the control's own.
#pragma once

#include <mshtml.h>
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <memory>
#include <span>

#include "control/qorvaeditor_ctrl.h"
#include "platform/clock.h"
#include "platform/content_types.h"
#include "platform/control_site.h"
#include "platform/http_client.h"
#include "platform/image_codec.h"
#include "platform/system.h"
#include "win32/activex/com_object.h"
#include "win32/activex/connection_point.h"
#include "win32/com_ptr.h"
#include "win32/win32_clipboard.h"
#include "win32/win32_registry.h"
#include "win32/win32_screen_capture.h"
#include "win32/win32_user_interface.h"

namespace qorva {

class CQorvaeditorObject;

// The control's window and host document, as the core asks for them.
class CWin32ControlSite final : public ControlSite {
 public:
  explicit CWin32ControlSite(CQorvaeditorObject& object) : object_(object) {}

  bool EnsureWindow() override;
  Rect ClientRect() const override;
  void MoveWindow(const Rect& rect, Repaint repaint) override;
  void MarkModified() override;
  Text HostDocumentUrl() const override;
  void RunHostDocumentCommand(HostDocumentCommand command) override;
  std::unique_ptr<EmbeddedBrowser> CreateBrowser(
      std::function<void(TextView url)> onComplete) override;
  uint32_t SetTimer(uint32_t id, uint32_t periodMs) override;
  void KillTimer(uint32_t id) override;

 private:
  // The HTML document of the client site's container; null when any link is missing.
  ComPtr<IHTMLDocument2> HostDocument() const;

  CQorvaeditorObject& object_;
};

class CQorvaeditorObject final
    : public ComObject<CQorvaeditorObject, IDispatch, IProvideClassInfo2, IConnectionPointContainer,
                       IObjectSafety, IPersistPropertyBag, IPersistStreamInit, IOleObject,
                       IOleInPlaceObject, IOleInPlaceActiveObject, IOleControl, IViewObject2> {
 public:
  CQorvaeditorObject();
  ~CQorvaeditorObject();

  static std::span<const InterfaceEntry<CQorvaeditorObject>> Interfaces();

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

  // IObjectSafety
  HRESULT STDMETHODCALLTYPE GetInterfaceSafetyOptions(REFIID iid, DWORD* supported,
                                                      DWORD* enabled) override;
  HRESULT STDMETHODCALLTYPE SetInterfaceSafetyOptions(REFIID iid, DWORD mask,
                                                      DWORD enabled) override;

  // IPersist, IPersistPropertyBag, IPersistStreamInit
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index,
                                   HWND parent, LPCRECT position) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                         BOOL frame) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* msg) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

  // IViewObject, IViewObject2
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                 HDC targetDc, HDC drawDc, LPCRECTL bounds, LPCRECTL wBounds,
                                 BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                                 ULONG_PTR contArg) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo,
                                        DVTARGETDEVICE* device, HDC targetDc,
                                        LOGPALETTE** colors) override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo,
                                   DWORD* freeze) override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                                      LPSIZEL size) override;

  // The window: created in place, or in the hidden parking window before that.
  bool EnsureWindow();
  HWND window() const { return window_; }
  void MarkDirty() { dirty_ = true; }
  IOleClientSite* clientSite() const { return clientSite_.Get(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  bool CreateControlWindow(HWND parent, const RECT& position);
  void Paint(HDC dc, const RECT& bounds);
  HRESULT ActivateInPlace(bool withUserInterface);
  HRESULT LoadTypeInfo(REFGUID guid, ITypeInfo** info);

  Win32Registry registry_;
  Win32UserInterface userInterface_;
  std::unique_ptr<System> system_;
  std::unique_ptr<HttpClient> http_;
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<ContentTypes> contentTypes_;
  CWin32ControlSite site_;
  std::unique_ptr<ImageCodec> imageCodec_;
  Win32Clipboard clipboard_;
  Win32ScreenCapture screen_;
  CQorvaeditorCtrl control_;
  CEventConnectionPoint events_;

  HWND window_ = nullptr;
  ComPtr<IOleClientSite> clientSite_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleAdviseHolder> oleAdviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
  bool dirty_ = false;
  SIZEL extent_{2540, 2540};  // HIMETRIC
};

}  // namespace qorva
