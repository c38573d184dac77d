// The registry, as far as the control reads and writes browser and system settings.
// A key is closed when its handle is destroyed.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "base/text.h"

namespace qorva {

enum class RegistryHive { kCurrentUser, kLocalMachine, kClassesRoot };
enum class RegistryAccess { kRead, kFull };

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // A 32-bit value; none when it is missing or not a 32-bit number.
  virtual std::optional<uint32_t> ReadDword(TextView name) = 0;
  // False when the value cannot be written (for instance on a key opened for reading).
  virtual bool WriteDword(TextView name, uint32_t value) = 0;
  virtual std::optional<Text> ReadString(TextView name) = 0;
  virtual bool WriteString(TextView name, TextView value) = 0;
  virtual bool DeleteValue(TextView name) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens an existing key; null when it does not exist or access is refused.
  // Paths use "\" and are compared without regard to letter case.
  virtual std::unique_ptr<RegistryKey> OpenKey(RegistryHive hive, TextView path,
                                               RegistryAccess access) = 0;
  // Opens the key with full access, creating it and any missing parent first.
  virtual std::unique_ptr<RegistryKey> CreateKey(RegistryHive hive, TextView path) = 0;
  // Deletes the key with every sub-key; false when it did not exist or could not go.
  virtual bool DeleteKeyTree(RegistryHive hive, TextView path) = 0;
};

}  // namespace qorva
