// A registry held in memory, with the case-insensitive key paths and the access rules
// of the real one. It counts open handles so that tests can see every key closed.
#pragma once

#include <map>
#include <memory>
#include <variant>

#include "platform/registry.h"

namespace qorva {

class MemoryRegistry final : public Registry {
 public:
  using Value = std::variant<uint32_t, Text>;

  MemoryRegistry();
  ~MemoryRegistry() override;

  std::unique_ptr<RegistryKey> OpenKey(RegistryHive hive, TextView path,
                                       RegistryAccess access) override;
  std::unique_ptr<RegistryKey> CreateKey(RegistryHive hive, TextView path) override;
  bool DeleteKeyTree(RegistryHive hive, TextView path) override;

  bool KeyExists(RegistryHive hive, TextView path) const;
  std::optional<Value> ValueOf(RegistryHive hive, TextView path, TextView name) const;
  // Sets a value directly, creating the key; for preparing a scene.
  void Set(RegistryHive hive, TextView path, TextView name, Value value);
  // Keys whose handles have not been destroyed yet.
  int OpenHandleCount() const;

 private:
  struct Store;
  class Key;
  std::shared_ptr<Store> store_;
};

}  // namespace qorva
