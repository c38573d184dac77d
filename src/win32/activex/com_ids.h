// The interface and class identities widl generates from the .idl.
#pragma once

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include "qorvaeditor_h.h"
