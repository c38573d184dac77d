#include "base/text.h"

#include <algorithm>
#include <bit>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qorva {

namespace {

// The replacement is longer: the result is built in a second string, in one pass.
size_t ReplaceGrowing(Text& text, TextView from, TextView to) {
  size_t pos = FindText(text, from);
  if (pos == Text::npos) return 0;
  Text out;
  out.reserve(text.size());
  size_t start = 0;
  size_t count = 0;
  while (pos != Text::npos) {
    out.append(text, start, pos - start);
    out.append(to);
    start = pos + from.size();
    ++count;
    pos = FindText(text, from, start);
  }
  out.append(text, start, Text::npos);
  text = std::move(out);
  return count;
}

}  // namespace

Text Widen(std::string_view latin1) {
  Text out;
  out.reserve(latin1.size());
  for (char c : latin1) out.push_back(static_cast<unsigned char>(c));
  return out;
}

Text FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed < 0) {
    va_end(args);
    return {};
  }
  std::vector<char> buffer(static_cast<size_t>(needed) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  va_end(args);
  return Widen(std::string_view(buffer.data(), static_cast<size_t>(needed)));
}

size_t ReplaceAll(Text& text, TextView from, TextView to) {
  if (from.empty()) return 0;
  if (to.size() > from.size()) return ReplaceGrowing(text, from, to);
  size_t hit = FindText(text, from);
  if (hit == Text::npos) return 0;
  size_t write = hit;
  size_t read = hit;
  size_t count = 0;
  while (hit != Text::npos) {
    if (hit != read) {
      std::copy(text.begin() + static_cast<std::ptrdiff_t>(read),
                text.begin() + static_cast<std::ptrdiff_t>(hit),
                text.begin() + static_cast<std::ptrdiff_t>(write));
      write += hit - read;
    }
    std::copy(to.begin(), to.end(), text.begin() + static_cast<std::ptrdiff_t>(write));
    write += to.size();
    read = hit + from.size();
    ++count;
    hit = FindText(text, from, read);
  }
  std::copy(text.begin() + static_cast<std::ptrdiff_t>(read), text.end(),
            text.begin() + static_cast<std::ptrdiff_t>(write));
  text.resize(write + (text.size() - read));
  return count;
}

size_t FindUnit(TextView text, size_t from, char16_t a, char16_t b) {
  const size_t n = text.size();
  const char16_t* units = text.data();
  size_t i = from;
#if defined(__SSE2__)
  const __m128i wantA = _mm_set1_epi16(static_cast<short>(a));
  const __m128i wantB = _mm_set1_epi16(static_cast<short>(b));
  for (; i + 8 <= n; i += 8) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
    __m128i hit = _mm_or_si128(_mm_cmpeq_epi16(block, wantA), _mm_cmpeq_epi16(block, wantB));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) return i + static_cast<size_t>(std::countr_zero(mask)) / 2;
  }
#endif
  for (; i < n; ++i) {
    if (units[i] == a || units[i] == b) return i;
  }
  return TextView::npos;
}

size_t FindText(TextView text, TextView what, size_t from) {
  const size_t m = what.size();
  if (m == 0) return from <= text.size() ? from : TextView::npos;
  if (m > text.size() || from > text.size() - m) return TextView::npos;
  const size_t last = text.size() - m;  // the last place a match can start
  const char16_t* units = text.data();
  auto matchesAt = [&](size_t pos) {
    return std::memcmp(units + pos, what.data(), m * sizeof(char16_t)) == 0;
  };
  size_t i = from;
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi16(static_cast<short>(what[0]));
  const __m128i lastUnit = _mm_set1_epi16(static_cast<short>(what[m - 1]));
  for (; i + 8 <= last + 1; i += 8) {
    __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
    __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i + m - 1));
    __m128i both = _mm_and_si128(_mm_cmpeq_epi16(starts, first), _mm_cmpeq_epi16(ends, lastUnit));
    // Packed to one mask bit per place.
    auto mask =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(both, _mm_setzero_si128())));
    for (; mask != 0; mask &= mask - 1) {
      size_t pos = i + static_cast<size_t>(std::countr_zero(mask));
      if (matchesAt(pos)) return pos;
    }
  }
#endif
  for (; i <= last; ++i) {
    if (units[i] == what[0] && matchesAt(i)) return i;
  }
  return TextView::npos;
}

char16_t ToLowerUnit(char16_t unit) {
  if (unit >= u'A' && unit <= u'Z') return static_cast<char16_t>(unit + 32);
  if (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7) return static_cast<char16_t>(unit + 32);
  return unit;
}

Text ToLower(TextView text) {
  Text out(text);
  for (char16_t& unit : out) unit = ToLowerUnit(unit);
  return out;
}

bool EqualsIgnoreCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToLowerUnit(a[i]) != ToLowerUnit(b[i])) return false;
  }
  return true;
}

bool IsWhiteSpace(char16_t unit) {
  switch (unit) {
    case u' ':
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
      return true;
    default:
      return unit >= 0x2000 && unit <= 0x200A;
  }
}

Text Trim(TextView text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsWhiteSpace(text[begin])) ++begin;
  while (end > begin && IsWhiteSpace(text[end - 1])) --end;
  return Text(text.substr(begin, end - begin));
}

std::string LowerAscii(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

bool EqualsAsciiIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace qorva
