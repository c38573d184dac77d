// Feeds arbitrary text to what the transfer code reads from outside: URLs given by the
// page and the raw headers of a server's response.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/encoding.h"
#include "support/image_files.h"
#include "transfer/download.h"
#include "transfer/upload.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qorva;
  Text text = FromUtf8(std::string(reinterpret_cast<const char*>(data), size));

  uint32_t port = UrlPort(text);
  if (port == 0 || port > 65536) std::abort();
  Text host = UrlHostName(text);
  if (host.find_first_of(u":/") != Text::npos) std::abort();

  Text type = ContentTypeFromHeaders(text);
  if (type != ToLower(type) || type != Trim(type)) std::abort();
  Text ext = ExtensionForContentType(type);
  if (ext != u"jpg" && ext != u"png" && ext != u"bmp" && ext != u"gif" && ext != u"tiff") {
    std::abort();
  }
  return 0;
}
