// The few text operations the clean-up passes are written in: case-sensitive plain
// searches, and the last occurrence found by searching again past each hit.
#pragma once

#include "support/text.h"

namespace qorva {

// Index of the last non-overlapping occurrence of `x`, found by searching again from
// each hit plus the length of `x`; npos when there is none.
size_t LastOccurrence(TextView text, TextView x);

bool Contains(TextView text, TextView x);

// Deletes every occurrence of `x`, left to right, without rescanning.
inline void DeleteAll(Text& text, TextView x) { ReplaceAll(text, x, u""); }

// A unit that continues a class name: a letter, digit, "-", "_" or any non-ASCII unit.
bool IsClassNameUnit(char16_t unit);

// White space that separates attributes in a tag.
inline bool IsTagSpace(char16_t unit) {
  return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n' || unit == u'\f';
}

}  // namespace qorva
