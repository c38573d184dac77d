// The system port on Linux: the version the build stamps, the compiled-in string
// table, GUIDs from the kernel's random source and CP949 as the ANSI code page.
#pragma once

#include "platform/system.h"

namespace qorva {

class PosixSystem final : public System {
 public:
  std::optional<FileVersion> ModuleFileVersion() const override;
  Text LoadString(uint32_t id) const override;
  Guid NewGuid() override;
  std::string EncodeAnsi(TextView text) const override;
  Text DecodeAnsi(std::string_view bytes) const override;
  uint32_t CurrentThreadId() const override;
  uint32_t TickCount() const override;
};

}  // namespace qorva
