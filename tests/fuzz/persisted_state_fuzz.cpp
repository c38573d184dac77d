// A host hands the control any bytes as its saved state: parsing never overruns, and what
// parses serialises back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "control/persisted_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  auto parsed = qorva::ParsePersistedState(bytes);
  if (!parsed) return 0;
  std::string again = qorva::SerializePersistedState(*parsed);
  auto reparsed = qorva::ParsePersistedState(again);
  if (!reparsed || *reparsed != *parsed) std::abort();
  return 0;
}
