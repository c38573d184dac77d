// The transfer-encoding codecs and RFC 2047 encoded words. A codec is made for one
// operation: the caller sets its input and direction, asks for the size bound of that
// direction, allocates it and runs the operation once. No codec ever writes past the
// capacity it is given; too little room shortens the output.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qorva {

enum class CodecDirection { kDecode, kEncode };

// Pass-through: both sizes are the input length and both directions copy.
class CMimeCodeBase {
 public:
  virtual ~CMimeCodeBase() = default;

  // The bytes must stay alive until the operation has run.
  void SetInput(std::string_view input, CodecDirection direction) {
    input_ = input;
    direction_ = direction;
  }
  bool IsEncoding() const { return direction_ == CodecDirection::kEncode; }
  std::string_view Input() const { return input_; }

  // Upper bounds of the bytes EncodeInto and DecodeInto write.
  virtual size_t EncodedSize() const { return input_.size(); }
  // An upper bound of EncodedSize for any input of `length` bytes (EncodedSize itself
  // where only the length counts); none where a codec cannot say without the bytes.
  virtual std::optional<size_t> EncodedSizeOfLength(size_t /*length*/) const {
    return std::nullopt;
  }
  // A block size such that input cut into blocks of it encodes, block after block, to
  // the text the whole input gives; 0 when input cannot be cut.
  virtual size_t EncodeBlockSize() const { return 0; }
  virtual size_t DecodedSize() const { return input_.size(); }
  // Return the number of bytes of output. The room after them, up to `capacity`, may be
  // written over.
  virtual size_t EncodeInto(char* out, size_t capacity);
  virtual size_t DecodeInto(char* out, size_t capacity);

 protected:
  size_t CopyInto(char* out, size_t capacity) const;

  std::string_view input_;
  CodecDirection direction_ = CodecDirection::kDecode;
};

// 7bit and 8bit: copies, breaking lines longer than 76 bytes at their last white space.
class CMimeCode7bit : public CMimeCodeBase {
 public:
  size_t EncodedSize() const override { return *EncodedSizeOfLength(input_.size()); }
  std::optional<size_t> EncodedSizeOfLength(size_t length) const override;
  size_t EncodeInto(char* out, size_t capacity) override;
};

class CMimeCodeQP : public CMimeCodeBase {
 public:
  size_t EncodedSize() const override;
  // As if every byte were escaped.
  std::optional<size_t> EncodedSizeOfLength(size_t length) const override;
  size_t EncodeInto(char* out, size_t capacity) override;
  size_t DecodeInto(char* out, size_t capacity) override;
};

enum class LineBreaks { kOff, kOn };

class CMimeCodeBase64 : public CMimeCodeBase {
 public:
  explicit CMimeCodeBase64(LineBreaks lineBreaks = LineBreaks::kOn) : lineBreaks_(lineBreaks) {}

  size_t EncodedSize() const override { return *EncodedSizeOfLength(input_.size()); }
  std::optional<size_t> EncodedSizeOfLength(size_t length) const override;
  // Whole lines (57 bytes each) or, without line breaks, whole groups of three bytes.
  size_t EncodeBlockSize() const override;
  size_t DecodedSize() const override;
  // With line breaks, CR LF follows every 76 characters and ends a last, shorter line.
  size_t EncodeInto(char* out, size_t capacity) override;
  // Skips CR and LF and stops at the first byte outside the alphabet, "=" included.
  size_t DecodeInto(char* out, size_t capacity) override;

 private:
  LineBreaks lineBreaks_;
};

// Encoded words: encoding turns the input into words of letter "B" or "Q" in the
// charset; decoding reads any mix of encoded words and plain text and remembers the
// charset and letter of the first word met.
class CMimeEncodedWord : public CMimeCodeBase {
 public:
  CMimeEncodedWord(char letter, std::string charset)
      : letter_(letter), charset_(std::move(charset)) {}

  size_t EncodedSize() const override;
  size_t EncodeInto(char* out, size_t capacity) override;
  size_t DecodeInto(char* out, size_t capacity) override;

  char Letter() const { return letter_; }
  const std::string& Charset() const { return charset_; }

 private:
  size_t EncodeB(char* out, size_t capacity) const;
  size_t EncodeQ(char* out, size_t capacity) const;

  char letter_;
  std::string charset_;
  bool charsetFound_ = false;
};

// Runs the codec in the direction it was given, into a buffer of its own size bound.
std::string RunCodec(CMimeCodeBase& codec);

// The raw operations the codecs and encoded words share.
size_t QpEncodedSize(std::string_view input);
size_t QpDecode(std::string_view input, char* out, size_t capacity);
size_t Base64Decode(std::string_view input, char* out, size_t capacity);

}  // namespace qorva
