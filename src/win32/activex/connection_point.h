// The connection point of the event interface: sinks advise here and receive
// QORVA_Event_Loaded. Its lifetime is its container's, to which it forwards AddRef and
// Release.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <map>

namespace qorva {

class CEventConnectionPoint final : public IConnectionPoint {
 public:
  explicit CEventConnectionPoint(IConnectionPointContainer* container) : container_(container) {}
  ~CEventConnectionPoint();

  // Calls method `dispid` of every sink without arguments.
  void Fire(DISPID dispid);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return container_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return container_->Release(); }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

 private:
  IConnectionPointContainer* container_;
  std::map<DWORD, IDispatch*> sinks_;
  DWORD lastCookie_ = 0;
};

}  // namespace qorva
