#include "mime/mime_codecs.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "mime/mime_char_classes.h"

namespace qorva {

namespace {

constexpr size_t kMaxLine = 76;
constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHexDigits[] = "0123456789ABCDEF";

constexpr uint8_t kB64Skip = 0x40;  // CR and LF
constexpr uint8_t kB64Stop = 0x80;  // everything outside the alphabet

constexpr std::array<uint8_t, 256> BuildBase64Values() {
  std::array<uint8_t, 256> table{};
  for (auto& value : table) value = kB64Stop;
  for (uint8_t i = 0; i < 64; ++i) table[static_cast<unsigned char>(kBase64Alphabet[i])] = i;
  table['\r'] = kB64Skip;
  table['\n'] = kB64Skip;
  return table;
}
constexpr std::array<uint8_t, 256> kBase64Values = BuildBase64Values();

inline unsigned char At(std::string_view bytes, size_t i) {
  return static_cast<unsigned char>(bytes[i]);
}

inline void EncodeGroup(const unsigned char* in, char* out) {
  uint32_t v = (uint32_t{in[0]} << 16) | (uint32_t{in[1]} << 8) | in[2];
  out[0] = kBase64Alphabet[v >> 18];
  out[1] = kBase64Alphabet[(v >> 12) & 63];
  out[2] = kBase64Alphabet[(v >> 6) & 63];
  out[3] = kBase64Alphabet[v & 63];
}

// The last one or two bytes, completed with "=".
inline void EncodeTail(const unsigned char* in, size_t count, char* out) {
  uint32_t v = uint32_t{in[0]} << 16;
  if (count == 2) v |= uint32_t{in[1]} << 8;
  out[0] = kBase64Alphabet[v >> 18];
  out[1] = kBase64Alphabet[(v >> 12) & 63];
  out[2] = count == 2 ? kBase64Alphabet[(v >> 6) & 63] : '=';
  out[3] = '=';
}

size_t Base64TextSize(size_t n) { return (n + 2) / 3 * 4; }

// The exact size of the encoded text, so that the unchecked path can be taken when it fits.
size_t Base64ExactSize(size_t n, bool lineBreaks) {
  size_t chars = Base64TextSize(n);
  if (!lineBreaks) return chars;
  return chars + (chars + kMaxLine - 1) / kMaxLine * 2;
}

size_t Base64EncodeFast(std::string_view input, char* out, bool lineBreaks) {
  const auto* in = reinterpret_cast<const unsigned char*>(input.data());
  size_t n = input.size();
  char* o = out;
  if (lineBreaks) {
    constexpr size_t kLineInput = kMaxLine / 4 * 3;  // 57 bytes make one full line
    while (n >= kLineInput) {
      for (size_t g = 0; g < kLineInput; g += 3, o += 4) EncodeGroup(in + g, o);
      *o++ = '\r';
      *o++ = '\n';
      in += kLineInput;
      n -= kLineInput;
    }
  }
  for (; n >= 3; n -= 3, in += 3, o += 4) EncodeGroup(in, o);
  if (n > 0) {
    EncodeTail(in, n, o);
    o += 4;
  }
  if (lineBreaks && o > out && o[-1] != '\n') {
    *o++ = '\r';
    *o++ = '\n';
  }
  return static_cast<size_t>(o - out);
}

// Group by group with room checks, for callers that give less room than needed.
size_t Base64EncodeChecked(std::string_view input, char* out, size_t capacity, bool lineBreaks) {
  const auto* in = reinterpret_cast<const unsigned char*>(input.data());
  size_t n = input.size();
  size_t o = 0;
  size_t column = 0;
  for (size_t i = 0; i < n; i += 3) {
    if (capacity - o < 4) return o;
    if (n - i >= 3) {
      EncodeGroup(in + i, out + o);
    } else {
      EncodeTail(in + i, n - i, out + o);
    }
    o += 4;
    column += 4;
    if (lineBreaks && column == kMaxLine) {
      if (capacity - o < 2) return o;
      out[o++] = '\r';
      out[o++] = '\n';
      column = 0;
    }
  }
  if (lineBreaks && column > 0 && capacity - o >= 2) {
    out[o++] = '\r';
    out[o++] = '\n';
  }
  return o;
}

}  // namespace

size_t CMimeCodeBase::CopyInto(char* out, size_t capacity) const {
  size_t n = std::min(input_.size(), capacity);
  if (n > 0) std::memcpy(out, input_.data(), n);
  return n;
}

size_t CMimeCodeBase::EncodeInto(char* out, size_t capacity) { return CopyInto(out, capacity); }

size_t CMimeCodeBase::DecodeInto(char* out, size_t capacity) { return CopyInto(out, capacity); }

std::string RunCodec(CMimeCodeBase& codec) {
  bool encoding = codec.IsEncoding();
  std::string out(encoding ? codec.EncodedSize() : codec.DecodedSize(), '\0');
  size_t written = encoding ? codec.EncodeInto(out.data(), out.size())
                            : codec.DecodeInto(out.data(), out.size());
  out.resize(written);
  return out;
}

// --- 7bit and 8bit

std::optional<size_t> CMimeCode7bit::EncodedSizeOfLength(size_t length) const {
  return length + length / kMaxLine * 4 + 4;
}

size_t CMimeCode7bit::EncodeInto(char* out, size_t capacity) {
  size_t o = 0;
  size_t column = 0;
  bool remembered = false;
  size_t breakAt = 0;
  for (size_t i = 0; i < input_.size(); ++i) {
    unsigned char c = At(input_, i);
    if (column >= kMaxLine && remembered && capacity - o >= 2) {
      // The bytes since the white space move right; the white space begins the new line.
      std::memmove(out + breakAt + 2, out + breakAt, o - breakAt);
      out[breakAt] = '\r';
      out[breakAt + 1] = '\n';
      o += 2;
      column = o - (breakAt + 2);
      remembered = false;
    }
    if (o >= capacity) break;
    out[o++] = static_cast<char>(c);
    if (c == '\r' || c == '\n') {
      column = 0;
      remembered = false;
      continue;
    }
    if (IsMimeWhiteSpace(c) && column > 0) {
      remembered = true;
      breakAt = o - 1;
    }
    ++column;
  }
  return o;
}

// --- quoted-printable

namespace {

// The bound for `escaped` bytes of text after escaping, with room for soft breaks.
size_t QpBoundOfEscaped(size_t escaped) { return escaped + escaped / 74 * 6; }

}  // namespace

size_t QpEncodedSize(std::string_view input) {
  size_t b = input.size();
  for (char c : input) {
    if (!IsMimeAlnum(static_cast<unsigned char>(c))) b += 2;
  }
  return QpBoundOfEscaped(b);
}

size_t CMimeCodeQP::EncodedSize() const { return QpEncodedSize(input_); }

std::optional<size_t> CMimeCodeQP::EncodedSizeOfLength(size_t length) const {
  return QpBoundOfEscaped(3 * length);
}

namespace {

enum QpKind : uint8_t { kQpLiteral, kQpEncoded, kQpBlank, kQpLineEnd, kQpDot };

// What the encoder writes for one byte away from a line's end: up to three bytes of text,
// stored as one 4-byte word, of which `width` count. `stop` says when the byte needs the
// general path: kQpStopAlways for a line end, kQpStopBeforeCr for a blank or a dot, which
// are written differently right before a line end.
constexpr uint8_t kQpStopAlways = 1;
constexpr uint8_t kQpStopBeforeCr = 2;

struct QpOutput {
  std::array<char, 4> text;
  uint8_t width;
  uint8_t stop;
  QpKind kind;
};

constexpr std::array<QpOutput, 256> BuildQpOutputs() {
  std::array<QpOutput, 256> outputs{};
  for (int c = 0; c < 256; ++c) {
    QpOutput& e = outputs[c];
    e.kind = c >= '!' && c <= '~' && c != '=' ? kQpLiteral : kQpEncoded;
    if (c == ' ' || c == '\t') e.kind = kQpBlank;
    if (c == '\r' || c == '\n') e.kind = kQpLineEnd;
    if (c == '.') e.kind = kQpDot;
    if (e.kind == kQpEncoded) {
      e.text = {'=', kHexDigits[c >> 4], kHexDigits[c & 15], 0};
      e.width = 3;
    } else {
      e.text = {static_cast<char>(c), 0, 0, 0};
      e.width = 1;
    }
    if (e.kind == kQpLineEnd) e.stop = kQpStopAlways;
    if (e.kind == kQpBlank || e.kind == kQpDot) e.stop = kQpStopBeforeCr;
  }
  return outputs;
}
constexpr std::array<QpOutput, 256> kQpOutputs = BuildQpOutputs();

}  // namespace

size_t CMimeCodeQP::EncodeInto(char* out, size_t capacity) {
  const auto* in = reinterpret_cast<const unsigned char*>(input_.data());
  const size_t n = input_.size();
  size_t o = 0;
  size_t column = 0;
  // A soft break never moves text written before this: set at a blank written by the
  // general path, so that a break it causes, or one right after it, leaves it in place.
  size_t unmovedBefore = 0;

  // Breaks the line before a byte `width` wide, the input's last when `last`.
  auto softBreak = [&](size_t width, bool last) {
    if (capacity - o < 3) return;
    // The break goes right after the last blank written inside this line (not at its
    // start), which stays at the end of the line; the rest moves to the next one, unless
    // it would leave no room there for the byte (and for the break after it, but for the
    // last byte).
    size_t from = std::max(o - std::min(column, o) + 1, unmovedBefore);
    size_t at = o;
    while (at > from && out[at - 1] != ' ' && out[at - 1] != '\t') --at;
    if (at > from && o - at + width < kMaxLine + (last ? 1 : 0)) {
      size_t moved = o - at;
      std::memmove(out + at + 3, out + at, moved);
      std::memcpy(out + at, "=\r\n", 3);
      column = moved;
    } else {
      std::memcpy(out + o, "=\r\n", 3);
      column = 0;
    }
    o += 3;
  };

  for (size_t i = 0; i < n; ++i) {
    // Mixed text changes kind every few bytes, so a branch on the kind mispredicts. Away
    // from a line's end, each byte is one table entry written whole, and the one test
    // (bitwise, not short-circuit) is rarely true.
    while (column + 3 < kMaxLine && i + 1 < n && capacity - o >= 4) {
      const QpOutput& e = kQpOutputs[in[i]];
      if (e.stop & (kQpStopAlways | static_cast<unsigned>(in[i + 1] == '\r') * kQpStopBeforeCr))
        break;
      std::memcpy(out + o, e.text.data(), 4);
      o += e.width;
      column += e.width;
      ++i;
    }
    if (i == n) break;
    unsigned char c = in[i];
    QpKind kind = kQpOutputs[c].kind;
    if (kind == kQpLineEnd) {
      // A full line takes its soft break even right before its line end.
      if (column + 1 >= kMaxLine) softBreak(1, false);
      if (o < capacity) out[o++] = static_cast<char>(c);
      column = 0;
      continue;
    }
    bool encode = kind == kQpEncoded;
    if (kind == kQpBlank) {
      encode = i + 1 == n || in[i + 1] == '\r';
      unmovedBefore = o;  // a blank that ends a full line breaks it where it stands
    } else if (kind == kQpDot) {
      // A line holding a single dot.
      encode = i >= 2 && i + 2 < n && in[i - 2] == '\r' && in[i - 1] == '\n' && in[i + 1] == '\r' &&
               in[i + 2] == '\n';
    }
    size_t width = encode ? 3 : 1;
    if (column + width >= kMaxLine) softBreak(width, i + 1 == n);
    if (encode && capacity - o >= 3) {
      out[o] = '=';
      out[o + 1] = kHexDigits[c >> 4];
      out[o + 2] = kHexDigits[c & 15];
      o += 3;
    } else if (!encode && o < capacity) {
      out[o++] = static_cast<char>(c);
    }
    column += width;
  }
  return o;
}

size_t QpDecode(std::string_view input, char* out, size_t capacity) {
  const char* in = input.data();
  const size_t n = input.size();
  size_t i = 0;
  size_t o = 0;
  while (i < n) {
    const void* found = std::memchr(in + i, '=', n - i);
    size_t span = found ? static_cast<size_t>(static_cast<const char*>(found) - (in + i)) : n - i;
    size_t copy = std::min(span, capacity - o);
    if (copy > 0) std::memcpy(out + o, in + i, copy);
    o += copy;
    if (copy < span) return o;
    i += span;
    if (!found) break;
    if (n - i < 3) break;  // "=" needs two more bytes
    unsigned char first = static_cast<unsigned char>(in[i + 1]);
    unsigned char second = static_cast<unsigned char>(in[i + 2]);
    if (IsMimeHexDigit(first)) {
      if (o >= capacity) return o;
      int high = first <= '9' ? first - '0' : first - 'A' + 10;
      int low = (second <= '9' ? second - 48 : second - 55) & 15;
      out[o++] = static_cast<char>(high * 16 + low);
      i += 3;
    } else if (first == '\r' && second == '\n') {
      i += 3;  // soft line break
    } else {
      if (o >= capacity) return o;
      out[o++] = static_cast<char>(first);
      i += 2;
    }
  }
  return o;
}

size_t CMimeCodeQP::DecodeInto(char* out, size_t capacity) {
  return QpDecode(input_, out, capacity);
}

// --- base64

std::optional<size_t> CMimeCodeBase64::EncodedSizeOfLength(size_t length) const {
  size_t size = Base64TextSize(length);
  if (lineBreaks_ == LineBreaks::kOn) size += size / kMaxLine * 2 + 2;
  return size;
}

size_t CMimeCodeBase64::EncodeBlockSize() const {
  constexpr size_t kLines = 1024;  // 57 KiB, which stays in the cache while it is encoded
  return lineBreaks_ == LineBreaks::kOn ? kLines * (kMaxLine / 4 * 3) : kLines * 48;
}

size_t CMimeCodeBase64::DecodedSize() const { return input_.size() * 3 / 4 + 2; }

size_t CMimeCodeBase64::EncodeInto(char* out, size_t capacity) {
  bool lineBreaks = lineBreaks_ == LineBreaks::kOn;
  if (capacity >= Base64ExactSize(input_.size(), lineBreaks)) {
    return Base64EncodeFast(input_, out, lineBreaks);
  }
  return Base64EncodeChecked(input_, out, capacity, lineBreaks);
}

size_t Base64Decode(std::string_view input, char* out, size_t capacity) {
  const auto* in = reinterpret_cast<const unsigned char*>(input.data());
  const size_t n = input.size();
  size_t i = 0;
  size_t o = 0;
  uint32_t bits = 0;
  int count = 0;  // sextets held in `bits`
  while (i < n) {
    if (count == 0) {
      // Whole groups of four alphabet bytes, the common case between line breaks.
      while (n - i >= 4 && capacity - o >= 3) {
        uint8_t a = kBase64Values[in[i]];
        uint8_t b = kBase64Values[in[i + 1]];
        uint8_t c = kBase64Values[in[i + 2]];
        uint8_t d = kBase64Values[in[i + 3]];
        if ((a | b | c | d) & (kB64Skip | kB64Stop)) break;
        uint32_t v = (uint32_t{a} << 18) | (uint32_t{b} << 12) | (uint32_t{c} << 6) | d;
        out[o] = static_cast<char>(v >> 16);
        out[o + 1] = static_cast<char>(v >> 8);
        out[o + 2] = static_cast<char>(v);
        o += 3;
        i += 4;
      }
      if (i >= n) break;
    }
    uint8_t value = kBase64Values[in[i++]];
    if (value == kB64Skip) continue;
    if (value == kB64Stop) break;
    bits = (bits << 6) | value;
    if (++count == 4) {
      if (capacity - o < 3) return o;
      out[o] = static_cast<char>(bits >> 16);
      out[o + 1] = static_cast<char>(bits >> 8);
      out[o + 2] = static_cast<char>(bits);
      o += 3;
      bits = 0;
      count = 0;
    }
  }
  // The completed bytes of a partial group.
  if (count >= 2 && o < capacity) out[o++] = static_cast<char>(bits >> (count * 6 - 8));
  if (count == 3 && o < capacity) out[o++] = static_cast<char>(bits >> 2);
  return o;
}

size_t CMimeCodeBase64::DecodeInto(char* out, size_t capacity) {
  return Base64Decode(input_, out, capacity);
}

}  // namespace qorva
