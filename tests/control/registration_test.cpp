#include "control/registration.h"

#include <gtest/gtest.h>

#include <set>

#include "control/class_ids.h"
#include "control_scene.h"
#include "platform/com_registrar.h"

namespace qorva {
namespace {

class RecordingRegistrar final : public ComRegistrar {
 public:
  bool typeLibOk = true;
  bool ntAbove5 = true;
  bool categoriesOk = true;
  int typeLibRegistrations = 0;
  int refreshes = 0;
  std::set<Text> categories;
  std::set<std::pair<Text, Text>> implemented;

  Text ModulePath() const override { return u"C:\\Windows\\System32\\qorvaeditor.ocx"; }
  bool RegisterTypeLibrary() override {
    typeLibRegistrations += typeLibOk;
    return typeLibOk;
  }
  bool UnregisterTypeLibrary(TextView libId, unsigned major, unsigned minor) override {
    return typeLibOk && libId == kLibId && major == 1 && minor == 0;
  }
  bool CreateComponentCategory(TextView catId, uint32_t lcid, TextView description) override {
    if (!categoriesOk || lcid != 1033 || description.size() > 127) return false;
    categories.insert(Text(catId));
    return true;
  }
  bool RegisterClassImplementsCategory(TextView clsid, TextView catId) override {
    implemented.insert({Text(clsid), Text(catId)});
    return true;
  }
  bool IsNtAboveVersion5() const override { return ntAbove5; }
  void RefreshElevationPolicy() override { ++refreshes; }
};

Text Default(MemoryRegistry& registry, TextView key) {
  auto value = registry.ValueOf(RegistryHive::kClassesRoot, key, u"");
  return value ? std::get<Text>(*value) : Text(u"<none>");
}

TEST(Registration, WritesTheClassesCategoriesAndFeatureKey) {
  MemoryRegistry registry;
  RecordingRegistrar registrar;
  MemorySystem system;
  system.version = FileVersion{1, 0, 0, 116};
  EXPECT_EQ(RegisterServer(registry, registrar, system), kRegistrationOk);
  Text key = u"CLSID\\" + Text(kControlClsid);
  EXPECT_EQ(Default(registry, key), u"qorvaeditor Control");
  EXPECT_EQ(Default(registry, key + u"\\InprocServer32"), registrar.ModulePath());
  EXPECT_EQ(std::get<Text>(*registry.ValueOf(RegistryHive::kClassesRoot, key + u"\\InprocServer32",
                                             u"ThreadingModel")),
            u"Apartment");
  EXPECT_EQ(Default(registry, key + u"\\MiscStatus\\1"), u"131473");
  EXPECT_EQ(Default(registry, key + u"\\ToolboxBitmap32"), registrar.ModulePath() + u", 1");
  EXPECT_EQ(Default(registry, key + u"\\TypeLib"), kLibId);
  EXPECT_TRUE(registry.KeyExists(RegistryHive::kClassesRoot, key + u"\\Control"));
  EXPECT_TRUE(registry.KeyExists(RegistryHive::kClassesRoot, key + u"\\Insertable"));
  EXPECT_EQ(Default(registry, Text(kControlProgId) + u"\\CLSID"), kControlClsid);
  EXPECT_EQ(Default(registry, u"CLSID\\" + Text(kPropPageClsid)), u"qorvaeditor Property Page");
  EXPECT_EQ(Default(registry, Text(kPropPageProgId) + u"\\CLSID"), kPropPageClsid);
  EXPECT_EQ(registrar.categories,
            (std::set<Text>{Text(kCatIdSafeForScripting), Text(kCatIdSafeForInitializing)}));
  EXPECT_EQ(registrar.implemented.size(), 2u);
  auto feature = registry.ValueOf(RegistryHive::kCurrentUser, kLockdownFeatureKey, u"iexplore.exe");
  ASSERT_TRUE(feature);
  EXPECT_EQ(std::get<uint32_t>(*feature), 0u);
  EXPECT_EQ(registrar.refreshes, 1);
  EXPECT_EQ(registry.OpenHandleCount(), 0);

  // Twice succeeds and leaves one set of entries.
  EXPECT_EQ(RegisterServer(registry, registrar, system), kRegistrationOk);
  EXPECT_EQ(Default(registry, key + u"\\InprocServer32"), registrar.ModulePath());
}

TEST(Registration, OnlyTypeLibraryAndClassesDecideTheResult) {
  MemoryRegistry registry;
  RecordingRegistrar registrar;
  MemorySystem system;
  system.version = FileVersion{1, 0, 0, 116};
  registrar.ntAbove5 = false;  // Windows XP: no feature key
  registrar.categoriesOk = false;
  EXPECT_EQ(RegisterServer(registry, registrar, system), kRegistrationOk);
  EXPECT_FALSE(registry.KeyExists(RegistryHive::kCurrentUser, kLockdownFeatureKey));
  EXPECT_TRUE(registrar.implemented.empty());  // only after the category was created
  EXPECT_EQ(registrar.refreshes, 0);

  RecordingRegistrar noTypeLib;
  noTypeLib.typeLibOk = false;
  MemoryRegistry empty;
  EXPECT_EQ(RegisterServer(empty, noTypeLib, system), kSelfRegTypeLibFailed);
  EXPECT_FALSE(empty.KeyExists(RegistryHive::kClassesRoot, u"CLSID\\" + Text(kControlClsid)));
}

TEST(Registration, UnregisterLeavesCategoriesAndFeatureValue) {
  MemoryRegistry registry;
  RecordingRegistrar registrar;
  MemorySystem system;
  system.version = FileVersion{1, 0, 0, 116};
  ASSERT_EQ(RegisterServer(registry, registrar, system), kRegistrationOk);
  EXPECT_EQ(UnregisterServer(registry, registrar), kRegistrationOk);
  EXPECT_FALSE(registry.KeyExists(RegistryHive::kClassesRoot, u"CLSID\\" + Text(kControlClsid)));
  EXPECT_FALSE(registry.KeyExists(RegistryHive::kClassesRoot, kControlProgId));
  EXPECT_FALSE(registry.KeyExists(RegistryHive::kClassesRoot, u"CLSID\\" + Text(kPropPageClsid)));
  EXPECT_TRUE(registry.ValueOf(RegistryHive::kCurrentUser, kLockdownFeatureKey, u"iexplore.exe"));
  EXPECT_EQ(UnregisterServer(registry, registrar), kRegistrationOk);  // nothing left to remove

  registrar.typeLibOk = false;
  EXPECT_EQ(UnregisterServer(registry, registrar), kSelfRegTypeLibFailed);
}

}  // namespace
}  // namespace qorva
