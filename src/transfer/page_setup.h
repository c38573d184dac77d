// The browser's per-user page-setup header and footer, which printing writes and the
// control puts back when it goes. The values are opaque text to us.
#pragma once

#include "base/text.h"
#include "platform/registry.h"

namespace qorva {

// Longest value read back: longer ones count as unreadable.
inline constexpr size_t kMaxPageSetupReadLength = 511;
// Longest text written; a longer one is cut to this, never in the middle of a character.
inline constexpr size_t kMaxPageSetupWriteLength = 1023;

// Replaces `header`, and then `footer`, with the stored values; a string whose value
// cannot be read stays as it was, and the footer is read only when the header was.
void ReadPageSetup(Registry& registry, Text& header, Text& footer);
// Writes `header` and then `footer` into the existing key, never creating it; the
// footer only when the header was written.
void WritePageSetup(Registry& registry, TextView header, TextView footer);

}  // namespace qorva
