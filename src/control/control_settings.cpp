#include "control/control_settings.h"

#include <mutex>

namespace qorva {

namespace {

std::mutex& SettingsLock() {
  static std::mutex lock;
  return lock;
}

ControlSettings& Record() {
  static ControlSettings record;
  return record;
}

}  // namespace

ControlSettings SettingsSnapshot() {
  std::lock_guard guard(SettingsLock());
  return Record();
}

void UpdateSettings(const std::function<void(ControlSettings&)>& change) {
  std::lock_guard guard(SettingsLock());
  change(Record());
}

void ResetSettings() {
  std::lock_guard guard(SettingsLock());
  Record() = ControlSettings{};
}

}  // namespace qorva
