#include "transfer/local_path.h"

#include <string>

#include "support/encoding.h"

namespace qorva {

std::filesystem::path FileSystemPath(TextView path) {
  std::string bytes = ToUtf8(path);
  return std::filesystem::path(std::u8string(bytes.begin(), bytes.end()));
}

}  // namespace qorva
