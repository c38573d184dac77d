// UTF-16 text, the control's one text type, and the small operations every part uses.
#pragma once

#include <string>
#include <string_view>

namespace qorva {

using Text = std::u16string;
using TextView = std::u16string_view;

// Widens ASCII (or any 8-bit text taken as Latin-1) unit by unit.
Text Widen(std::string_view latin1);

// printf-style formatting into UTF-16; the format and the result are ASCII.
Text FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces every occurrence of `from`, scanning left to right without rescanning
// inserted text; an empty `from` replaces nothing. Returns the number of replacements.
// A replacement no longer than what it replaces rewrites the text in place.
size_t ReplaceAll(Text& text, TextView from, TextView to);

// Index of the first unit at or after `from` that is `a` or `b`; npos when there is none.
// Eight units at a time: the clean-up passes look for "<" and for line breaks in
// texts of tens of megabytes.
size_t FindUnit(TextView text, size_t from, char16_t a, char16_t b);

// Index of the first occurrence of `what` at or after `from`, as TextView::find gives
// it. Eight places at a time, keeping only those whose first and last units both fit:
// the clean-up's patterns mostly start with "<", which is everywhere in HTML.
size_t FindText(TextView text, TextView what, size_t from = 0);

// Lower-cases A-Z and the Latin-1 capitals; other units are kept.
Text ToLower(TextView text);
char16_t ToLowerUnit(char16_t unit);

bool EqualsIgnoreCase(TextView a, TextView b);
// Compares 8-bit text with only A-Z and a-z taken as equal (protocol and header names).
bool EqualsAsciiIgnoreCase(std::string_view a, std::string_view b);

inline bool Contains(TextView text, TextView x) { return FindText(text, x) != TextView::npos; }
inline bool Contains(std::string_view bytes, std::string_view x) {
  return bytes.find(x) != std::string_view::npos;
}

// Lower-cases the ASCII capitals of 8-bit text (protocol names, file extensions).
std::string LowerAscii(std::string_view bytes);

// Removes white space (space, tab, line breaks, vertical tab, form feed and the
// Unicode spaces) from both ends.
Text Trim(TextView text);
bool IsWhiteSpace(char16_t unit);

}  // namespace qorva
