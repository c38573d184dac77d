// Instantiates the GUIDs the type library's header declares, once for the module.
#include <initguid.h>
#include <windows.h>

#include "win32/activex/com_ids.h"
