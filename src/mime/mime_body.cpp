#include "mime/mime_body.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>

#include "mime/mime_codec_registry.h"
#include "platform/system.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/string_helpers.h"

namespace qorva {

namespace {

// Nesting deeper than any real message is refused rather than recursed into.
constexpr int kMaxNesting = 64;
thread_local int parseDepth = 0;

struct DepthGuard {
  DepthGuard() { ++parseDepth; }
  ~DepthGuard() { --parseDepth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

struct FactoryEntry {
  std::string mediaType;
  BodyFactory factory;
};

std::mutex factoryMutex;
std::vector<FactoryEntry>& Factories() {
  static std::vector<FactoryEntry> factories;
  return factories;
}

std::unique_ptr<CMimeCodeBase> TransferCodecOf(const CMimeHeader& header) {
  return TransferCodecFor(header.TransferEncoding().value_or(std::string()));
}

bool EndsWithCrLf(const char* begin, size_t length) {
  return length >= 2 && begin[length - 2] == '\r' && begin[length - 1] == '\n';
}

}  // namespace

ByteOrderMark DetectByteOrderMark(TextView path) {
  std::ifstream in(PathFromText(path), std::ios::binary);
  if (!in) return kNoBom;
  unsigned char bytes[3] = {};
  in.read(reinterpret_cast<char*>(bytes), 3);
  std::streamsize got = in.gcount();
  if (got >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return kBomUtf16Le;
  if (got >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return kBomUtf16Be;
  if (got >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return kBomUtf8;
  return kNoBom;
}

void CMimeBody::Reset() {
  parts_.clear();
  ClearContent();
  CMimeHeader::Reset();
}

ptrdiff_t CMimeBody::AssignContent(std::string_view bytes) {
  // Not ClearContent() first: `bytes` may view the content itself.
  contentFile_.reset();
  encodedContent_ = {};
  try {
    content_.assign(bytes);
  } catch (const std::bad_alloc&) {
    ClearContent();
    return -1;
  }
  return static_cast<ptrdiff_t>(content_.size());
}

// --- serialising

std::string_view CMimeBody::ContentToEncode(std::string& scratch) const {
  if (contentFile_) {
    if (!ReadContentFile(*contentFile_, scratch)) scratch.clear();
    return scratch;
  }
  if (!encodedContent_.empty()) {
    DecodeContentInto(scratch);  // empty when memory runs out
    return scratch;
  }
  return content_;
}

size_t CMimeBody::EncodeContentInto(CMimeCodeBase& codec, char* out, size_t capacity) const {
  const size_t block = codec.EncodeBlockSize();
  if (!contentFile_ || block == 0) {
    std::string scratch;
    codec.SetInput(ContentToEncode(scratch), CodecDirection::kEncode);
    return codec.EncodeInto(out, capacity);
  }
  std::ifstream in;
  if (!OpenAtContent(*contentFile_, in)) return 0;
  std::string chunk(block, '\0');
  size_t o = 0;
  for (uint64_t left = contentFile_->length; left > 0;) {
    size_t wanted = static_cast<size_t>(std::min<uint64_t>(left, block));
    in.read(chunk.data(), static_cast<std::streamsize>(wanted));
    auto got = static_cast<size_t>(in.gcount());
    codec.SetInput(std::string_view(chunk.data(), got), CodecDirection::kEncode);
    o += codec.EncodeInto(out + o, capacity - o);
    // A short read is the file's end (it shrank since it was attached): a block that is
    // not whole may only come last.
    if (got < wanted) break;
    left -= got;
  }
  return o;
}

size_t CMimeBody::SerializedSize() const {
  std::unique_ptr<CMimeCodeBase> codec = TransferCodecOf(*this);
  std::optional<size_t> encoded;
  // The codecs bound the size from the length alone: the file is read only once, so the
  // size holds whatever the file holds by then.
  if (contentFile_) encoded = codec->EncodedSizeOfLength(contentFile_->length);
  if (!encoded) {
    std::string scratch;
    codec->SetInput(ContentToEncode(scratch), CodecDirection::kEncode);
    encoded = codec->EncodedSize();
  }
  size_t size = CMimeHeader::SerializedSize() + *encoded + 2;
  if (parts_.empty()) return size;
  size_t boundary = BoundaryParameter().size();
  for (const auto& part : parts_) size += part->SerializedSize() + boundary + 6;
  return size + boundary + 8;
}

ptrdiff_t CMimeBody::Serialize(char* buffer, size_t capacity) const {
  ptrdiff_t header = CMimeHeader::Serialize(buffer, capacity);
  if (header <= 0) return header;
  size_t o = static_cast<size_t>(header);

  std::unique_ptr<CMimeCodeBase> codec = TransferCodecOf(*this);
  o += EncodeContentInto(*codec, buffer + o, capacity - o);
  if (parts_.empty()) return static_cast<ptrdiff_t>(o);

  std::string boundary = BoundaryParameter();
  if (boundary.empty()) return -1;
  bool first = true;
  for (const auto& part : parts_) {
    if (capacity - o < boundary.size() + 6) break;
    // Exactly one empty line between the header (or the preamble) and the first delimiter.
    if (first && EndsWithCrLf(buffer, o)) o -= 2;
    first = false;
    std::memcpy(buffer + o, "\r\n--", 4);
    std::memcpy(buffer + o + 4, boundary.data(), boundary.size());
    std::memcpy(buffer + o + 4 + boundary.size(), "\r\n", 2);
    o += boundary.size() + 6;
    ptrdiff_t written = part->Serialize(buffer + o, capacity - o);
    if (written < 0) return written;
    o += static_cast<size_t>(written);
  }
  if (capacity - o >= boundary.size() + 8) {
    std::memcpy(buffer + o, "\r\n--", 4);
    std::memcpy(buffer + o + 4, boundary.data(), boundary.size());
    std::memcpy(buffer + o + 4 + boundary.size(), "--\r\n", 4);
    o += boundary.size() + 8;
    if (o < capacity) buffer[o] = '\0';
  }
  return static_cast<ptrdiff_t>(o);
}

// --- parsing

ptrdiff_t CMimeBody::Parse(std::string_view text) {
  DepthGuard depth;
  if (parseDepth > kMaxNesting) return -1;
  parts_.clear();
  ptrdiff_t header = CMimeHeader::Parse(text);
  if (header <= 0) return header;
  ClearContent();

  const size_t contentStart = static_cast<size_t>(header);
  size_t contentEnd = text.size();
  std::string boundary = MediaTypeCode() == kMediaMultipart ? BoundaryParameter() : std::string();
  std::string delimiter = "\r\n--" + boundary;
  if (!boundary.empty()) {
    // From two bytes back, so that a delimiter right after the empty line is found.
    size_t found = text.find(delimiter, contentStart >= 2 ? contentStart - 2 : 0);
    if (found != std::string_view::npos) contentEnd = found + 2;
  }

  encodedContent_ = {};
  if (contentEnd > contentStart) {
    encodedContent_ = text.substr(contentStart, contentEnd - contentStart);
    if (!deferDecoding_) {
      bool decoded = DecodeContentInto(content_);
      encodedContent_ = {};
      if (!decoded) return -1;
    }
  }
  if (contentEnd >= text.size()) return static_cast<ptrdiff_t>(text.size());

  size_t g = text.find(delimiter, contentEnd - 2);
  while (g != std::string_view::npos) {
    size_t lineEnd = text.find("\r\n", g + 2);
    if (lineEnd == std::string_view::npos) break;
    size_t partStart = lineEnd + 2;
    if (text.compare(g + delimiter.size(), 2, "--") == 0) return static_cast<ptrdiff_t>(partStart);
    size_t next = text.find(delimiter, partStart);
    size_t partEnd = next == std::string_view::npos ? text.size() : next;
    std::string_view partText = text.substr(partStart, partEnd - partStart);

    CMimeHeader partHeader;
    partHeader.Parse(partText);
    parts_.push_back(CreateBody(partHeader.MainMediaType()));
    parts_.back()->DeferContentDecoding(deferDecoding_);
    ptrdiff_t result = parts_.back()->Parse(partText);
    if (result < 0) {
      parts_.pop_back();
      return result;
    }
    g = next;
  }
  return static_cast<ptrdiff_t>(text.size());
}

bool CMimeBody::DecodeContentInto(std::string& out) const {
  if (encodedContent_.empty()) {
    out.assign(content_);
    return true;
  }
  std::unique_ptr<CMimeCodeBase> codec = TransferCodecOf(*this);
  codec->SetInput(encodedContent_, CodecDirection::kDecode);
  const size_t bound = codec->DecodedSize();
  try {
    // Growing fills only the new bytes: storage kept from an earlier part is not
    // cleared again.
    if (out.size() < bound) out.resize(bound);
  } catch (const std::bad_alloc&) {
    std::string().swap(out);
    return false;
  }
  out.resize(codec->DecodeInto(out.data(), bound));
  return true;
}

// --- parts

CMimeBody& CMimeBody::AppendPart(std::string_view mediaType) {
  parts_.push_back(CreateBody(mediaType));
  return *parts_.back();
}

void CMimeBody::DetachPart(const CMimeBody* part) {
  std::erase_if(parts_, [&](const std::unique_ptr<CMimeBody>& p) { return p.get() == part; });
}

size_t CMimeBody::CollectLeafParts(std::vector<CMimeBody*>& list) {
  if (MediaTypeCode() != kMediaMultipart) {
    list.push_back(this);
    return 1;
  }
  size_t count = 0;
  for (const auto& part : parts_) count += part->CollectLeafParts(list);
  return count;
}

// --- files

std::optional<CMimeBody::ContentFile> CMimeBody::OpenContentFile(TextView path, ContentMode mode) {
  ContentFile file{PathFromText(path)};
  std::ifstream in(file.path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0 || !in) return std::nullopt;

  if (mode == ContentMode::kText) {
    unsigned char mark[3] = {};
    in.read(reinterpret_cast<char*>(mark), std::min<std::streamoff>(size, 3));
    if (size >= 2 &&
        ((mark[0] == 0xFF && mark[1] == 0xFE) || (mark[0] == 0xFE && mark[1] == 0xFF))) {
      file.skip = 2;
    } else if (size >= 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
      file.skip = 3;
    }
  }
  file.length = static_cast<uint64_t>(size) - file.skip;
  return file;
}

bool CMimeBody::OpenAtContent(const ContentFile& file, std::ifstream& in) {
  in.open(file.path, std::ios::binary);
  return in && in.seekg(static_cast<std::streamoff>(file.skip), std::ios::beg);
}

bool CMimeBody::ReadContentFile(const ContentFile& file, std::string& bytes) {
  std::ifstream in;
  if (!OpenAtContent(file, in)) return false;
  try {
    bytes.resize(static_cast<size_t>(file.length));
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return true;
}

bool CMimeBody::LoadContentFile(TextView path, ContentMode mode, const System& system) {
  std::optional<ContentFile> file = OpenContentFile(path, mode);
  std::string bytes;
  if (!file || !ReadContentFile(*file, bytes) || bytes.size() != file->length) return false;
  ClearContent();
  content_ = std::move(bytes);
  PutNameParameter(ToAnsi(system, ExtractFileName(path)));
  return true;
}

bool CMimeBody::AttachContentFile(TextView path, ContentMode mode, const System& system) {
  std::optional<ContentFile> file = OpenContentFile(path, mode);
  if (!file) return false;
  ClearContent();
  contentFile_ = std::move(file);
  PutNameParameter(ToAnsi(system, ExtractFileName(path)));
  return true;
}

bool CMimeBody::SaveBytesFile(TextView path, std::string_view bytes) {
  if (bytes.empty()) return true;
  std::ofstream out(PathFromText(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

// --- body factories

void RegisterBodyFactory(std::string_view mediaType, BodyFactory factory) {
  std::lock_guard lock(factoryMutex);
  std::erase_if(Factories(), [&](const FactoryEntry& e) {
    return EqualsAsciiIgnoreCase(e.mediaType, mediaType);
  });
  if (factory) Factories().push_back({std::string(mediaType), std::move(factory)});
}

std::unique_ptr<CMimeBody> CreateBody(std::string_view mediaType) {
  if (mediaType.empty()) mediaType = "text";
  {
    std::lock_guard lock(factoryMutex);
    for (const FactoryEntry& entry : Factories()) {
      if (EqualsAsciiIgnoreCase(entry.mediaType, mediaType)) return entry.factory();
    }
  }
  return std::make_unique<CMimeBody>();
}

}  // namespace qorva
