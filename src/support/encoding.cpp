#include "support/encoding.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "platform/system.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qorva {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::string_view UpToZero(std::string_view bytes) {
  size_t zero = bytes.find('\0');
  return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

// Length of the well-formed UTF-8 sequence at `pos` and its code point, or 0 when
// the bytes there do not start one (overlong forms and surrogates included).
size_t DecodeUtf8At(std::string_view bytes, size_t pos, char32_t& cp) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  unsigned char lead = byte(pos);
  size_t length;
  char32_t min;
  if (lead < 0x80) {
    cp = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, cp = lead & 0x07;
  } else {
    return 0;
  }
  if (pos + length > bytes.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    unsigned char next = byte(pos + i);
    if ((next & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

// Whole documents go through these two conversions, and they are mostly ASCII: sixteen
// units are copied at a time, stopping at the first that is not ASCII, and that one goes
// code point by code point. A block is stored whole even when only its start is ASCII;
// the caller guarantees room for it, and the rest is overwritten.
#if defined(__SSE2__)
// Narrows the ASCII units at the start of [in, in + n) into `out`; returns how many.
size_t NarrowAsciiRun(const char16_t* in, size_t n, char* out) {
  size_t i = 0;
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= n; i += 16) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
    __m128i ascii = _mm_packs_epi16(_mm_cmpeq_epi16(_mm_and_si128(a, high), zero),
                                    _mm_cmpeq_epi16(_mm_and_si128(b, high), zero));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(ascii));
    if (mask != 0xFFFF) return i + static_cast<size_t>(std::countr_one(mask));
  }
  for (; i < n && in[i] < 0x80; ++i) out[i] = static_cast<char>(in[i]);
  return i;
}

// Widens the ASCII bytes at the start of [in, in + n) into `out`; returns how many.
size_t WidenAsciiRun(const char* in, size_t n, char16_t* out) {
  size_t i = 0;
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= n; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(v, zero));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(v));
    if (mask != 0) return i + static_cast<size_t>(std::countr_zero(mask));
  }
  for (; i < n && static_cast<unsigned char>(in[i]) < 0x80; ++i) {
    out[i] = static_cast<char16_t>(in[i]);
  }
  return i;
}
#else
size_t NarrowAsciiRun(const char16_t* in, size_t n, char* out) {
  size_t i = 0;
  for (; i < n && in[i] < 0x80; ++i) out[i] = static_cast<char>(in[i]);
  return i;
}

size_t WidenAsciiRun(const char* in, size_t n, char16_t* out) {
  size_t i = 0;
  for (; i < n && static_cast<unsigned char>(in[i]) < 0x80; ++i) {
    out[i] = static_cast<char16_t>(in[i]);
  }
  return i;
}
#endif

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The UTF-8 length of `text`, a lone surrogate counted as U+FFFD: every unit counts 1, 2
// or 3 bytes, and a surrogate pair, counted 3 + 3, takes 4.
size_t Utf8Length(TextView text) {
  const char16_t* units = text.data();
  const size_t n = text.size();
  size_t length = n;
  size_t surrogates = 0;
  size_t i = 0;
#if defined(__SSE2__)
  // The compiler's own vectorisation of the loop below widens every count to 64 bits.
  // Counting in 16-bit lanes and widening once per block is about three times faster.
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi16(1);
  const __m128i last1 = _mm_set1_epi16(0x7F);
  const __m128i last2 = _mm_set1_epi16(0x7FF);
  const __m128i surrogateMask = _mm_set1_epi16(static_cast<short>(0xF800));
  const __m128i surrogateBits = _mm_set1_epi16(static_cast<short>(0xD800));
  auto sumLanes = [&](__m128i lanes) {
    alignas(16) int32_t sums[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(sums), _mm_madd_epi16(lanes, ones));
    return static_cast<int64_t>(sums[0]) + sums[1] + sums[2] + sums[3];
  };
  while (n - i >= 8) {
    // A lane falls by at most 2 a step: 8192 steps stay within 16 bits. Each of the eight
    // units of a step counts 2 extra bytes, less one per limit it falls below.
    const size_t steps = std::min((n - i) / 8, size_t{8192});
    __m128i shorter = zero;  // -1 per unit below 0x80, and -1 per unit below 0x800
    __m128i paired = zero;   // +1 per surrogate
    for (size_t step = 0; step < steps; ++step, i += 8) {
      __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
      shorter = _mm_add_epi16(shorter, _mm_cmpeq_epi16(_mm_subs_epu16(block, last1), zero));
      shorter = _mm_add_epi16(shorter, _mm_cmpeq_epi16(_mm_subs_epu16(block, last2), zero));
      paired = _mm_sub_epi16(paired,
                             _mm_cmpeq_epi16(_mm_and_si128(block, surrogateMask), surrogateBits));
    }
    length += static_cast<size_t>(static_cast<int64_t>(steps * 16) + sumLanes(shorter));
    surrogates += static_cast<size_t>(sumLanes(paired));
  }
#endif
  for (; i < n; ++i) {
    length += static_cast<size_t>(units[i] >= 0x80) + static_cast<size_t>(units[i] >= 0x800);
    surrogates += static_cast<size_t>((units[i] & 0xF800) == 0xD800);
  }
  if (surrogates == 0) return length;
  size_t pairs = 0;
  for (size_t j = 0; j + 1 < n; ++j) {
    pairs += static_cast<size_t>(IsHighSurrogate(units[j])) &
             static_cast<size_t>(IsLowSurrogate(units[j + 1]));
  }
  return length - 2 * pairs;
}

