// Page addresses come from any page and policy lists from the registry: reading either
// never overruns, and an origin read from an address is matched by a list naming it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "browser/site_lock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qorva::Text text(size / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  std::optional<qorva::Origin> origin = qorva::OriginOfUrl(text);
  qorva::OriginList list = qorva::OriginList::Parse(text);
  list.Contains(origin);
  if (origin && !origin->host.empty() &&
      origin->host.find_first_of(u";, \t\r\n*/\\?#@") == qorva::Text::npos) {
    qorva::Text entry = origin->scheme + u"://" + origin->host;
    if (origin->port != 0) entry += u":" + qorva::Widen(std::to_string(origin->port));
    if (!qorva::OriginList::Parse(entry).Contains(origin)) std::abort();
  }
  return 0;
}
