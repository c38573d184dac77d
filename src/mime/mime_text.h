// The MIME text the control exchanges with page script is UTF-16; the messages are bytes
// in the system's ANSI code page. Every ANSI code page maps ASCII to itself, so text
// that is all ASCII (base64 and quoted-printable messages are) is converted directly,
// without a second full-size copy on the way.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace qorva {

class System;

std::string AnsiBytesOf(const System& system, TextView text);
enum class UpToZero { kYes, kNo };
// With kYes the text ends at the first zero byte, as FromAnsi does; with kNo zero bytes
// become U+0000 and the text goes on.
Text TextOfAnsiBytes(const System& system, std::string_view bytes,
                     UpToZero upToZero = UpToZero::kYes);

// Widens `length` bytes stored in `text`'s own storage at byte offset `offset` (at least
// `length`) into the text itself, which then holds `length` units. This turns a message
// into text without a second copy. Returns false, text unchanged, when the bytes are
// not all ASCII.
bool WidenAsciiInPlace(Text& text, size_t offset, size_t length);

// Every LF that does not follow a CR gets one; CR LF and lone CR stay.
void NormaliseLineEnds(std::string& bytes);

}  // namespace qorva