char* PutUtf8(char* out, char32_t cp) {
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | (cp >> 6));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (cp >> 12));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (cp >> 18));
    *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

char16_t* PutUtf16(char16_t* out, char32_t cp) {
  if (cp < 0x10000) {
    *out++ = static_cast<char16_t>(cp);
    return out;
  }
  cp -= 0x10000;
  *out++ = static_cast<char16_t>(0xD800 + (cp >> 10));
  *out++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  return out;
}

}  // namespace

namespace {

// Writes the UTF-8 form of `text` to `out`, which has room for Utf8Length(text) bytes.
void EncodeUtf8Into(TextView text, char* out) {
  const size_t n = text.size();
  char* put = out;
  size_t i = 0;
  while (i < n) {
    size_t ascii = NarrowAsciiRun(text.data() + i, n - i, put);
    i += ascii;
    put += ascii;
    if (i == n) break;
    char32_t unit = text[i];
    if (IsHighSurrogate(text[i]) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
      put = PutUtf8(put, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      i += 2;
    } else {
      put = PutUtf8(put, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
      ++i;
    }
  }
}

}  // namespace

std::string ToUtf8(TextView text) {
  std::string out(Utf8Length(text), '\0');
  EncodeUtf8Into(text, out.data());
  return out;
}

void WriteUtf8(TextView text, const std::function<void(std::string_view)>& write) {
  constexpr size_t kChunkUnits = size_t{32} * 1024;
  std::string buffer;
  while (!text.empty()) {
    size_t units = std::min(text.size(), kChunkUnits);
    // A surrogate pair stays in one chunk; a lone one converts the same in either.
    if (units < text.size() && IsHighSurrogate(text[units - 1])) --units;
    TextView chunk = text.substr(0, units);
    buffer.resize(Utf8Length(chunk));
    EncodeUtf8Into(chunk, buffer.data());
    write(buffer);
    text.remove_prefix(units);
  }
}

Text FromUtf8(std::string_view bytes) {
  bytes = UpToZero(bytes);
  const size_t n = bytes.size();
  // Never more units than bytes.
  Text out(n, u'\0');
  char16_t* put = out.data();
  size_t pos = 0;
  while (pos < n) {
    size_t ascii = WidenAsciiRun(bytes.data() + pos, n - pos, put);
    pos += ascii;
    put += ascii;
    if (pos == n) break;
    char32_t cp = 0;
    size_t length = DecodeUtf8At(bytes, pos, cp);
    if (length == 0) {
      put = PutUtf16(put, kReplacement);
      ++pos;
      continue;
    }
    put = PutUtf16(put, cp);
    pos += length;
  }
  const size_t units = static_cast<size_t>(put - out.data());
  out.resize(units);
  // Mostly non-ASCII text leaves much of the storage unused: give it back.
  if (units < n / 2) out.shrink_to_fit();
  return out;
}

bool IsAscii(std::string_view bytes) {
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= bytes.size(); i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
    if (_mm_movemask_epi8(v) != 0) return false;
  }
#endif
  for (; i < bytes.size(); ++i) {
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
  }
  return true;
}

std::optional<std::string> AsciiBytes(TextView text) {
  std::string bytes(text.size(), '\0');
  if (NarrowAsciiRun(text.data(), text.size(), bytes.data()) != text.size()) return std::nullopt;
  return bytes;
}

std::string ToAnsi(const System& system, TextView text) { return system.EncodeAnsi(text); }

Text FromAnsi(const System& system, std::string_view bytes) {
  return system.DecodeAnsi(UpToZero(bytes));
}

}  // namespace qorva
