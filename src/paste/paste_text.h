// The few text operations the clean-up passes are written in: case-sensitive plain
// searches, and the last occurrence found by searching again past each hit.
#pragma once

#include <initializer_list>

#include "base/text.h"

namespace qorva {

// Index of the last non-overlapping occurrence of `x`, found by searching again from
// each hit plus the length of `x`; npos when there is none.
size_t LastOccurrence(TextView text, TextView x);

// Deletes every occurrence of `x`, left to right, without rescanning.
inline void DeleteAll(Text& text, TextView x) { ReplaceAll(text, x, u""); }

// Deletes every unit that is one of `units`.
void DeleteUnits(Text& text, TextView units);

struct Replacement {
  TextView from;
  TextView to;
};
// Applies the replacements one after another, each to the whole text as ReplaceAll does.
// One scan up front finds which patterns occur at all, so that the many steps which
// find nothing cost nothing more.
void ReplaceInTurn(Text& text, std::initializer_list<Replacement> steps);

struct OpeningTag {
  Text tag;  // the whole opening tag, attributes included, or its bare start when unclosed
  Text end;  // the closing tag in the same letter case
  size_t at;
};

// The first "<NAME" in upper case or, without one, "<name" in lower case (npos in `at`
// when neither stands in `html`), taken up to its ">".
OpeningTag FindOpeningTag(TextView html, TextView upperName);

// A unit that continues a class name: a letter, digit, "-", "_" or any non-ASCII unit.
bool IsClassNameUnit(char16_t unit);

// White space that separates attributes in a tag.
inline bool IsTagSpace(char16_t unit) {
  return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n' || unit == u'\f';
}

}  // namespace qorva
