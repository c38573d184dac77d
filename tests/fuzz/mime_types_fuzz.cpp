// Reads arbitrary text as a mime.types file and looks extensions up in it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "posix/posix_content_types.h"
#include "support/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  qorva::MimeTypesFile table = qorva::MimeTypesFile::FromText(text);
  for (const char16_t* extension : {u".png", u".PNG", u"", u".", u"png"}) {
    table.ContentTypeOf(extension);
  }
  // Every word after the first on a line is an extension of that line's type.
  size_t space = text.find(' ');
  if (space != std::string_view::npos && table.size() > 0) {
    std::string word(text.substr(space + 1, text.find_first_of(" \t\r\n#", space + 1) - space - 1));
    if (!word.empty()) table.ContentTypeOf(u"." + qorva::FromUtf8(word));
  }
  return 0;
}
