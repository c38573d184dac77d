// What another program offers as text/uri-list or text/html on the X11 clipboard is
// arbitrary bytes: reading it never overruns, and the HTML block's offsets stay inside.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "posix/x11_clipboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  qorva::PathsFromUriList(bytes);
  std::string block = qorva::HtmlFormatFromFragment(bytes);
  size_t at = block.find("EndHTML:");
  if (at == std::string::npos || std::stoul(block.substr(at + 8, 10)) != block.size() - 1) {
    std::abort();
  }
  return 0;
}
