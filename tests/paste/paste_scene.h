// A paste context on a system port that hands out one fixed GUID, so that the file names
// a paste writes, and therefore its output, are the same on every run. Tests that run
// at the same time use different GUIDs, so that they never write the same file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "paste/paste_context.h"
#include "platform/system.h"
#include "support/encoding.h"

namespace qorva {

class FixedGuidSystem final : public System {
 public:
  explicit FixedGuidSystem(uint32_t first = 0) { guid_.data1 = first; }
  std::optional<FileVersion> ModuleFileVersion() const override { return std::nullopt; }
  Text LoadString(uint32_t) const override { return {}; }
  Guid NewGuid() override { return guid_; }
  std::string EncodeAnsi(TextView text) const override { return ToUtf8(text); }
  Text DecodeAnsi(std::string_view bytes) const override { return FromUtf8(bytes); }

 private:
  Guid guid_;
};

struct PasteScene {
  explicit PasteScene(uint32_t lineFix = 1, uint32_t guid = 0)
      : system(guid), context{map, fallbackImageTags, lineFix, system} {}

  FixedGuidSystem system;
  COfficeStyleMap map;
  std::vector<Text> fallbackImageTags;
  PasteContext context;
};

}  // namespace qorva
