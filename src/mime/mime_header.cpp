#include "mime/mime_header.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

#include "base/text.h"
#include "mime/mime_char_classes.h"
#include "mime/mime_codec_registry.h"

namespace qorva {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsAsciiIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool IsWhite(char c) { return IsMimeWhiteSpace(static_cast<unsigned char>(c)); }

// The names of the media-type codes, in code order.
constexpr std::string_view kMediaNames[] = {"text",        "image",     "audio",  "video",
                                            "application", "multipart", "message"};

struct ExtensionType {
  std::string_view extension;
  MediaCode code;
  std::string_view subtype;
};

constexpr ExtensionType kExtensionTypes[] = {
    {"xml", kMediaApplication, "xml"},
    {"doc", kMediaApplication, "msword"},
    {"rtf", kMediaApplication, "rtf"},
    {"xls", kMediaApplication, "vnd.ms-excel"},
    {"ppt", kMediaApplication, "vnd.ms-powerpoint"},
    {"pdf", kMediaApplication, "pdf"},
    {"zip", kMediaApplication, "zip"},
    {"jpeg", kMediaImage, "jpeg"},
    {"jpg", kMediaImage, "jpeg"},
    {"gif", kMediaImage, "gif"},
    {"tif", kMediaImage, "tiff"},
    {"tiff", kMediaImage, "tiff"},
    {"wav", kMediaAudio, "basic"},
    {"mp3", kMediaAudio, "basic"},
    {"mpg", kMediaVideo, "mpeg"},
    {"mpeg", kMediaVideo, "mpeg"},
};

std::string ContentTypeOfName(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) {
    std::string_view extension = name.substr(dot + 1);
    for (const ExtensionType& row : kExtensionTypes) {
      if (EqualsAsciiIgnoreCase(row.extension, extension)) {
        return std::string(kMediaNames[row.code]) + "/" + std::string(row.subtype);
      }
    }
  }
  return "application/octet-stream";
}

// The value bytes in double quotes, unless they carry them already.
std::string Quoted(std::string_view value) {
  std::string quoted;
  if (value.empty() || value.front() != '"') quoted.push_back('"');
  quoted.append(value);
  if (value.size() < 2 || value.back() != '"') quoted.push_back('"');
  return quoted;
}

// The first CR LF at or after `from`, or npos.
size_t FindCrLf(std::string_view text, size_t from) { return text.find(kCrLf, from); }

// A small generator of numbers from 0 to 32767, seeded per boundary.
class BoundaryRandom {
 public:
  explicit BoundaryRandom(uint32_t seed) : state_(seed) {}
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  uint32_t state_;
};

std::mutex boundaryMutex;
int boundaryCounter = 0;

}  // namespace

// --- parameters

std::optional<ParameterSpan> FindParameter(std::string_view v, std::string_view name) {
  size_t pos = v.find(';');
  if (pos == std::string_view::npos) return std::nullopt;
  while (pos < v.size()) {
    while (pos < v.size() && (IsWhite(v[pos]) || v[pos] == ';')) ++pos;
    size_t q = pos;
    size_t equals = v.find('=', q);
    if (equals == std::string_view::npos) return std::nullopt;
    size_t begin = equals + 1;
    size_t end = begin;
    size_t closing =
        begin < v.size() && v[begin] == '"' ? v.find('"', begin + 1) : std::string_view::npos;
    if (closing != std::string_view::npos) {
      end = closing + 1;
    } else {
      while (end < v.size()) {
        auto c = static_cast<unsigned char>(v[end]);
        if (c <= 0x20 || IsMimeSpecial(c)) break;
        ++end;
      }
    }
    size_t after = q + name.size();
    if (after < v.size() && EqualsAsciiIgnoreCase(v.substr(q, name.size()), name) &&
        (IsWhite(v[after]) || v[after] == '=')) {
      return ParameterSpan{begin, end - begin};
    }
    pos = end;
  }
  return std::nullopt;
}

