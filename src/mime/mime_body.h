// A MIME entity: a header, its content bytes and its child parts, with the text form
// of the whole subtree. A body owns its parts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "mime/mime_header.h"

namespace qorva {

class CMimeCodeBase;
class System;

enum class ContentMode { kBinary, kText };

// Byte-order marks: 0 none, 1 UTF-16 little-endian, 2 UTF-16 big-endian, 3 UTF-8.
enum ByteOrderMark : int { kNoBom = 0, kBomUtf16Le = 1, kBomUtf16Be = 2, kBomUtf8 = 3 };
// The mark at the start of the file; kNoBom also when the file cannot be read.
ByteOrderMark DetectByteOrderMark(TextView path);

class CMimeBody : public CMimeHeader {
 public:
  CMimeBody() = default;
  ~CMimeBody() override = default;

  void Reset() override;
  size_t SerializedSize() const override;
  ptrdiff_t Serialize(char* buffer, size_t capacity) const override;
  ptrdiff_t Parse(std::string_view text) override;

  // The content; a NUL byte follows it, not counted.
  std::string_view Content() const { return content_; }
  size_t ContentLength() const { return content_.size(); }
  // Returns the content length, or -1 (content empty) when memory runs out.
  ptrdiff_t AssignContent(std::string_view bytes);
  // Frees the content.
  void ClearContent() {
    std::string().swap(content_);
    encodedContent_ = {};
    contentFile_.reset();
  }

  // When on before Parse, the body and the parts it makes keep their content encoded, as
  // a view into the parsed text (which must outlive them), and Content() is empty. A
  // decoder that saves parts one by one then never holds them all decoded.
  void DeferContentDecoding(bool defer) { deferDecoding_ = defer; }
  // The decoded content into `out`, replacing what it held and reusing its storage: a
  // deferred parse's content decoded now, else Content(). False (`out` empty) when memory
  // runs out.
  bool DecodeContentInto(std::string& out) const;

  // Reads the file as the content (in text mode without its byte-order mark) and puts
  // the file's name as the name parameter, in the system's ANSI code page. False, with
  // the body unchanged, when the file cannot be read.
  bool LoadContentFile(TextView path, ContentMode mode, const System& system);
  // As LoadContentFile, but the bytes are read only while the body is serialised, one
  // file at a time, so that a message of many large files never holds them all. A file
  // that changes in between is read as it is then, cut to its length here.
  bool AttachContentFile(TextView path, ContentMode mode, const System& system);
  // Writes the content to the file, replacing it; true and no file touched when the
  // body has no content.
  bool SaveContentFile(TextView path) const { return SaveBytesFile(path, content_); }
  // The same for any bytes.
  static bool SaveBytesFile(TextView path, std::string_view bytes);

  // Creates a part for the media type through the body factories and appends it.
  CMimeBody& AppendPart(std::string_view mediaType = {});
  // Removes and destroys the part.
  void DetachPart(const CMimeBody* part);
  void DropAllParts() { parts_.clear(); }
  const std::vector<std::unique_ptr<CMimeBody>>& Parts() const { return parts_; }

  // The leaves of a multipart tree in order (the body itself when it is no multipart);
  // returns how many were added. The tree keeps ownership.
  size_t CollectLeafParts(std::vector<CMimeBody*>& list);

 private:
  // The bytes of an attached file, where it begins and how many; none when it cannot
  // be read.
  struct ContentFile {
    std::filesystem::path path;
    uint64_t skip = 0;
    uint64_t length = 0;
  };
  static std::optional<ContentFile> OpenContentFile(TextView path, ContentMode mode);
  static bool ReadContentFile(const ContentFile& file, std::string& bytes);
  // The file opened and placed where its content begins; false when it cannot be.
  static bool OpenAtContent(const ContentFile& file, std::ifstream& in);
  // The content to encode: the attached file's bytes or the deferred content decoded
  // (both into `scratch`), else content_.
  std::string_view ContentToEncode(std::string& scratch) const;
  // Encodes the content into `out`; an attached file is read block by block where the
  // codec allows it. Returns the bytes written.
  size_t EncodeContentInto(CMimeCodeBase& codec, char* out, size_t capacity) const;

  std::string content_;
  std::optional<ContentFile> contentFile_;
  bool deferDecoding_ = false;
  std::string_view encodedContent_;  // a deferred parse's content, not yet decoded
  std::vector<std::unique_ptr<CMimeBody>> parts_;
};

// Media-type names (compared without regard to case) mapped to the body classes made
// for them; the system registers none, so every part is a plain CMimeBody.
using BodyFactory = std::function<std::unique_ptr<CMimeBody>()>;
void RegisterBodyFactory(std::string_view mediaType, BodyFactory factory);
std::unique_ptr<CMimeBody> CreateBody(std::string_view mediaType);

}  // namespace qorva
