#include "win32/activex/doc_host_ui_handler.h"

#include "win32/activex/imp_idispatch.h"

namespace qorva {

namespace {

// No 3-D border, no scroll bars.
constexpr DWORD kHostFlags = 0x4 | 0x8;

}  // namespace

HRESULT CDocHostUIHandler::QueryInterface(REFIID iid, void** object) {
  return owner_->QueryInterface(iid, object);
}

ULONG CDocHostUIHandler::AddRef() { return owner_->AddRef(); }

ULONG CDocHostUIHandler::Release() { return owner_->Release(); }

HRESULT CDocHostUIHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_OK; }

HRESULT CDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* info) {
  if (!info) return E_POINTER;
  info->dwFlags |= kHostFlags;
  info->dwDoubleClick = 0;
  return S_OK;
}

HRESULT CDocHostUIHandler::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                  IOleInPlaceFrame*, IOleInPlaceUIWindow*) {
  return S_OK;
}

HRESULT CDocHostUIHandler::HideUI() { return S_OK; }

HRESULT CDocHostUIHandler::UpdateUI() { return S_OK; }

HRESULT CDocHostUIHandler::EnableModeless(WINBOOL) { return E_NOTIMPL; }

HRESULT CDocHostUIHandler::OnDocWindowActivate(WINBOOL) { return E_NOTIMPL; }

HRESULT CDocHostUIHandler::OnFrameWindowActivate(WINBOOL) { return E_NOTIMPL; }

HRESULT CDocHostUIHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) {
  return E_NOTIMPL;
}

HRESULT CDocHostUIHandler::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }

HRESULT CDocHostUIHandler::GetOptionKeyPath(LPOLESTR*, DWORD) { return E_NOTIMPL; }

HRESULT CDocHostUIHandler::GetDropTarget(IDropTarget*, IDropTarget**) { return E_NOTIMPL; }

HRESULT CDocHostUIHandler::GetExternal(IDispatch** external) {
  if (!external) return E_POINTER;
  CImpIDispatch& object = ModuleExternalObject();
  object.AddRef();
  *external = &object;
  return S_OK;
}

HRESULT CDocHostUIHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR*) { return E_NOTIMPL; }

HRESULT CDocHostUIHandler::FilterDataObject(IDataObject*, IDataObject**) { return E_NOTIMPL; }

}  // namespace qorva
