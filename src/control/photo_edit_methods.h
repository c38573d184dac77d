// The screen capture scripting method: the photo editor over the control's settings,
// giving the element of the picture the user inserted.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

class CQorvaeditorCtrl;

// The argument is accepted and not used. "" when the user closes the editor without
// inserting (or the platform has no editor to show).
Text SetScreenCapture(CQorvaeditorCtrl& control, int32_t nAutoParam);

}  // namespace qorva
