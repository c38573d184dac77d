// The object element's parameters, each written once: its name, the control member that
// holds it, its default, its dispatch id as a scripting property, and how it reaches the
// process-wide settings record. The parameter exchange, the dispatch table and the
// settings derivation all read this table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "base/text.h"
#include "control/dispatch_table.h"

namespace qorva {

class CQorvaeditorCtrl;
class PropertyExchange;
struct ControlSettings;

// What the settings derivation knows besides the parameters: facts read from the
// platform before the record is locked.
struct SettingsInputs {
  std::optional<bool> driveCRestricted;  // read only when an initial folder is given
};

// The dispatch id of a parameter that is no scripting property.
inline constexpr int32_t kNoDispatchId = 0;

struct ControlParameter {
  std::string_view name;
  int32_t dispatchId;
  ValueType type;
  std::u16string_view textDefault;  // of a text parameter
  int64_t numberDefault = 0;        // of a number parameter
  // Loads the member (or its default) from the exchange, or saves it there.
  void (*exchange)(CQorvaeditorCtrl&, PropertyExchange&, const ControlParameter&) = nullptr;
  // The scripting property: the member itself, or the control's accessor functions.
  PropertyGetter get = nullptr;
  PropertySetter put = nullptr;
  // Carries the value into the settings record; null when the record does not take it.
  void (*toSettings)(const CQorvaeditorCtrl&, const SettingsInputs&, ControlSettings&) = nullptr;
};

// Every parameter, in the order the exchange reads and writes them.
std::span<const ControlParameter> ControlParameters();

}  // namespace qorva
