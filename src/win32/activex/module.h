// Module-wide state of the in-process server: its instance handle and the count of live
// objects and locks behind DllCanUnloadNow.
#pragma once

#include <windows.h>

#include "base/text.h"

namespace qorva {

HINSTANCE ModuleInstance();
Text ModuleFilePath();
void ModuleAddRef();
void ModuleRelease();
bool ModuleInUse();

}  // namespace qorva
