// The header field value codecs. Writing cuts a value into units (words, quoted
// strings, comments, angle addresses), turns units with 8-bit bytes into encoded words
// when the field has a charset, breaks the line after fold points and folds long lines
// while header folding is on. Reading decodes encoded words and, while folding is on,
// unfolds continuation lines.
#pragma once

#include <string>

#include "mime/mime_codecs.h"

namespace qorva {

class CFieldCodeBase : public CMimeCodeBase {
 public:
  void SetCharset(std::string charset) { charset_ = std::move(charset); }
  // When reading: the charset of the first encoded word of the value.
  const std::string& Charset() const { return charset_; }

  size_t EncodedSize() const override;
  size_t EncodeInto(char* out, size_t capacity) override;
  size_t DecodeInto(char* out, size_t capacity) override;

  // A delimiter after which the value continues on a new line.
  virtual bool IsFoldPoint(unsigned char) const { return false; }
  // The closing byte awaited at the start of the value: 0 for none, 255 for "the whole
  // value is one unit".
  virtual int InitialDelimiter() const { return 0; }

 private:
  bool RawMode() const;

  std::string charset_;
};

// Unstructured text (Subject, Comments): the whole value is one unit.
class CFieldCodeText : public CFieldCodeBase {
 public:
  int InitialDelimiter() const override { return 255; }
};

// Address lists: a new line after "," and ":".
class CFieldCodeAddress : public CFieldCodeBase {
 public:
  bool IsFoldPoint(unsigned char c) const override { return c == ',' || c == ':'; }
};

// Values with parameters: a new line after ";".
class CFieldCodeParameter : public CFieldCodeBase {
 public:
  bool IsFoldPoint(unsigned char c) const override { return c == ';'; }
};

}  // namespace qorva
