#include "win32/activex/win32_com_registrar.h"

#include <comcat.h>
#include <oleauto.h>
#include <windows.h>

#include <cwchar>

#include "control/class_ids.h"
#include "win32/activex/module.h"
#include "win32/com_ptr.h"
#include "win32/wide_text.h"

namespace qorva {

namespace {

bool ParseGuid(TextView text, GUID& guid) {
  std::wstring wide = Wide(text);
  return SUCCEEDED(CLSIDFromString(wide.c_str(), &guid));
}

ComPtr<ICatRegister> CategoryManager() {
  ComPtr<ICatRegister> manager;
  HRESULT hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(manager.ReleaseAndGetAddressOf()));
  if (FAILED(hr)) return nullptr;
  return manager;
}

}  // namespace

Text Win32ComRegistrar::ModulePath() const { return ModuleFilePath(); }

bool Win32ComRegistrar::RegisterTypeLibrary() {
  std::wstring path = Wide(ModuleFilePath());
  ComPtr<ITypeLib> library;
  return SUCCEEDED(LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, library.ReleaseAndGetAddressOf()));
}

bool Win32ComRegistrar::UnregisterTypeLibrary(TextView libId, unsigned major, unsigned minor) {
  GUID guid;
  if (!ParseGuid(libId, guid)) return false;
  SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  return SUCCEEDED(UnRegisterTypeLib(guid, static_cast<WORD>(major), static_cast<WORD>(minor),
                                     kTypeLibLcid, kind));
}

bool Win32ComRegistrar::CreateComponentCategory(TextView catId, uint32_t lcid,
                                                TextView description) {
  CATEGORYINFO info{};
  if (!ParseGuid(catId, info.catid)) return false;
  info.lcid = lcid;
  std::wstring text = Wide(description);
  size_t length = std::min(text.size(), static_cast<size_t>(127));
  wmemcpy(info.szDescription, text.c_str(), length);
  info.szDescription[length] = L'\0';
  ComPtr<ICatRegister> manager = CategoryManager();
  return manager && SUCCEEDED(manager->RegisterCategories(1, &info));
}

bool Win32ComRegistrar::RegisterClassImplementsCategory(TextView clsid, TextView catId) {
  GUID classGuid, category;
  if (!ParseGuid(clsid, classGuid) || !ParseGuid(catId, category)) return false;
  ComPtr<ICatRegister> manager = CategoryManager();
  return manager && SUCCEEDED(manager->RegisterClassImplCategories(classGuid, 1, &category));
}

bool Win32ComRegistrar::IsNtAboveVersion5() const {
  // The version query of the kernel itself: the compatible one answers for the manifest.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto query = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                           reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                     : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!query || query(&info) != 0) return false;
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion > 5;
}

void Win32ComRegistrar::RefreshElevationPolicy() {
  HMODULE frame = LoadLibraryW(L"ieframe.dll");
  if (!frame) return;
  using RefreshFn = HRESULT(WINAPI*)();
  auto refresh = reinterpret_cast<RefreshFn>(
      reinterpret_cast<void*>(GetProcAddress(frame, "IERefreshElevationPolicy")));
  if (refresh) refresh();
  FreeLibrary(frame);
}

}  // namespace qorva
