// Text and the Win32 wide strings are both UTF-16; these only change the unit type.
#pragma once

#include <string>

#include "base/text.h"

namespace qorva {

inline std::wstring Wide(TextView text) { return std::wstring(text.begin(), text.end()); }
inline Text FromWide(std::wstring_view text) { return Text(text.begin(), text.end()); }
inline Text FromWide(const wchar_t* text) {
  return text ? FromWide(std::wstring_view(text)) : Text();
}

}  // namespace qorva
