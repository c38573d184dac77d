#include <algorithm>
#include <cstring>

#include "mime/mime_char_classes.h"
#include "mime/mime_codecs.h"

namespace qorva {

namespace {

// Longest encoded text of one word: the words stay within 75 bytes, as RFC 2047 asks.
constexpr size_t kWordText = 68;

size_t Find(std::string_view text, std::string_view what, size_t from) {
  return from > text.size() ? std::string_view::npos : text.find(what, from);
}

bool IsQLiteral(unsigned char c) {
  return c >= '!' && c <= '~' && c != '=' && c != '?' && c != '_';
}

}  // namespace

size_t CMimeEncodedWord::EncodedSize() const {
  if (input_.empty()) return 0;
  size_t m = charset_.size();
  if (m == 0) return input_.size();
  size_t e = letter_ == 'B' ? (input_.size() + 2) / 3 * 4 : QpEncodedSize(input_);
  // Charsets this long leave no room in a word; the bound then counts a word per form.
  size_t perWord = m < 64 ? 64 - m : 1;
  return e + (m + 11) * (e / perWord + 1);
}

size_t CMimeEncodedWord::EncodeInto(char* out, size_t capacity) {
  if (input_.empty()) return 0;
  if (charset_.empty()) return CopyInto(out, capacity);
  return letter_ == 'B' ? EncodeB(out, capacity) : EncodeQ(out, capacity);
}

size_t CMimeEncodedWord::EncodeB(char* out, size_t capacity) const {
  const size_t m = charset_.size();
  const size_t groups = m + 4 <= kWordText ? (kWordText - m) / 4 : 1;
  const size_t chunk = std::max<size_t>(groups, 1) * 3;
  size_t o = 0;
  for (size_t i = 0; i < input_.size(); i += chunk) {
    std::string_view piece = input_.substr(i, chunk);
    CMimeCodeBase64 base64(LineBreaks::kOff);
    base64.SetInput(piece, CodecDirection::kEncode);
    size_t text = base64.EncodedSize();
    size_t separator = i > 0 ? 1 : 0;
    if (capacity - o < separator + m + 7 + text) break;
    if (separator) out[o++] = ' ';
    std::memcpy(out + o, "=?", 2);
    std::memcpy(out + o + 2, charset_.data(), m);
    std::memcpy(out + o + 2 + m, "?B?", 3);
    o += m + 5;
    o += base64.EncodeInto(out + o, text);
    std::memcpy(out + o, "?=", 2);
    o += 2;
  }
  return o;
}

size_t CMimeEncodedWord::EncodeQ(char* out, size_t capacity) const {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const size_t m = charset_.size();
  const size_t limit = m < kWordText ? kWordText - m : 1;
  size_t o = 0;
  auto open = [&]() -> bool {
    if (capacity - o < m + 5 + 2) return false;
    std::memcpy(out + o, "=?", 2);
    std::memcpy(out + o + 2, charset_.data(), m);
    std::memcpy(out + o + 2 + m, "?Q?", 3);
    o += m + 5;
    return true;
  };
  if (!open()) return 0;
  size_t wordText = 0;
  for (char byte : input_) {
    auto c = static_cast<unsigned char>(byte);
    size_t form = IsQLiteral(c) ? 1 : 3;
    if (wordText > 0 && wordText + form > limit) {
      // "?=" (reserved by every open) and the separating space; a full new word must fit.
      if (capacity - o < 3 + m + 5 + form + 2) break;
      std::memcpy(out + o, "?= ", 3);
      o += 3;
      open();
      wordText = 0;
    }
    if (capacity - o < form + 2) break;
    if (form == 1) {
      out[o++] = byte;
    } else {
      out[o] = '=';
      out[o + 1] = kHex[c >> 4];
      out[o + 2] = kHex[c & 15];
      o += 3;
    }
    wordText += form;
  }
  std::memcpy(out + o, "?=", 2);
  return o + 2;
}

size_t CMimeEncodedWord::DecodeInto(char* out, size_t capacity) {
  const std::string_view in = input_;
  const size_t n = in.size();
  size_t i = 0;
  size_t o = 0;
  auto copy = [&](size_t from, size_t to) {
    size_t count = std::min(to - from, capacity - o);
    if (count > 0) std::memcpy(out + o, in.data() + from, count);
    o += count;
  };
  while (i < n && o < capacity) {
    if (in.compare(i, 2, "=?") == 0) {
      size_t question = Find(in, "?", i + 2);
      bool wellFormed = question != std::string_view::npos && question + 2 < n &&
                        in[question + 2] == '?' && std::strchr("BbQq", in[question + 1]) != nullptr;
      if (wellFormed) {
        char letter = in[question + 1];
        size_t textStart = question + 3;
        size_t end = Find(in, "?=", textStart);
        size_t textEnd = end == std::string_view::npos ? n : end;
        std::string_view text = in.substr(textStart, textEnd - textStart);
        if (!charsetFound_) {
          charsetFound_ = true;
          charset_ = std::string(in.substr(i + 2, question - (i + 2)));
          letter_ = static_cast<char>(letter == 'b' || letter == 'B' ? 'B' : 'Q');
        }
        o += letter == 'B' || letter == 'b' ? Base64Decode(text, out + o, capacity - o)
                                            : QpDecode(text, out + o, capacity - o);
        i = end == std::string_view::npos ? n : end + 2;
        continue;
      }
      // A malformed word is text up to the next "=?".
      size_t next = Find(in, "=?", i + 1);
      if (next == std::string_view::npos) next = n;
      copy(i, next);
      i = next;
      continue;
    }
    size_t next = Find(in, "=?", i);
    if (next == std::string_view::npos) next = n;
    bool blank = std::all_of(
        in.begin() + static_cast<ptrdiff_t>(i), in.begin() + static_cast<ptrdiff_t>(next),
        [](char c) { return IsMimeWhiteSpace(static_cast<unsigned char>(c)); });
    // White space between encoded words disappears.
    if (i == 0 || !blank) copy(i, next);
    i = next;
  }
  return o;
}

}  // namespace qorva
