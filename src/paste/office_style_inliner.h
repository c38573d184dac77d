// Turns the office style map's class rules into inline style attributes: the Word
// paragraph variant, the "."-class variant (Excel and type 5) and the quoted paragraph
// class variant (type 4). Entries are visited in the map's iteration order; the first
// that matches an element decides its style.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "paste/office_style_map.h"

namespace qorva {

enum class DotDotDash { kKeep, kToDotted };

// Hairline (and with kToDotted dot-dot-dash) borders become dotted; with the line fix
// set, the four "border-…:none;" declarations go.
void NormaliseLineStyles(Text& declarations, DotDotDash dotDotDash, uint32_t officeLineFix);

void InlineMsoParagraphStyles(Text& html, const COfficeStyleMap& map);
void InlineDotClassStyles(Text& html, const COfficeStyleMap& map, DotDotDash dotDotDash,
                          uint32_t officeLineFix);
void InlineQuotedClassStyles(Text& html, const COfficeStyleMap& map);

// The "."-class variant entry by entry, each entry one pass over the text. Gives the
// same text as InlineDotClassStyles, which takes a single pass when it can show that no
// entry's edits reach another's.
void InlineDotClassStylesByEntry(Text& html, const COfficeStyleMap& map, DotDotDash dotDotDash,
                                 uint32_t officeLineFix);

}  // namespace qorva
