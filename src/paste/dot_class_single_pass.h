// The "."-class inlining in one pass over the text, for the common case where every
// class attribute belongs to at most one entry and no entry's edits reach another's.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "paste/office_style_inliner.h"
#include "paste/office_style_map.h"

namespace qorva {

// Inlines every "."-class entry at once when that gives exactly what the entries give
// one after another, and returns true. Returns false and leaves `html` untouched when
// it cannot show that: two class attributes in one tag, a marker with no tag end
// after it, a declaration or a deletion that could form a new class attribute, or a
// class name that is not a plain name and might match.
bool InlineDotClassStylesInOnePass(Text& html, const COfficeStyleMap& map, DotDotDash dotDotDash,
                                   uint32_t officeLineFix);

}  // namespace qorva
