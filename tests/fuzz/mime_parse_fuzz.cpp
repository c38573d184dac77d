// Parses arbitrary bytes as a MIME message, with header folding off or on. Parsing must
// stay inside the text, and whatever was read must serialise within its own size bound.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "mime/mime_codec_registry.h"
#include "mime/mime_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qorva;
  if (size == 0) return 0;
  if (data[0] & 1) {
    EnableHeaderFolding();
  } else {
    ResetMimeCodecRegistries();
  }
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  CMimeMessage message;
  ptrdiff_t used = message.Parse(text);
  if (used > static_cast<ptrdiff_t>(text.size())) std::abort();
  if (used <= 0) return 0;

  std::vector<CMimeBody*> leaves;
  message.CollectLeafParts(leaves);
  size_t bound = message.SerializedSize();
  std::string tight(bound, '\0');
  ptrdiff_t written = message.Serialize(tight.data(), tight.size());
  if (written > static_cast<ptrdiff_t>(bound)) std::abort();
  std::string roomy(bound * 2 + 64, '\0');
  ptrdiff_t again = message.Serialize(roomy.data(), roomy.size());
  if (again != written) std::abort();
  if (written > 0 && tight.compare(0, written, roomy, 0, written) != 0) std::abort();
  return 0;
}
