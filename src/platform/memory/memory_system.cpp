#include "platform/memory/memory_system.h"

#include "platform/native_system.h"

namespace qorva {

MemorySystem::MemorySystem() : native_(CreateNativeSystem()) {
  version = native_->ModuleFileVersion();
}

MemorySystem::~MemorySystem() = default;

Text MemorySystem::LoadString(uint32_t id) const { return native_->LoadString(id); }

Guid MemorySystem::NewGuid() { return fixedGuid ? *fixedGuid : native_->NewGuid(); }

std::string MemorySystem::EncodeAnsi(TextView text) const { return native_->EncodeAnsi(text); }

Text MemorySystem::DecodeAnsi(std::string_view bytes) const { return native_->DecodeAnsi(bytes); }

uint32_t MemorySystem::CurrentThreadId() const {
  return threadId.value_or(native_->CurrentThreadId());
}

uint32_t MemorySystem::TickCount() const { return tickCount.value_or(native_->TickCount()); }

}  // namespace qorva
