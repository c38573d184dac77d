#include "paste/inline_images.h"

#include <fstream>

#include "support/file_path.h"
#include "support/working_folder.h"

namespace qorva {

namespace {

int Base64Value(char16_t unit) {
  if (unit >= u'A' && unit <= u'Z') return unit - u'A';
  if (unit >= u'a' && unit <= u'z') return unit - u'a' + 26;
  if (unit >= u'0' && unit <= u'9') return unit - u'0' + 52;
  if (unit == u'+') return 62;
  if (unit == u'/') return 63;
  return -1;
}

// An extension that keeps the file in the working folder under a name any platform
// can hold: no separators, no reserved characters, no control characters.
bool UsableExtension(TextView extension) {
  for (char16_t unit : extension) {
    if (unit < 0x20 || unit == 0x7F) return false;
    switch (unit) {
      case u'\\':
      case u'/':
      case u':':
      case u'*':
      case u'?':
      case u'"':
      case u'<':
      case u'>':
      case u'|':
        return false;
      default:
        break;
    }
  }
  return true;
}

}  // namespace

std::string DecodeBase64(TextView text) {
  std::string bytes;
  bytes.reserve(text.size() / 4 * 3);
  char16_t group[4];
  size_t filled = 0;
  for (char16_t unit : text) {
    if (unit != u'=' && Base64Value(unit) < 0) continue;
    group[filled++] = unit;
    if (filled < 4) continue;
    filled = 0;
    uint32_t bits = 0;
    for (char16_t g : group)
      bits = (bits << 6) | static_cast<uint32_t>(std::max(0, Base64Value(g)));
    size_t count = group[3] != u'=' ? 3 : group[2] != u'=' ? 2 : 1;
    bytes.push_back(static_cast<char>(bits >> 16));
    if (count > 1) bytes.push_back(static_cast<char>(bits >> 8));
    if (count > 2) bytes.push_back(static_cast<char>(bits));
  }
  return bytes;
}

Text SaveBase64Image(System& system, TextView base64, TextView extension) {
  Text ext = ToLower(extension);
  ReplaceAll(ext, u"jpeg", u"jpg");
  if (!UsableExtension(ext)) return {};
  std::string bytes = DecodeBase64(base64);
  Text path = NewWorkingFilePath(system, ext);
  if (WriteFileBytes(path, bytes) != WriteOutcome::kWritten) return {};
  return path;
}

}  // namespace qorva
