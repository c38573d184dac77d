#include "mime/mime_text.h"

#include <algorithm>
#include <cstring>

#include "support/encoding.h"

namespace qorva {

std::string AnsiBytesOf(const System& system, TextView text) {
  std::optional<std::string> ascii = AsciiBytes(text);
  return ascii ? std::move(*ascii) : ToAnsi(system, text);
}

Text TextOfAnsiBytes(const System& system, std::string_view bytes, UpToZero upToZero) {
  if (upToZero == UpToZero::kYes) bytes = bytes.substr(0, bytes.find('\0'));
  if (IsAscii(bytes)) return Text(bytes.begin(), bytes.end());
  if (upToZero == UpToZero::kYes) return FromAnsi(system, bytes);
  // FromAnsi stops at a zero byte: convert the runs between them one by one.
  Text text;
  size_t start = 0;
  while (start <= bytes.size()) {
    size_t zero = bytes.find('\0', start);
    size_t end = zero == std::string_view::npos ? bytes.size() : zero;
    text += FromAnsi(system, bytes.substr(start, end - start));
    if (zero == std::string_view::npos) break;
    text.push_back(u'\0');
    start = zero + 1;
  }
  return text;
}

bool WidenAsciiInPlace(Text& text, size_t offset, size_t length) {
  char* storage = reinterpret_cast<char*>(text.data());
  if (length > offset || offset + length > text.size() * sizeof(char16_t)) return false;
  std::string_view bytes(storage + offset, length);
  if (!IsAscii(bytes)) return false;
  // Unit i takes bytes 2i and 2i+1, which lie at or before byte offset+i: every byte is
  // read before its place is written.
  for (size_t i = 0; i < length; ++i) {
    char16_t unit = static_cast<unsigned char>(storage[offset + i]);
    std::memcpy(storage + 2 * i, &unit, sizeof unit);
  }
  text.resize(length);
  return true;
}

void NormaliseLineEnds(std::string& bytes) {
  // Counted line by line with memchr: a message is mostly long lines that end in CR LF.
  size_t bare = 0;
  const char* const begin = bytes.data();
  const char* const end = begin + bytes.size();
  for (const char* lf = begin;
       (lf = static_cast<const char*>(std::memchr(lf, '\n', static_cast<size_t>(end - lf))));
       ++lf) {
    if (lf == begin || lf[-1] != '\r') ++bare;
  }
  if (bare == 0) return;
  std::string out;
  out.reserve(bytes.size() + bare);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) out.push_back('\r');
    out.push_back(bytes[i]);
  }
  bytes = std::move(out);
}

}  // namespace qorva
