// The module this code is linked into: the control's own file, not the host process. Its
// resources (strings, dialog templates) are read from it.
#pragma once

#include <windows.h>

namespace qorva {

HMODULE OwnModule();

}  // namespace qorva
