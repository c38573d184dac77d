// The exported entry points of the control module.
#include "win32/activex/module.h"

#include <atomic>

#include "control/registration.h"
#include "platform/native_system.h"
#include "win32/activex/class_factory.h"
#include "win32/activex/com_ids.h"
#include "win32/activex/imp_idispatch.h"
#include "win32/activex/win32_com_registrar.h"
#include "win32/wide_text.h"
#include "win32/win32_registry.h"

namespace qorva {

namespace {

HINSTANCE g_instance = nullptr;
std::atomic<long> g_useCount{0};

// Registration runs in the registration tool's process, where COM may not be started.
class ComScope {
 public:
  ComScope() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (started_) CoUninitialize();
  }

 private:
  bool started_;
};

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }

Text ModuleFilePath() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(g_instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return FromWide(std::wstring_view(path, length));
}

void ModuleAddRef() { ++g_useCount; }
void ModuleRelease() { --g_useCount; }
bool ModuleInUse() { return g_useCount.load() > 0; }

}  // namespace qorva

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    qorva::g_instance = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    qorva::DestroyModuleExternalObject();
  }
  return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  qorva::CClassFactory::Product product;
  if (IsEqualCLSID(clsid, CLSID_qorvaeditor)) {
    product = qorva::CClassFactory::Product::kControl;
  } else if (IsEqualCLSID(clsid, CLSID_qorvaeditorPropPage)) {
    product = qorva::CClassFactory::Product::kPropertyPage;
  } else {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return qorva::GuardComCall([&] {
    return qorva::MakeComObject<qorva::CClassFactory>(product)->QueryInterface(iid, object);
  });
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return qorva::ModuleInUse() ? S_FALSE : S_OK; }

extern "C" HRESULT __stdcall DllRegisterServer() {
  try {
    qorva::ComScope com;
    qorva::Win32Registry registry;
    qorva::Win32ComRegistrar registrar;
    auto system = qorva::CreateNativeSystem();
    return static_cast<HRESULT>(qorva::RegisterServer(registry, registrar, *system));
  } catch (...) {
    return static_cast<HRESULT>(qorva::kSelfRegClassFailed);
  }
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
  try {
    qorva::ComScope com;
    qorva::Win32Registry registry;
    qorva::Win32ComRegistrar registrar;
    return static_cast<HRESULT>(qorva::UnregisterServer(registry, registrar));
  } catch (...) {
    return static_cast<HRESULT>(qorva::kSelfRegClassFailed);
  }
}
