// Portable lookup into the module's string table.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

class System;

// The text of string resource `id`, or "" when there is none.
Text StringTableText(uint32_t id);

// The text of string resource `id` of the control's module, through the platform (the
// Windows module reads its STRINGTABLE; elsewhere the table compiled in).
Text LoadResourceText(const System& system, uint32_t id);

}  // namespace qorva
