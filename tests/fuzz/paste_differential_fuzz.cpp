// Cleans arbitrary clipboard HTML with the production passes and with the literal ones
// and fails on any difference: text, source type or state left for the next paste.
// Two pastes run in turn so that the second sees the first one's style map.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "paste/oracle/literal_paste.h"
#include "paste/paste_cleanup.h"
#include "paste/paste_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  qorva::Text html = qorva::FromUtf8(bytes);
  const uint32_t lineFix = size % 2;
  qorva::PasteScene fast(lineFix), slow(lineFix);
  // The second paste is the first half of the input: often without a style sheet.
  for (const qorva::Text& paste : {html, html.substr(0, html.size() / 2)}) {
    qorva::Text a = paste, b = paste;
    uint32_t typeA = qorva::CleanPastedHtml(a, fast.context);
    uint32_t typeB = qorva::oracle::CleanPastedHtml(b, slow.context);
    if (typeA != typeB || a != b || fast.fallbackImageTags != slow.fallbackImageTags ||
        fast.map.size() != slow.map.size()) {
      std::abort();
    }
  }
  return 0;
}
