// Self-registration services on Windows: the embedded type library, the component
// category manager, the OS version and the browser's elevation policy.
#pragma once

#include "platform/com_registrar.h"

namespace qorva {

class Win32ComRegistrar final : public ComRegistrar {
 public:
  Text ModulePath() const override;
  bool RegisterTypeLibrary() override;
  bool UnregisterTypeLibrary(TextView libId, unsigned major, unsigned minor) override;
  bool CreateComponentCategory(TextView catId, uint32_t lcid, TextView description) override;
  bool RegisterClassImplementsCategory(TextView clsid, TextView catId) override;
  bool IsNtAboveVersion5() const override;
  void RefreshElevationPolicy() override;
};

}  // namespace qorva
