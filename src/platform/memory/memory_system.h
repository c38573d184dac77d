// The system port for the command and the tests: the platform's own service, with the
// facts a test wants fixed set in the open. Unset, each answers as the platform does.
#pragma once

#include <memory>
#include <optional>

#include "platform/system.h"

namespace qorva {

class MemorySystem final : public System {
 public:
  MemorySystem();
  ~MemorySystem() override;

  // The module version to report; the platform's own until set.
  std::optional<FileVersion> version;
  // When set, every new GUID is this one, so that file names repeat from run to run.
  std::optional<Guid> fixedGuid;
  // When set, the thread and tick count the upload's form boundary mixes in; else the
  // platform's own, read at each call.
  std::optional<uint32_t> threadId;
  std::optional<uint32_t> tickCount;

  std::optional<FileVersion> ModuleFileVersion() const override { return version; }
  Text LoadString(uint32_t id) const override;
  Guid NewGuid() override;
  std::string EncodeAnsi(TextView text) const override;
  Text DecodeAnsi(std::string_view bytes) const override;
  uint32_t CurrentThreadId() const override;
  uint32_t TickCount() const override;

 private:
  std::unique_ptr<System> native_;
};

}  // namespace qorva
