#include "win32/activex/connection_point.h"

#include "win32/activex/com_ids.h"

namespace qorva {

CEventConnectionPoint::~CEventConnectionPoint() {
  for (auto& [cookie, sink] : sinks_) sink->Release();
}

void CEventConnectionPoint::Fire(DISPID dispid) {
  // A copy, so that a sink may unadvise while it is called.
  std::map<DWORD, IDispatch*> sinks = sinks_;
  for (auto& [cookie, sink] : sinks) sink->AddRef();
  for (auto& [cookie, sink] : sinks) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                 nullptr);
    sink->Release();
  }
}

HRESULT CEventConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT CEventConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = DIID__DqorvaeditorEvents;
  return S_OK;
}

HRESULT CEventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = container_;
  container_->AddRef();
  return S_OK;
}

HRESULT CEventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  IDispatch* dispatch = nullptr;
  if (FAILED(sink->QueryInterface(DIID__DqorvaeditorEvents, reinterpret_cast<void**>(&dispatch))) &&
      FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = ++lastCookie_;
  sinks_[*cookie] = dispatch;
  return S_OK;
}

HRESULT CEventConnectionPoint::Unadvise(DWORD cookie) {
  auto it = sinks_.find(cookie);
  if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
  IDispatch* sink = it->second;
  sinks_.erase(it);
  sink->Release();
  return S_OK;
}

HRESULT CEventConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return E_NOTIMPL;
}

}  // namespace qorva
