// The registry port on the Win32 registry.
#pragma once

#include "platform/registry.h"

namespace qorva {

class Win32Registry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenKey(RegistryHive hive, TextView path,
                                       RegistryAccess access) override;
  std::unique_ptr<RegistryKey> CreateKey(RegistryHive hive, TextView path) override;
  bool DeleteKeyTree(RegistryHive hive, TextView path) override;
};

}  // namespace qorva
