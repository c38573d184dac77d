#include "posix/posix_content_types.h"

#include <fstream>
#include <iterator>

#include "platform/native_content_types.h"
#include "support/encoding.h"

namespace qorva {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

MimeTypesFile::MimeTypesFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Read(text);
}

MimeTypesFile MimeTypesFile::FromText(std::string_view text) {
  MimeTypesFile table;
  table.Read(text);
  return table;
}

void MimeTypesFile::Read(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    line = line.substr(0, line.find('#'));
    std::string_view type;
    size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && IsBlank(line[i])) ++i;
      size_t start = i;
      while (i < line.size() && !IsBlank(line[i])) ++i;
      if (i == start) break;
      std::string_view word = line.substr(start, i - start);
      if (type.empty()) {
        type = word;
      } else {
        types_.emplace(LowerAscii(word), std::string(type));
      }
    }
  }
}

std::optional<Text> MimeTypesFile::ContentTypeOf(TextView extension) const {
  if (extension.empty() || extension.front() != u'.') return std::nullopt;
  auto found = types_.find(LowerAscii(ToUtf8(extension.substr(1))));
  if (found == types_.end()) return std::nullopt;
  return FromUtf8(found->second);
}

std::unique_ptr<ContentTypes> CreateNativeContentTypes(Registry&) {
  return std::make_unique<MimeTypesFile>("/etc/mime.types");
}

}  // namespace qorva
