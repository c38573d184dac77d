// Feeds arbitrary text to the conversions that read what script passes in: UTF-8
// decoding and the automation number parser, and checks their round trips.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "control/automation_coercion.h"
#include "support/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  qorva::Text text = qorva::FromUtf8(bytes);
  // Decoding what we encoded gives the text back.
  if (qorva::FromUtf8(qorva::ToUtf8(text)) != text) std::abort();
  for (auto type : {qorva::ValueType::kInt, qorva::ValueType::kUint, qorva::ValueType::kString}) {
    qorva::Coercion result = qorva::Coerce(qorva::Variant::String(text), type);
    if (result.status != qorva::DispatchStatus::kOk || type == qorva::ValueType::kString) continue;
    // A number that was read prints as text that reads back as the same number.
    qorva::Coercion text2 = qorva::Coerce(result.value, qorva::ValueType::kString);
    qorva::Coercion back = qorva::Coerce(text2.value, type);
    if (back.status != qorva::DispatchStatus::kOk || back.value.i4 != result.value.i4 ||
        back.value.ui4 != result.value.ui4) {
      std::abort();
    }
  }
  return 0;
}
