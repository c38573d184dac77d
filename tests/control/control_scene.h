// A control on in-memory ports, with the settings record reset for each test.
#pragma once

#include <optional>

#include "control/control_settings.h"
#include "control/dispatch_table.h"
#include "control/property_exchange.h"
#include "control/qorvaeditor_ctrl.h"
#include "mime/registry_content_types.h"
#include "platform/memory/memory_clipboard.h"
#include "platform/memory/memory_clock.h"
#include "platform/memory/memory_control_site.h"
#include "platform/memory/memory_http_client.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/scripted_user_interface.h"
#include "platform/native_image_codec.h"
#include "platform/native_system.h"
#include "platform/system.h"
#include "support/string_table.h"

namespace qorva {

// The native system port with a module version the test chooses.
class FixedSystem final : public System {
 public:
  std::optional<FileVersion> version = FileVersion{1, 0, 0, 116};

  std::optional<FileVersion> ModuleFileVersion() const override { return version; }
  Text LoadString(uint32_t id) const override { return StringTableText(id); }
  Guid NewGuid() override { return native_->NewGuid(); }
  std::string EncodeAnsi(TextView text) const override { return native_->EncodeAnsi(text); }
  Text DecodeAnsi(std::string_view bytes) const override { return native_->DecodeAnsi(bytes); }

 private:
  std::unique_ptr<System> native_ = CreateNativeSystem();
};

struct ControlScene {
  explicit ControlScene(Text hostUrl = {}) : site(std::move(hostUrl)) { ResetSettings(); }
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

  const ImageCodec& codec() const { return *imageCodec; }

  MemoryRegistry registry;
  ScriptedUserInterface ui;
  FixedSystem system;
  MemoryControlSite site;
  MemoryHttpClient http;
  std::unique_ptr<ImageCodec> imageCodec = CreateNativeImageCodec();
  MemoryClipboard clipboard{system};
  MemoryClock clock;
  RegistryContentTypes contentTypes{registry};
  CQorvaeditorCtrl control{
      Platform{registry, ui, system, site, http, *imageCodec, clipboard, clock, contentTypes}};
};

}  // namespace qorva