void CMimeField::PutParameter(std::string_view parameterValue, std::string_view parameterName) {
  std::string quoted = Quoted(parameterValue);
  if (auto span = FindParameter(value, parameterName)) {
    value.replace(span->begin, span->length, quoted);
    return;
  }
  value.append("; ").append(parameterName).append("=").append(quoted);
}

// --- one field

ptrdiff_t CMimeField::Parse(std::string_view text) {
  name.clear();
  value.clear();
  charset.clear();
  size_t p = 0;
  // A line that starts with white space here is skipped whole.
  while (p < text.size() && IsWhite(text[p])) {
    if (text[p] == '\r') return 0;
    size_t lineEnd = FindCrLf(text, p);
    if (lineEnd == std::string_view::npos) return 0;
    p = lineEnd + 2;
  }
  size_t nameEnd = p;
  while (nameEnd < text.size() && std::strchr(":\r\n", text[nameEnd]) == nullptr &&
         text[nameEnd] != '\0') {
    ++nameEnd;
  }
  if (nameEnd < text.size() && text[nameEnd] == ':') {
    name = std::string(text.substr(p, nameEnd - p));
    p = nameEnd + 1;
  }
  while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;

  size_t end = p;
  while (true) {
    end = FindCrLf(text, end);
    if (end == std::string_view::npos) return 0;
    if (end + 2 < text.size() && (text[end + 2] == ' ' || text[end + 2] == '\t')) {
      end += 2;  // a continuation line belongs to the value
      continue;
    }
    break;
  }
  std::unique_ptr<CFieldCodeBase> codec = FieldCodecFor(name);
  codec->SetInput(text.substr(p, end - p), CodecDirection::kDecode);
  value = RunCodec(*codec);
  charset = codec->Charset();
  return static_cast<ptrdiff_t>(end + 2);
}

// --- the header

size_t CMimeHeader::SerializedSize() const {
  size_t size = 2;
  for (const CMimeField& field : fields_) {
    std::unique_ptr<CFieldCodeBase> codec = FieldCodecFor(field.name);
    codec->SetCharset(field.charset);
    codec->SetInput(field.value, CodecDirection::kEncode);
    size += field.name.size() + 4 + codec->EncodedSize();
  }
  return size;
}

ptrdiff_t CMimeHeader::Serialize(char* buffer, size_t capacity) const {
  size_t o = 0;
  for (const CMimeField& field : fields_) {
    if (capacity - o < field.name.size() + 4) return 0;
    std::memcpy(buffer + o, field.name.data(), field.name.size());
    o += field.name.size();
    std::memcpy(buffer + o, ": ", 2);
    o += 2;
    std::unique_ptr<CFieldCodeBase> codec = FieldCodecFor(field.name);
    codec->SetCharset(field.charset);
    codec->SetInput(field.value, CodecDirection::kEncode);
    o += codec->EncodeInto(buffer + o, capacity - o - 2);
    std::memcpy(buffer + o, "\r\n", 2);
    o += 2;
  }
  if (capacity - o < 2) return 0;
  std::memcpy(buffer + o, "\r\n", 2);
  return static_cast<ptrdiff_t>(o + 2);
}

ptrdiff_t CMimeHeader::Parse(std::string_view text) {
  fields_.clear();
  size_t pos = 0;
  while (pos < text.size() && text[pos] != '\0' && text[pos] != '\r') {
    CMimeField field;
    ptrdiff_t used = field.Parse(text.substr(pos));
    if (used < 1) return used;
    fields_.push_back(std::move(field));
    pos += static_cast<size_t>(used);
  }
  // The CR LF of the empty line that ends the header; a header cut off by the end of
  // the text ends there.
  return static_cast<ptrdiff_t>(std::min(pos + 2, text.size()));
}

