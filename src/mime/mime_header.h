// Header fields and the header of a MIME entity: an ordered list of fields, their
// parameters, the boundary and the text form of the header. Everything here is bytes;
// callers convert to and from the control's text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qorva {

struct CMimeField {
  std::string name;     // written exactly as given
  std::string value;    // the body after ": ", parameters included
  std::string charset;  // of the first encoded word met when parsed; empty otherwise

  // Sets parameter `parameterName` to `value` in double quotes, replacing its old value
  // or appending "; name=value".
  void PutParameter(std::string_view value, std::string_view parameterName);

  // Reads one field line (with its continuation lines) from the start of `text`.
  // Returns the bytes consumed, or 0 when no complete field is there.
  ptrdiff_t Parse(std::string_view text);
};

// Media-type codes of the Content-Type value.
enum MediaCode : int {
  kMediaText = 0,
  kMediaImage = 1,
  kMediaAudio = 2,
  kMediaVideo = 3,
  kMediaApplication = 4,
  kMediaMultipart = 5,
  kMediaMessage = 6,
  kMediaOther = 7,
};

// The span of parameter `name`'s value in the field value `v`, quotes included; none
// when `v` has no such parameter.
struct ParameterSpan {
  size_t begin;
  size_t length;
};
std::optional<ParameterSpan> FindParameter(std::string_view v, std::string_view name);

class CMimeHeader {
 public:
  CMimeHeader() = default;
  CMimeHeader(const CMimeHeader&) = delete;
  CMimeHeader& operator=(const CMimeHeader&) = delete;
  virtual ~CMimeHeader() = default;

  virtual void Reset() { fields_.clear(); }
  // An upper bound of the bytes Serialize writes.
  virtual size_t SerializedSize() const;
  // Returns the bytes written, or a value <= 0 on failure (a field that does not fit).
  virtual ptrdiff_t Serialize(char* buffer, size_t capacity) const;
  // Returns the bytes consumed, the empty line included, or a value <= 0 on failure.
  virtual ptrdiff_t Parse(std::string_view text);

  // Replaces the first field of that name in place (taking the new spelling and
  // clearing its charset), or appends a new one.
  void PutField(std::string_view name, std::string_view value);
  // Appends a field without looking for one of the same name.
  void AppendField(CMimeField field) { fields_.push_back(std::move(field)); }
  // The first field of that name.
  CMimeField* FindField(std::string_view name);
  const CMimeField* FindField(std::string_view name) const;
  std::optional<std::string> FieldValue(std::string_view name) const;
  const std::vector<CMimeField>& Fields() const { return fields_; }

  std::optional<std::string> ContentType() const { return FieldValue("Content-Type"); }
  std::optional<std::string> TransferEncoding() const {
    return FieldValue("Content-Transfer-Encoding");
  }

  // The parameter's value without its surrounding double quotes; empty when the field
  // or the parameter is missing.
  std::string ParameterValue(std::string_view fieldName, std::string_view parameterName) const;
  std::string CharsetParameter() const { return ParameterValue("Content-Type", "charset"); }
  std::string NameParameter() const { return ParameterValue("Content-Type", "name"); }
  std::string BoundaryParameter() const { return ParameterValue("Content-Type", "boundary"); }

  MediaCode MediaTypeCode() const;
  // The Content-Type value up to its first "/"; "text" without Content-Type.
  std::string MainMediaType() const;

  // Put the parameter on Content-Type, making that field first when it is missing
  // ("text/plain" for a charset, the type of the name's extension for a name).
  void PutCharsetParameter(std::string_view charset);
  void PutNameParameter(std::string_view name);

  // Makes a new boundary and sets it on a multipart Content-Type.
  void MakeBoundary();

 protected:
  std::vector<CMimeField> fields_;
};

// The text "__=_Part_Boundary_%03d_%06d.%06d" of a boundary.
std::string FormatBoundary(int counter, int r2, int r1);
// Advances the process-wide boundary counter (1 to 9, then again from 1) and returns
// the value for the new boundary.
int NextBoundaryCounter();
void ResetBoundaryCounter();

}  // namespace qorva
