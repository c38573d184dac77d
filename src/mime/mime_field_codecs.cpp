#include "mime/mime_field_codecs.h"

#include <cstring>

#include "mime/mime_char_classes.h"
#include "mime/mime_codec_registry.h"

namespace qorva {

namespace {

constexpr size_t kFoldColumn = 76;
constexpr int kNoDelimiter = -1;

struct Unit {
  std::string_view bytes;
  int delimiter = kNoDelimiter;
  size_t highBytes = 0;  // bytes from 0x80 up
};

// Cuts a value into units, carrying the awaited closing byte from unit to unit.
class UnitScanner {
 public:
  UnitScanner(std::string_view value, int initialDelimiter)
      : value_(value), awaited_(initialDelimiter) {}

  bool Done() const { return pos_ >= value_.size(); }
  size_t Position() const { return pos_; }
  void Skip(size_t count) { pos_ += count; }

  Unit Next() {
    Unit unit;
    size_t begin = pos_;
    while (pos_ < value_.size()) {
      auto c = static_cast<unsigned char>(value_[pos_]);
      if (c >= 0x80) {
        ++unit.highBytes;
        ++pos_;
        continue;
      }
      bool ends;
      if (awaited_ != 0) {
        ends = c == awaited_;
        if (ends) awaited_ = 0;
      } else {
        ends = IsMimeWhiteSpace(c) || IsMimeSpecial(c);
        if (c == '"') awaited_ = '"';
        if (c == '(') awaited_ = ')';
        if (c == '<') awaited_ = '>';
      }
      if (ends) {
        unit.bytes = value_.substr(begin, pos_ - begin);
        unit.delimiter = c;
        ++pos_;
        return unit;
      }
      ++pos_;
    }
    unit.bytes = value_.substr(begin);
    return unit;
  }

 private:
  std::string_view value_;
  int awaited_;
  size_t pos_ = 0;
};

// Base64 words when they come out shorter, and the 8-bit bytes are many.
char WordLetter(const Unit& unit) {
  size_t n = unit.bytes.size();
  size_t k = unit.highBytes;
  return n + 2 * k > (n + 2) / 3 * 4 && 5 * k > n ? 'B' : 'Q';
}

bool Encodes(const Unit& unit, const std::string& charset) {
  return unit.highBytes > 0 && !charset.empty();
}

// Writes bytes, inserting CR LF TAB before the last white space of a line that reaches
// the fold column.
class FoldingWriter {
 public:
  FoldingWriter(char* out, size_t capacity, bool folding)
      : out_(out), capacity_(capacity), folding_(folding) {}

  void Put(std::string_view bytes) {
    for (char byte : bytes) Put(static_cast<unsigned char>(byte));
  }

  void Put(unsigned char c) {
    if (!folding_) {
      if (o_ < capacity_) out_[o_++] = static_cast<char>(c);
      return;
    }
    if (c == '\r' || c == '\n') {
      if (o_ < capacity_) out_[o_++] = static_cast<char>(c);
      column_ = 0;
      remembered_ = false;
      return;
    }
    if (column_ >= kFoldColumn && remembered_ && capacity_ - o_ >= 3) {
      size_t moved = o_ - rememberedAt_;
      std::memmove(out_ + rememberedAt_ + 3, out_ + rememberedAt_, moved);
      std::memcpy(out_ + rememberedAt_, "\r\n\t", 3);
      o_ += 3;
      column_ = moved + 1;
      remembered_ = false;
    }
    if (o_ >= capacity_) return;
    if (IsMimeWhiteSpace(c) && column_ > 0) {
      remembered_ = true;
      rememberedAt_ = o_;
    }
    out_[o_++] = static_cast<char>(c);
    ++column_;
  }

  // The line break after a fold point.
  bool NewLine() {
    if (capacity_ - o_ < 3) return false;
    std::memcpy(out_ + o_, "\r\n\t", 3);
    o_ += 3;
    column_ = 1;
    remembered_ = false;
    return true;
  }

  char* Cursor() const { return out_ + o_; }
  size_t Room() const { return capacity_ - o_; }
  size_t Written() const { return o_; }

 private:
  char* out_;
  size_t capacity_;
  bool folding_;
  size_t o_ = 0;
  size_t column_ = 0;
  bool remembered_ = false;
  size_t rememberedAt_ = 0;
};

}  // namespace

bool CFieldCodeBase::RawMode() const { return charset_.empty() && !HeaderFoldingEnabled(); }

size_t CFieldCodeBase::EncodedSize() const {
  if (RawMode()) return input_.size();
  size_t total = 0;
  UnitScanner scanner(input_, InitialDelimiter());
  while (!scanner.Done()) {
    Unit unit = scanner.Next();
    if (Encodes(unit, charset_)) {
      CMimeEncodedWord word(WordLetter(unit), charset_);
      word.SetInput(unit.bytes, CodecDirection::kEncode);
      total += word.EncodedSize();
    } else {
      total += unit.bytes.size();
    }
    total += 1;
    if (unit.delimiter != kNoDelimiter && IsFoldPoint(static_cast<unsigned char>(unit.delimiter))) {
      total += 3;
    }
  }
  if (HeaderFoldingEnabled()) total += total / kFoldColumn * 6;
  return total;
}

size_t CFieldCodeBase::EncodeInto(char* out, size_t capacity) {
  if (RawMode()) return CopyInto(out, capacity);
  FoldingWriter writer(out, capacity, HeaderFoldingEnabled());
  UnitScanner scanner(input_, InitialDelimiter());
  std::string encoded;
  while (!scanner.Done()) {
    Unit unit = scanner.Next();
    if (Encodes(unit, charset_)) {
      CMimeEncodedWord word(WordLetter(unit), charset_);
      word.SetInput(unit.bytes, CodecDirection::kEncode);
      encoded = RunCodec(word);
      writer.Put(encoded);
    } else {
      writer.Put(unit.bytes);
    }
    if (unit.delimiter == kNoDelimiter) continue;
    auto delimiter = static_cast<unsigned char>(unit.delimiter);
    writer.Put(delimiter);
    if (scanner.Done() || !IsFoldPoint(delimiter)) continue;
    if (!writer.NewLine()) continue;
    size_t skip = 0;
    while (scanner.Position() + skip < input_.size() &&
           IsMimeWhiteSpace(static_cast<unsigned char>(input_[scanner.Position() + skip]))) {
      ++skip;
    }
    scanner.Skip(skip);
  }
  return writer.Written();
}

size_t CFieldCodeBase::DecodeInto(char* out, size_t capacity) {
  CMimeEncodedWord words('Q', {});
  words.SetInput(input_, CodecDirection::kDecode);
  std::string decoded = RunCodec(words);
  charset_ = words.Charset();
  if (HeaderFoldingEnabled()) {
    std::string unfolded;
    unfolded.reserve(decoded.size());
    for (size_t i = 0; i < decoded.size(); ++i) {
      if (decoded[i] == '\r' && i + 1 < decoded.size() && decoded[i + 1] == '\n') {
        i += 2;
        while (i < decoded.size() && IsMimeWhiteSpace(static_cast<unsigned char>(decoded[i]))) ++i;
        unfolded.push_back(' ');
        --i;
        continue;
      }
      unfolded.push_back(decoded[i]);
    }
    decoded = std::move(unfolded);
  }
  size_t count = std::min(decoded.size(), capacity);
  if (count > 0) std::memcpy(out, decoded.data(), count);
  return count;
}

}  // namespace qorva