void CMimeHeader::PutField(std::string_view name, std::string_view value) {
  if (CMimeField* field = FindField(name)) {
    field->name = name;
    field->value = value;
    field->charset.clear();
    return;
  }
  fields_.push_back({std::string(name), std::string(value), {}});
}

CMimeField* CMimeHeader::FindField(std::string_view name) {
  for (CMimeField& field : fields_) {
    if (EqualsAsciiIgnoreCase(field.name, name)) return &field;
  }
  return nullptr;
}

const CMimeField* CMimeHeader::FindField(std::string_view name) const {
  return const_cast<CMimeHeader*>(this)->FindField(name);
}

std::optional<std::string> CMimeHeader::FieldValue(std::string_view name) const {
  const CMimeField* field = FindField(name);
  if (!field) return std::nullopt;
  return field->value;
}

std::string CMimeHeader::ParameterValue(std::string_view fieldName,
                                        std::string_view parameterName) const {
  const CMimeField* field = FindField(fieldName);
  if (!field) return {};
  auto span = FindParameter(field->value, parameterName);
  if (!span) return {};
  std::string_view found = std::string_view(field->value).substr(span->begin, span->length);
  if (!found.empty() && found.front() == '"') {
    found.remove_prefix(1);
    if (!found.empty() && found.back() == '"') found.remove_suffix(1);
  }
  return std::string(found);
}

MediaCode CMimeHeader::MediaTypeCode() const {
  const CMimeField* field = FindField("Content-Type");
  if (!field) return kMediaText;
  for (int code = kMediaText; code <= kMediaMessage; ++code) {
    if (StartsWithNoCase(field->value, kMediaNames[code])) return static_cast<MediaCode>(code);
  }
  return kMediaOther;
}

std::string CMimeHeader::MainMediaType() const {
  const CMimeField* field = FindField("Content-Type");
  if (!field) return "text";
  return field->value.substr(0, field->value.find('/'));
}

void CMimeHeader::PutCharsetParameter(std::string_view charset) {
  if (CMimeField* field = FindField("Content-Type")) {
    field->PutParameter(charset, "charset");
    return;
  }
  CMimeField field{"Content-Type", "text/plain", {}};
  field.PutParameter(charset, "charset");
  fields_.push_back(std::move(field));
}

void CMimeHeader::PutNameParameter(std::string_view name) {
  if (CMimeField* field = FindField("Content-Type")) {
    field->PutParameter(name, "name");
    return;
  }
  CMimeField field{"Content-Type", ContentTypeOfName(name), {}};
  field.PutParameter(name, "name");
  fields_.push_back(std::move(field));
}

// --- boundaries

std::string FormatBoundary(int counter, int r2, int r1) {
  char text[64];
  std::snprintf(text, sizeof text, "__=_Part_Boundary_%03d_%06d.%06d", counter, r2, r1);
  return text;
}

int NextBoundaryCounter() {
  std::lock_guard lock(boundaryMutex);
  int value = ++boundaryCounter;
  if (boundaryCounter >= 9) boundaryCounter = 0;
  return value;
}

void ResetBoundaryCounter() {
  std::lock_guard lock(boundaryMutex);
  boundaryCounter = 0;
}

void CMimeHeader::MakeBoundary() {
  auto seed = static_cast<uint32_t>(std::time(nullptr)) ^
              static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this));
  BoundaryRandom random(seed);
  int counter = NextBoundaryCounter();
  int r1 = random.Next();
  int r2 = random.Next();
  std::string boundary = FormatBoundary(counter, r2, r1);

  if (CMimeField* field = FindField("Content-Type")) {
    if (!StartsWithNoCase(field->value, "multipart")) field->value = "multipart/mixed";
    field->PutParameter(boundary, "boundary");
    return;
  }
  CMimeField field{"Content-Type", "multipart/mixed", {}};
  field.PutParameter(boundary, "boundary");
  fields_.push_back(std::move(field));
}

}  // namespace qorva
