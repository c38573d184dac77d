// Content types from a mime.types file: lines of a type followed by its extensions,
// "#" comments. Extensions are compared without regard to ASCII case; the first line
// that lists one decides.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/content_types.h"

namespace qorva {

class MimeTypesFile final : public ContentTypes {
 public:
  // Reads the file now; a missing file gives an empty table.
  explicit MimeTypesFile(const std::string& path);
  // A table from the text of such a file.
  static MimeTypesFile FromText(std::string_view text);

  std::optional<Text> ContentTypeOf(TextView extension) const override;
  size_t size() const { return types_.size(); }

 private:
  MimeTypesFile() = default;
  void Read(std::string_view text);

  std::map<std::string, std::string> types_;  // lower-case extension -> type
};

}  // namespace qorva
