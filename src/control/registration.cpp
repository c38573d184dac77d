#include "control/registration.h"

#include <memory>

#include "control/class_ids.h"
#include "platform/com_registrar.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "support/string_table.h"

namespace qorva {

namespace {

constexpr uint32_t kControlNameId = 1;
constexpr uint32_t kPropPageNameId = 2;
constexpr uint32_t kCategoryLcid = 1033;
constexpr size_t kCategoryDescriptionMax = 127;

Text ClassKey(TextView clsid) { return u"CLSID\\" + Text(clsid); }

bool SetDefault(Registry& registry, TextView path, TextView value) {
  auto key = registry.CreateKey(RegistryHive::kClassesRoot, path);
  return key && key->WriteString(u"", value);
}

bool SetNamed(Registry& registry, TextView path, TextView name, TextView value) {
  auto key = registry.CreateKey(RegistryHive::kClassesRoot, path);
  return key && key->WriteString(name, value);
}

bool CreateEmpty(Registry& registry, TextView path) {
  return registry.CreateKey(RegistryHive::kClassesRoot, path) != nullptr;
}

// The in-process server entries every class of the module has, and its program id.
bool RegisterClass(Registry& registry, TextView clsid, TextView progId, TextView name,
                   TextView modulePath) {
  Text key = ClassKey(clsid);
  return SetDefault(registry, key, name) &&
         SetDefault(registry, key + u"\\InprocServer32", modulePath) &&
         SetNamed(registry, key + u"\\InprocServer32", u"ThreadingModel", u"Apartment") &&
         SetDefault(registry, key + u"\\ProgID", progId) && SetDefault(registry, progId, name) &&
         SetDefault(registry, Text(progId) + u"\\CLSID", clsid);
}

bool RegisterControlClass(Registry& registry, const System& system, TextView modulePath) {
  Text name = LoadResourceText(system, kControlNameId);
  Text key = ClassKey(kControlClsid);
  return RegisterClass(registry, kControlClsid, kControlProgId, name, modulePath) &&
         CreateEmpty(registry, key + u"\\Control") &&
         CreateEmpty(registry, key + u"\\Insertable") &&
         CreateEmpty(registry, Text(kControlProgId) + u"\\Insertable") &&
         SetDefault(registry, key + u"\\MiscStatus", u"0") &&
         SetDefault(registry, key + u"\\MiscStatus\\1", FormatText("%u", kControlMiscStatus)) &&
         SetDefault(registry, key + u"\\ToolboxBitmap32", Text(modulePath) + u", 1") &&
         SetDefault(registry, key + u"\\TypeLib", kLibId) &&
         SetDefault(registry, key + u"\\Version",
                    FormatText("%u.%u", kTypeLibMajor, kTypeLibMinor));
}

void RegisterCategory(ComRegistrar& registrar, TextView catId, TextView description) {
  Text cut(description.substr(0, kCategoryDescriptionMax));
  if (!registrar.CreateComponentCategory(catId, kCategoryLcid, cut)) return;
  registrar.RegisterClassImplementsCategory(kControlClsid, catId);
}

void RelaxLocalMachineLockdown(Registry& registry, ComRegistrar& registrar) {
  auto key = registry.CreateKey(RegistryHive::kCurrentUser, kLockdownFeatureKey);
  if (!key) return;
  key->WriteDword(u"iexplore.exe", 0);
  key.reset();
  registrar.RefreshElevationPolicy();
}

}  // namespace

uint32_t RegisterServer(Registry& registry, ComRegistrar& registrar, const System& system) {
  if (!registrar.RegisterTypeLibrary()) return kSelfRegTypeLibFailed;
  Text modulePath = registrar.ModulePath();
  if (!RegisterControlClass(registry, system, modulePath)) return kSelfRegClassFailed;
  RegisterCategory(registrar, kCatIdSafeForScripting, u"Controls that are safely scriptable");
  RegisterCategory(registrar, kCatIdSafeForInitializing,
                   u"Controls safely initializable from persistent data");
  if (!RegisterClass(registry, kPropPageClsid, kPropPageProgId,
                     LoadResourceText(system, kPropPageNameId), modulePath)) {
    return kSelfRegClassFailed;
  }
  if (registrar.IsNtAboveVersion5()) RelaxLocalMachineLockdown(registry, registrar);
  return kRegistrationOk;
}

uint32_t UnregisterServer(Registry& registry, ComRegistrar& registrar) {
  if (!registrar.UnregisterTypeLibrary(kLibId, kTypeLibMajor, kTypeLibMinor)) {
    return kSelfRegTypeLibFailed;
  }
  // A class that was never registered is no failure: unregistering twice succeeds.
  for (TextView key : {ClassKey(kControlClsid), Text(kControlProgId), ClassKey(kPropPageClsid),
                       Text(kPropPageProgId)}) {
    if (registry.OpenKey(RegistryHive::kClassesRoot, key, RegistryAccess::kRead) &&
        !registry.DeleteKeyTree(RegistryHive::kClassesRoot, key)) {
      return kSelfRegClassFailed;
    }
  }
  return kRegistrationOk;
}

}  // namespace qorva
