#include "support/string_table.h"

#include <string_view>

#include "platform/system.h"
#include "support/encoding.h"

namespace qorva {

namespace {

struct Entry {
  uint32_t id;
  std::string_view utf8;
};

constexpr Entry kEntries[] = {
#define QORVA_STRING(id, text) {id, text},
#include "support/string_table.inc"
#undef QORVA_STRING
};

}  // namespace

Text StringTableText(uint32_t id) {
  for (const Entry& entry : kEntries) {
    if (entry.id == id) return FromUtf8(entry.utf8);
  }
  return {};
}

Text LoadResourceText(const System& system, uint32_t id) { return system.LoadString(id); }

}  // namespace qorva
