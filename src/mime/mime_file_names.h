// File names and local paths as the MIME encoder and decoder meet them in HTML.
#pragma once

#include "base/text.h"

namespace qorva {

// Every \ / : * ? " < > | becomes "_".
Text SanitizeFileName(TextView name);

// A name taken from a message, reduced so that it names one file directly inside a
// folder on every platform: SanitizeFileName, control characters become "_", trailing
// dots and spaces go and device names (CON, NUL, COM1 ...) get a "_" in front. Empty
// when nothing usable is left (an empty name, "." or "..").
Text ReduceToFileName(TextView name);

// With "file:///": every one removed and "/" turned into "\"; otherwise, with "\": every
// "\" turned into "/" and "file:///" put in front; otherwise unchanged.
Text ToggleFileUrl(TextView text);

// True when a file exists at the text as a path, or at the text without "file:///".
bool IsExistingLocalFile(TextView text);

}  // namespace qorva
