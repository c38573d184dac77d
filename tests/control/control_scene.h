// A control on in-memory ports, with the settings record reset for each test.
#pragma once

#include <optional>

#include "control/control_settings.h"
#include "control/dispatch_table.h"
#include "control/property_exchange.h"
#include "control/qorvaeditor_ctrl.h"
#include "platform/memory/memory_platform.h"

namespace qorva {

struct ControlScene {
  // The command's local user calls the control unless the scene plays a page.
  explicit ControlScene(Text hostUrl = {}, ScriptCaller caller = ScriptCaller::kLocalUser)
      : platform(PortSource::kMemory, std::move(hostUrl)), control(CalledBy(platform, caller)) {
    ResetSettings();
    system.version = FileVersion{1, 0, 0, 116};
  }
  ~ControlScene() { ResetSettings(); }

  void Load(ParameterListExchange::Parameters parameters = {}) {
    ParameterListExchange exchange(ExchangeDirection::kLoad, std::move(parameters));
    control.ExchangeParameters(exchange);
  }

  InvokeResult Call(std::u16string_view name, std::vector<Variant> args = {},
                    uint16_t flags = kInvokeMethod) {
    const DispatchEntry* entry = FindDispatchEntry(name);
    if (!entry) return {DispatchStatus::kUnknownName, {}};
    return Invoke(control, entry->id, flags, args);
  }
  Variant Get(std::u16string_view name) { return Call(name, {}, kInvokePropertyGet).value; }
  DispatchStatus Put(std::u16string_view name, Variant value) {
    return Call(name, {std::move(value)}, kInvokePropertyPut).status;
  }

  const ImageCodec& codec() const { return platform.codec(); }

  static Platform CalledBy(MemoryPlatform& platform, ScriptCaller caller) {
    Platform ports = platform.ports();
    ports.caller = caller;
    return ports;
  }

  MemoryPlatform platform;
  MemoryRegistry& registry = platform.registry;
  ScriptedUserInterface& ui = platform.userInterface;
  MemorySystem& system = platform.system;
  MemoryControlSite& site = platform.site;
  MemoryHttpClient& http = platform.http;
  MemoryClipboard& clipboard = platform.clipboard;
  MemoryClock& clock = platform.clock;
  CQorvaeditorCtrl control{platform.ports()};
};

}  // namespace qorva
