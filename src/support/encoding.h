// Conversions between UTF-16 text and the two byte encodings the control writes:
// UTF-8 and the system's ANSI code page.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"

namespace qorva {

class System;

// UTF-8 bytes of `text`; a lone surrogate becomes U+FFFD.
std::string ToUtf8(TextView text);
// The UTF-8 bytes of `text` handed to `write` piece by piece, as ToUtf8 would give them
// whole: a large text goes out without a second full-size copy.
void WriteUtf8(TextView text, const std::function<void(std::string_view)>& write);
// Text from UTF-8 bytes, which end at the first zero byte; a malformed sequence
// becomes U+FFFD.
Text FromUtf8(std::string_view bytes);

// Whether every byte is ASCII.
bool IsAscii(std::string_view bytes);
// The bytes of a text that is all ASCII, in one pass; none when a unit is not ASCII.
std::optional<std::string> AsciiBytes(TextView text);

// The text in the system ANSI code page; unmappable characters become the code page's
// default character.
std::string ToAnsi(const System& system, TextView text);
// Text from bytes in the system ANSI code page, which end at the first zero byte.
Text FromAnsi(const System& system, std::string_view bytes);

}  // namespace qorva
