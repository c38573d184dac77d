// The browser security settings the control changes for the current user: trusted
// sites, and programmatic clipboard access (URL action "1407") of the trusted-sites and
// internet zones while a control runs. Registry failures are silent.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

class Registry;

// Maps `domain` (taken as it is; a "\" makes a deeper key) to the trusted-sites zone
// for any protocol, unless a mapping for it exists already.
void AddTrustedSite(Registry& registry, TextView domain);

// The values of URL action "1407" found before the control changed them.
struct SavedZoneActions {
  uint32_t internet = 1;
  uint32_t trusted = 1;
};

enum class ZoneActionStep { kApply, kRestore };

// kApply saves the current values into `saved` and enables clipboard access in both
// zones; kRestore writes the saved values back.
void ApplyClipboardZoneAction(Registry& registry, SavedZoneActions& saved, ZoneActionStep step);

}  // namespace qorva
