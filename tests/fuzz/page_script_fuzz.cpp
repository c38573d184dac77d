// What a page's script answers is the page's to choose: reading any answer never
// overruns, a refused answer is no outcome, and every argument a caller passes travels as
// one ASCII literal that the script cannot end early.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "browser/page_script.h"
#include "support/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  qorva::Text text = qorva::FromUtf8(bytes);
  std::optional<qorva::PageCallOutcome> outcome = qorva::ReadPageCallAnswer(text);
  if (outcome && outcome->status == qorva::PageCallStatus::kOk &&
      outcome->value.kind == qorva::PageValue::Kind::kString &&
      outcome->value.text != text.substr(2)) {
    std::abort();
  }
  std::string quoted = qorva::QuoteForScript(text);
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') std::abort();
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(quoted[i]);
    if (c < 0x20 || c > 0x7e) std::abort();
    // A quote inside is always escaped by an odd run of backslashes.
    if (c == '"') {
      size_t slashes = 0;
      while (slashes < i - 1 && quoted[i - 1 - slashes] == '\\') ++slashes;
      if (slashes % 2 == 0) std::abort();
    }
  }
  return 0;
}
