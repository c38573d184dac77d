#include "platform/memory/memory_registry.h"

#include <utility>

namespace qorva {

namespace {

// Folds letter case and drops empty path elements, as the registry's own lookup does.
Text NormalisePath(TextView path) {
  Text out;
  for (char16_t unit : path) {
    if (unit == u'\\' && (out.empty() || out.back() == u'\\')) continue;
    out.push_back(ToLowerUnit(unit));
  }
  while (!out.empty() && out.back() == u'\\') out.pop_back();
  return out;
}

}  // namespace

struct MemoryRegistry::Store {
  struct KeyData {
    std::map<Text, Value> values;  // by lower-cased name
  };
  std::map<std::pair<RegistryHive, Text>, KeyData> keys;
  int openHandles = 0;

  KeyData* Find(RegistryHive hive, const Text& path) {
    auto it = keys.find({hive, path});
    return it == keys.end() ? nullptr : &it->second;
  }
};

class MemoryRegistry::Key final : public RegistryKey {
 public:
  Key(std::shared_ptr<Store> store, RegistryHive hive, Text path, RegistryAccess access)
      : store_(std::move(store)), hive_(hive), path_(std::move(path)), access_(access) {
    ++store_->openHandles;
  }
  ~Key() override { --store_->openHandles; }

  std::optional<uint32_t> ReadDword(TextView name) override {
    const Value* value = Find(name);
    if (!value || !std::holds_alternative<uint32_t>(*value)) return std::nullopt;
    return std::get<uint32_t>(*value);
  }
  bool WriteDword(TextView name, uint32_t value) override { return Write(name, value); }
  std::optional<Text> ReadString(TextView name) override {
    const Value* value = Find(name);
    if (!value || !std::holds_alternative<Text>(*value)) return std::nullopt;
    return std::get<Text>(*value);
  }
  bool WriteString(TextView name, TextView value) override { return Write(name, Text(value)); }
  bool DeleteValue(TextView name) override {
    Store::KeyData* data = store_->Find(hive_, path_);
    if (access_ != RegistryAccess::kFull || !data) return false;
    return data->values.erase(ToLower(name)) > 0;
  }

 private:
  const Value* Find(TextView name) {
    Store::KeyData* data = store_->Find(hive_, path_);
    if (!data) return nullptr;
    auto it = data->values.find(ToLower(name));
    return it == data->values.end() ? nullptr : &it->second;
  }
  bool Write(TextView name, Value value) {
    Store::KeyData* data = store_->Find(hive_, path_);
    if (access_ != RegistryAccess::kFull || !data) return false;
    data->values[ToLower(name)] = std::move(value);
    return true;
  }

  std::shared_ptr<Store> store_;
  RegistryHive hive_;
  Text path_;
  RegistryAccess access_;
};

MemoryRegistry::MemoryRegistry() : store_(std::make_shared<Store>()) {}
MemoryRegistry::~MemoryRegistry() = default;

std::unique_ptr<RegistryKey> MemoryRegistry::OpenKey(RegistryHive hive, TextView path,
                                                     RegistryAccess access) {
  Text normal = NormalisePath(path);
  if (!store_->Find(hive, normal)) return nullptr;
  return std::make_unique<Key>(store_, hive, std::move(normal), access);
}

std::unique_ptr<RegistryKey> MemoryRegistry::CreateKey(RegistryHive hive, TextView path) {
  Text normal = NormalisePath(path);
  if (normal.empty()) return nullptr;
  for (size_t cut = normal.find(u'\\'); cut != Text::npos; cut = normal.find(u'\\', cut + 1)) {
    store_->keys.try_emplace({hive, normal.substr(0, cut)});
  }
  store_->keys.try_emplace({hive, normal});
  return std::make_unique<Key>(store_, hive, std::move(normal), RegistryAccess::kFull);
}

bool MemoryRegistry::DeleteKeyTree(RegistryHive hive, TextView path) {
  Text normal = NormalisePath(path);
  if (normal.empty() || !store_->Find(hive, normal)) return false;
  Text prefix = normal + u'\\';
  for (auto it = store_->keys.begin(); it != store_->keys.end();) {
    const auto& [keyHive, keyPath] = it->first;
    bool inside = keyHive == hive && (keyPath == normal || keyPath.starts_with(prefix));
    it = inside ? store_->keys.erase(it) : std::next(it);
  }
  return true;
}

bool MemoryRegistry::KeyExists(RegistryHive hive, TextView path) const {
  return store_->Find(hive, NormalisePath(path)) != nullptr;
}

std::optional<MemoryRegistry::Value> MemoryRegistry::ValueOf(RegistryHive hive, TextView path,
                                                             TextView name) const {
  Store::KeyData* data = store_->Find(hive, NormalisePath(path));
  if (!data) return std::nullopt;
  auto it = data->values.find(ToLower(name));
  if (it == data->values.end()) return std::nullopt;
  return it->second;
}

void MemoryRegistry::Set(RegistryHive hive, TextView path, TextView name, Value value) {
  auto key = CreateKey(hive, path);
  if (!key) return;
  if (auto* number = std::get_if<uint32_t>(&value)) {
    key->WriteDword(name, *number);
  } else {
    key->WriteString(name, std::get<Text>(value));
  }
}

int MemoryRegistry::OpenHandleCount() const { return store_->openHandles; }

}  // namespace qorva
