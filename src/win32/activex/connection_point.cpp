#include "win32/activex/connection_point.h"

#include "win32/activex/com_ids.h"

namespace qorva {

std::span<const InterfaceEntry<CEventConnectionPoint>> CEventConnectionPoint::Interfaces() {
  static constexpr InterfaceEntry<CEventConnectionPoint> kTable[] = {
      Entry<IConnectionPoint>(IID_IUnknown),
      Entry<IConnectionPoint>(IID_IConnectionPoint),
  };
  return kTable;
}

void CEventConnectionPoint::Fire(DISPID dispid) {
  // A copy, holding every sink, so that a sink may unadvise while it is called.
  std::map<DWORD, ComPtr<IDispatch>> sinks = sinks_;
  for (auto& [cookie, sink] : sinks) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                 nullptr);
  }
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
  return GuardComCall([&]() -> HRESULT {
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(DIID__DqorvaeditorEvents,
                                    reinterpret_cast<void**>(dispatch.ReleaseAndGetAddressOf()))) &&
        FAILED(sink->QueryInterface(IID_PPV_ARGS(dispatch.ReleaseAndGetAddressOf())))) {
      return CONNECT_E_CANNOTCONNECT;
    }
    sinks_[lastCookie_ + 1] = std::move(dispatch);
    *cookie = ++lastCookie_;
    return S_OK;
  });
}

HRESULT CEventConnectionPoint::Unadvise(DWORD cookie) {
  auto it = sinks_.find(cookie);
  if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
  // Out of the map before the sink's last reference goes, in case its Release calls back.
  ComPtr<IDispatch> sink = std::move(it->second);
  sinks_.erase(it);
  return S_OK;
}

HRESULT CEventConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return E_NOTIMPL;
}

}  // namespace qorva
