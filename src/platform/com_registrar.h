// What self-registration asks of the platform besides registry keys: the type library,
// the component category manager, the OS version and the browser's elevation policy.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

class ComRegistrar {
 public:
  virtual ~ComRegistrar() = default;

  // The full path of the control's module file.
  virtual Text ModulePath() const = 0;
  // Registers the type library embedded in the module.
  virtual bool RegisterTypeLibrary() = 0;
  virtual bool UnregisterTypeLibrary(TextView libId, unsigned major, unsigned minor) = 0;
  // Creates a component category with its description in one locale.
  virtual bool CreateComponentCategory(TextView catId, uint32_t lcid, TextView description) = 0;
  virtual bool RegisterClassImplementsCategory(TextView clsid, TextView catId) = 0;
  // True on the NT family with a major version above 5 (Vista and later).
  virtual bool IsNtAboveVersion5() const = 0;
  // Asks the browser to reload its elevation policy; failures are silent.
  virtual void RefreshElevationPolicy() = 0;
};

}  // namespace qorva
