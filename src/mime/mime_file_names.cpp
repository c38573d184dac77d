#include "mime/mime_file_names.h"

#include <filesystem>
#include <system_error>

#include "support/file_path.h"

namespace qorva {

namespace {

constexpr TextView kFileUrl = u"file:///";

bool IsDeviceName(TextView name) {
  Text base = ToLower(name.substr(0, name.find(u'.')));
  while (!base.empty() && base.back() == u' ') base.pop_back();
  for (TextView device : {u"con", u"prn", u"aux", u"nul", u"conin$", u"conout$"}) {
    if (base == device) return true;
  }
  // Windows also takes the superscript digits one to three for port numbers.
  return base.size() == 4 && (base.starts_with(u"com") || base.starts_with(u"lpt")) &&
         ((base[3] >= u'0' && base[3] <= u'9') ||
          TextView(u"\u00B9\u00B2\u00B3").find(base[3]) != TextView::npos);
}

bool IsFileAt(TextView path) {
  if (path.empty()) return false;
  std::error_code error;
  auto status = std::filesystem::status(PathFromText(path), error);
  return !error && std::filesystem::is_regular_file(status);
}

}  // namespace

Text SanitizeFileName(TextView name) {
  Text out(name);
  for (char16_t& unit : out) {
    if (TextView(u"\\/:*?\"<>|").find(unit) != TextView::npos) unit = u'_';
  }
  return out;
}

Text ReduceToFileName(TextView name) {
  Text out = SanitizeFileName(name);
  for (char16_t& unit : out) {
    if (unit < 0x20 || unit == 0x7F) unit = u'_';
  }
  while (!out.empty() && (out.back() == u'.' || out.back() == u' ')) out.pop_back();
  if (out.empty()) return {};
  if (IsDeviceName(out)) out.insert(out.begin(), u'_');
  return out;
}

Text ToggleFileUrl(TextView text) {
  Text out(text);
  if (out.find(kFileUrl) != Text::npos) {
    ReplaceAll(out, kFileUrl, u"");
    for (char16_t& unit : out) {
      if (unit == u'/') unit = u'\\';
    }
    return out;
  }
  if (out.find(u'\\') == Text::npos) return out;
  for (char16_t& unit : out) {
    if (unit == u'\\') unit = u'/';
  }
  return Text(kFileUrl) + out;
}

bool IsExistingLocalFile(TextView text) {
  if (IsFileAt(text)) return true;
  Text stripped(text);
  ReplaceAll(stripped, kFileUrl, u"");
  return IsFileAt(stripped);
}

}  // namespace qorva
