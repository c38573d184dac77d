// Images that exist only as base64 text become files in the working folder.
#pragma once

#include <string>

#include "base/text.h"

namespace qorva {

class System;

// Base64 with the standard alphabet: other characters are skipped; each group of four
// gives three bytes, a group ending in "=" two and one ending in "==" one; a trailing
// group of fewer than four characters gives nothing.
std::string DecodeBase64(TextView text);

// Writes the decoded `base64` to a new file in the working folder named with a unique
// name and `extension` (lower-cased, "jpeg" becoming "jpg"). Returns its path, or ""
// when the extension cannot be part of a file name or the file cannot be written.
Text SaveBase64Image(System& system, TextView base64, TextView extension);

}  // namespace qorva
