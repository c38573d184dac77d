// The byte classes shared by the MIME codecs and the header parser. Bytes from 0x80 up
// belong to no class.
#pragma once

#include <array>
#include <cstdint>

namespace qorva {

namespace mime_detail {

enum : uint8_t {
  kClassWhiteSpace = 1,
  kClassAlnum = 2,
  kClassSpecial = 4,
  kClassHexDigit = 8,
};

constexpr std::array<uint8_t, 256> BuildClassTable() {
  std::array<uint8_t, 256> table{};
  for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) table[c] |= kClassWhiteSpace;
  for (int c = 'A'; c <= 'Z'; ++c) table[c] |= kClassAlnum;
  for (int c = 'a'; c <= 'z'; ++c) table[c] |= kClassAlnum;
  for (int c = '0'; c <= '9'; ++c) table[c] |= kClassAlnum | kClassHexDigit;
  for (int c = 'A'; c <= 'F'; ++c) table[c] |= kClassHexDigit;
  for (unsigned char c : {'"', '(', ')', ',', '.', ':', ';', '<', '=', '>', '@', '[', '\\', ']'}) {
    table[c] |= kClassSpecial;
  }
  return table;
}

inline constexpr std::array<uint8_t, 256> kClassTable = BuildClassTable();

}  // namespace mime_detail

// SPACE, HT, LF, VT, FF and CR.
constexpr bool IsMimeWhiteSpace(unsigned char c) {
  return mime_detail::kClassTable[c] & mime_detail::kClassWhiteSpace;
}
constexpr bool IsMimeAlnum(unsigned char c) {
  return mime_detail::kClassTable[c] & mime_detail::kClassAlnum;
}
// The double quote and ( ) , . : ; < = > @ [ \ ].
constexpr bool IsMimeSpecial(unsigned char c) {
  return mime_detail::kClassTable[c] & mime_detail::kClassSpecial;
}
// 0-9 and A-F; lower-case letters are not hex digits here.
constexpr bool IsMimeHexDigit(unsigned char c) {
  return mime_detail::kClassTable[c] & mime_detail::kClassHexDigit;
}

}  // namespace qorva
