// A paste context on a system port that hands out one fixed GUID, so that the file names
// a paste writes, and therefore its output, are the same on every run. Tests that run
// at the same time use different GUIDs, so that they never write the same file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "paste/paste_context.h"
#include "platform/memory/memory_system.h"
#include "support/encoding.h"

namespace qorva {

// A system port whose every GUID has `first` as its first field.
inline MemorySystem& FixedGuids(MemorySystem& system, uint32_t first) {
  system.fixedGuid = Guid{first, 0, 0, {}};
  return system;
}

struct PasteScene {
  explicit PasteScene(uint32_t lineFix = 1, uint32_t guid = 0)
      : context{map, fallbackImageTags, lineFix, FixedGuids(system, guid)} {}

  MemorySystem system;
  COfficeStyleMap map;
  std::vector<Text> fallbackImageTags;
  PasteContext context;
};

}  // namespace qorva
