// The connection point of the event interface: sinks advise here and receive
// QORVA_Event_Loaded. It is a part of its container and lives as long as it does.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <map>
#include <span>

#include "win32/activex/com_object.h"
#include "win32/com_ptr.h"

namespace qorva {

class CEventConnectionPoint final : public ComPart<CEventConnectionPoint, IConnectionPoint> {
 public:
  explicit CEventConnectionPoint(IConnectionPointContainer* container)
      : ComPart(container), container_(container) {}

  static std::span<const InterfaceEntry<CEventConnectionPoint>> Interfaces();

  // Calls method `dispid` of every sink without arguments.
  void Fire(DISPID dispid);

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

 private:
  IConnectionPointContainer* container_;
  std::map<DWORD, ComPtr<IDispatch>> sinks_;
  DWORD lastCookie_ = 0;
};

}  // namespace qorva
