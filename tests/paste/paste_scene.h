// A paste context on a system port whose GUIDs are all zero, so that the file names a
// paste writes, and therefore its output, are the same on every run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "paste/paste_context.h"
#include "platform/system.h"
#include "support/encoding.h"

namespace qorva {

class ZeroGuidSystem final : public System {
 public:
  std::optional<FileVersion> ModuleFileVersion() const override { return std::nullopt; }
  Text LoadString(uint32_t) const override { return {}; }
  Guid NewGuid() override { return {}; }
  std::string EncodeAnsi(TextView text) const override { return ToUtf8(text); }
  Text DecodeAnsi(std::string_view bytes) const override { return FromUtf8(bytes); }
};

struct PasteScene {
  explicit PasteScene(uint32_t lineFix = 1) : context{map, fallbackImageTags, lineFix, system} {}

  ZeroGuidSystem system;
  COfficeStyleMap map;
  std::vector<Text> fallbackImageTags;
  PasteContext context;
};

}  // namespace qorva
