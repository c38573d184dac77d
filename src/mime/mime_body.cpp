#include "mime/mime_body.h"

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
  try {
    content_.assign(bytes);
  } catch (const std::bad_alloc&) {
    ClearContent();
    return -1;
  }
  return static_cast<ptrdiff_t>(content_.size());
}

// --- serialising

size_t CMimeBody::SerializedSize() const {
  std::unique_ptr<CMimeCodeBase> codec = TransferCodecOf(*this);
  codec->SetInput(content_, CodecDirection::kEncode);
  size_t size = CMimeHeader::SerializedSize() + codec->EncodedSize() + 2;
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
  codec->SetInput(content_, CodecDirection::kEncode);
  o += codec->EncodeInto(buffer + o, capacity - o);
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

  if (contentEnd > contentStart) {
    std::unique_ptr<CMimeCodeBase> codec = TransferCodecOf(*this);
    codec->SetInput(text.substr(contentStart, contentEnd - contentStart), CodecDirection::kDecode);
    try {
      content_ = RunCodec(*codec);
    } catch (const std::bad_alloc&) {
      return -1;
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
    ptrdiff_t result = parts_.back()->Parse(partText);
    if (result < 0) {
      parts_.pop_back();
      return result;
    }
    g = next;
  }
  return static_cast<ptrdiff_t>(text.size());
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

bool CMimeBody::LoadContentFile(TextView path, ContentMode mode, const System& system) {
  std::ifstream in(PathFromText(path), std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0 || !in) return false;

  std::streamoff skip = 0;
  if (mode == ContentMode::kText) {
    unsigned char mark[3] = {};
    in.read(reinterpret_cast<char*>(mark), std::min<std::streamoff>(size, 3));
    in.clear();
    if (size >= 2 &&
        ((mark[0] == 0xFF && mark[1] == 0xFE) || (mark[0] == 0xFE && mark[1] == 0xFF))) {
      skip = 2;
    } else if (size >= 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
      skip = 3;
    }
    in.seekg(skip, std::ios::beg);
  }

  std::string bytes;
  try {
    bytes.resize(static_cast<size_t>(size - skip));
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!bytes.empty() && !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    return false;
  }
  content_ = std::move(bytes);
  PutNameParameter(ToAnsi(system, ExtractFileName(path)));
  return true;
}

bool CMimeBody::SaveContentFile(TextView path) const {
  if (content_.empty()) return true;
  std::ofstream out(PathFromText(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(content_.data(), static_cast<std::streamsize>(content_.size()));
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
