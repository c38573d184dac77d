#include "transfer/html_file.h"

#include <filesystem>
#include <system_error>

#include "support/encoding.h"
#include "support/file_path.h"
#include "support/string_helpers.h"

namespace qorva {

Text WithHtmlExtension(TextView path) {
  Text result(path);
  if (ExtractExtension(path).empty()) result += u".htm";
  return result;
}

std::string HtmlFileBytes(TextView html, TextView charset) {
  Text text;
  text.reserve(html.size() + html.size() / 16);
  for (size_t i = 0; i < html.size(); ++i) {
    const char16_t unit = html[i];
    if (unit == u'\r' && i + 1 < html.size() && html[i + 1] == u'\n') continue;  // its LF follows
    if (unit == u'\n') text += u'\r';
    text += unit;
  }
  std::string bytes = ToLower(charset) == u"utf-8" ? "\xEF\xBB\xBF" : "";
  bytes += ToUtf8(text);
  return bytes;
}

HtmlSaveOutcome SaveHtmlFile(TextView path, TextView html, TextView charset) {
  switch (WriteFileBytes(path, HtmlFileBytes(html, charset))) {
    case WriteOutcome::kWritten:
      return HtmlSaveOutcome::kSaved;
    case WriteOutcome::kCutShort: {
      // Only a file of our own making goes: a device the user picked stays.
      std::error_code error;
      if (std::filesystem::is_regular_file(PathFromText(path), error)) {
        RemoveFileForcibly(PathFromText(path));
      }
      return HtmlSaveOutcome::kNotSaved;
    }
    case WriteOutcome::kNotOpened:
      break;
  }
  return HtmlSaveOutcome::kNotSaved;
}

}  // namespace qorva
