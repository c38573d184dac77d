// The document host handler of the embedded browser: no context menu, no 3-D border or
// scroll bars, no browser menus or toolbars, keys left to the browser, and the module's
// external object. It is a part of its owner, the browser's site: reference counts and
// interface queries are the owner's.
#pragma once

#include <mshtmhst.h>
#include <windows.h>

namespace qorva {

class CDocHostUIHandler final : public IDocHostUIHandler {
 public:
  explicit CDocHostUIHandler(IUnknown* owner) : owner_(owner) {}
  CDocHostUIHandler(const CDocHostUIHandler&) = delete;
  CDocHostUIHandler& operator=(const CDocHostUIHandler&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* point, IUnknown* commands,
                                            IDispatch* object) override;
  HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
  HRESULT STDMETHODCALLTYPE ShowUI(DWORD id, IOleInPlaceActiveObject* active,
                                   IOleCommandTarget* commands, IOleInPlaceFrame* frame,
                                   IOleInPlaceUIWindow* document) override;
  HRESULT STDMETHODCALLTYPE HideUI() override;
  HRESULT STDMETHODCALLTYPE UpdateUI() override;
  HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL enable) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL activate) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL activate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                         WINBOOL frame) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg, const GUID* group,
                                                 DWORD command) override;
  HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* target, IDropTarget** replacement) override;
  HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override;
  HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) override;
  HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* data, IDataObject** filtered) override;

 private:
  IUnknown* owner_;
};

}  // namespace qorva
