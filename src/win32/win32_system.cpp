// The system port on Windows: the module's VERSIONINFO and STRINGTABLE, GUIDs from
// COM and the system's ANSI code page.
#include <objbase.h>
#include <windows.h>

#include <vector>

#include "platform/native_system.h"
#include "win32/own_module.h"

namespace qorva {

HMODULE OwnModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&OwnModule), &module);
  return module;
}

namespace {

class Win32System final : public System {
 public:
  std::optional<FileVersion> ModuleFileVersion() const override {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(OwnModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path, 0, size, block.data())) return std::nullopt;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || !info ||
        infoSize < sizeof(VS_FIXEDFILEINFO)) {
      return std::nullopt;
    }
    return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                       HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
  }

  Text LoadString(uint32_t id) const override {
    const wchar_t* text = nullptr;
    // With a zero buffer size the call hands out a pointer into the resource itself.
    int length = LoadStringW(OwnModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return {};
    return Text(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(length));
  }

  Guid NewGuid() override {
    GUID raw{};
    CoCreateGuid(&raw);
    Guid guid;
    guid.data1 = raw.Data1;
    guid.data2 = raw.Data2;
    guid.data3 = raw.Data3;
    for (int i = 0; i < 8; ++i) guid.data4[i] = raw.Data4[i];
    return guid;
  }

  std::string EncodeAnsi(TextView text) const override {
    if (text.empty()) return {};
    auto wide = reinterpret_cast<const wchar_t*>(text.data());
    int size = static_cast<int>(text.size());
    int needed = WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string out(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, size, out.data(), needed, nullptr, nullptr);
    return out;
  }

  Text DecodeAnsi(std::string_view bytes) const override {
    if (bytes.empty()) return {};
    int size = static_cast<int>(bytes.size());
    int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (needed <= 0) return {};
    Text out(static_cast<size_t>(needed), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(out.data()),
                        needed);
    return out;
  }

  uint32_t CurrentThreadId() const override { return GetCurrentThreadId(); }
  uint32_t TickCount() const override { return GetTickCount(); }
};

}  // namespace

std::unique_ptr<System> CreateNativeSystem() { return std::make_unique<Win32System>(); }

}  // namespace qorva
