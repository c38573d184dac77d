// Self-registration of the module: the registry entries of the control and its property
// page as data, applied through the registry port.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

class ComRegistrar;
class Registry;
class System;

inline constexpr uint32_t kRegistrationOk = 0;
inline constexpr uint32_t kSelfRegTypeLibFailed = 0x80040200;  // SELFREG_E_TYPELIB
inline constexpr uint32_t kSelfRegClassFailed = 0x80040201;    // SELFREG_E_CLASS

// The status bits of the control: recompose on resize, can't link inside, inside-out,
// activate when visible, set client site first.
inline constexpr uint32_t kControlMiscStatus = 0x20191;

inline constexpr TextView kLockdownFeatureKey =
    u"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_LOCALMACHINE_LOCKDOWN";

// Registers the type library, the classes and their categories, and relaxes the
// browser's local-machine lockdown on Vista and later. Returns a result code.
uint32_t RegisterServer(Registry& registry, ComRegistrar& registrar, const System& system);
// Removes the type library and the classes; categories and the feature value stay.
uint32_t UnregisterServer(Registry& registry, ComRegistrar& registrar);

}  // namespace qorva
