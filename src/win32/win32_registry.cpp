#include "win32/win32_registry.h"

#include <windows.h>

#include "win32/wide_text.h"

namespace qorva {

namespace {

HKEY RootOf(RegistryHive hive) {
  switch (hive) {
    case RegistryHive::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryHive::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryHive::kClassesRoot:
      break;
  }
  return HKEY_CLASSES_ROOT;
}

class Win32Key final : public RegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}
  ~Win32Key() override { RegCloseKey(key_); }

  std::optional<uint32_t> ReadDword(TextView name) override {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    LONG rc = RegQueryValueExW(key_, Wide(name).c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(&value), &size);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return std::nullopt;
    return value;
  }

  bool WriteDword(TextView name, uint32_t value) override {
    DWORD data = value;
    return RegSetValueExW(key_, Wide(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
  }

  std::optional<Text> ReadString(TextView name) override {
    std::wstring wideName = Wide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return std::nullopt;
    }
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    buffer.resize(got / sizeof(wchar_t));
    while (!buffer.empty() && buffer.back() == L'\0') buffer.pop_back();
    return FromWide(buffer);
  }

  bool WriteString(TextView name, TextView value) override {
    std::wstring data = Wide(value);
    DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, Wide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()), bytes) == ERROR_SUCCESS;
  }

  bool DeleteValue(TextView name) override {
    return RegDeleteValueW(key_, Wide(name).c_str()) == ERROR_SUCCESS;
  }

 private:
  HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::OpenKey(RegistryHive hive, TextView path,
                                                    RegistryAccess access) {
  HKEY key = nullptr;
  REGSAM sam = access == RegistryAccess::kFull ? KEY_ALL_ACCESS : KEY_READ;
  if (RegOpenKeyExW(RootOf(hive), Wide(path).c_str(), 0, sam, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<Win32Key>(key);
}

std::unique_ptr<RegistryKey> Win32Registry::CreateKey(RegistryHive hive, TextView path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(RootOf(hive), Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<Win32Key>(key);
}

bool Win32Registry::DeleteKeyTree(RegistryHive hive, TextView path) {
  // With a sub-key named, the key itself goes along with everything below it.
  return RegDeleteTreeW(RootOf(hive), Wide(path).c_str()) == ERROR_SUCCESS;
}

}  // namespace qorva
