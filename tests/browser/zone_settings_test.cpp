#include "browser/zone_settings.h"

#include <gtest/gtest.h>

#include "../control/control_scene.h"

namespace qorva {
namespace {

constexpr TextView kDomains =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains\\";
constexpr TextView kZone3 =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3";
constexpr TextView kZone2 =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2";

std::optional<MemoryRegistry::Value> Action(MemoryRegistry& registry, TextView zone) {
  return registry.ValueOf(RegistryHive::kCurrentUser, zone, u"1407");
}

TEST(TrustedSites, EachTrimmedItemMapsToTheTrustedZoneOnce) {
  ControlScene scene;
  scene.Load({{u"trustSites", u"one.test, two.test,,"}});
  for (const char16_t* domain : {u"one.test", u"two.test"}) {
    auto value = scene.registry.ValueOf(RegistryHive::kCurrentUser, Text(kDomains) + domain, u"*");
    ASSERT_TRUE(value);
    EXPECT_EQ(std::get<uint32_t>(*value), 2u);
  }
  EXPECT_FALSE(scene.registry.KeyExists(RegistryHive::kCurrentUser, Text(kDomains) + u" two.test"));

  // A second exchange changes nothing, and an existing mapping to another zone stays.
  scene.registry.Set(RegistryHive::kCurrentUser, Text(kDomains) + u"one.test", u"*", 4u);
  scene.Load({{u"trustSites", u"one.test, two.test"}});
  auto kept =
      scene.registry.ValueOf(RegistryHive::kCurrentUser, Text(kDomains) + u"one.test", u"*");
  EXPECT_EQ(std::get<uint32_t>(*kept), 4u);
  EXPECT_EQ(scene.registry.OpenHandleCount(), 0);
}

TEST(TrustedSites, ABackslashMakesADeeperKey) {
  MemoryRegistry registry;
  AddTrustedSite(registry, u"a.test\\sub");
  EXPECT_TRUE(registry.KeyExists(RegistryHive::kCurrentUser, Text(kDomains) + u"a.test"));
  EXPECT_TRUE(registry.ValueOf(RegistryHive::kCurrentUser, Text(kDomains) + u"a.test\\sub", u"*"));
}

TEST(ClipboardZoneAction, EnabledWhileRunningAndRestoredAfter) {
  ControlScene scene;
  scene.registry.Set(RegistryHive::kCurrentUser, kZone3, u"1407", 3u);
  scene.registry.Set(RegistryHive::kCurrentUser, kZone2, u"1407", 1u);
  scene.Load();
  EXPECT_EQ(std::get<uint32_t>(*Action(scene.registry, kZone3)), 0u);
  EXPECT_EQ(std::get<uint32_t>(*Action(scene.registry, kZone2)), 0u);
  ApplyClipboardZoneAction(scene.registry, scene.control.savedZoneActions,
                           ZoneActionStep::kRestore);
  EXPECT_EQ(std::get<uint32_t>(*Action(scene.registry, kZone3)), 3u);
  EXPECT_EQ(std::get<uint32_t>(*Action(scene.registry, kZone2)), 1u);
  EXPECT_EQ(scene.registry.OpenHandleCount(), 0);
}

TEST(ClipboardZoneAction, ASecondExchangeSavesTheZeroItSet) {
  ControlScene scene;
  scene.registry.Set(RegistryHive::kCurrentUser, kZone3, u"1407", 3u);
  scene.registry.Set(RegistryHive::kCurrentUser, kZone2, u"1407", 3u);
  scene.Load();
  scene.Load();
  ApplyClipboardZoneAction(scene.registry, scene.control.savedZoneActions,
                           ZoneActionStep::kRestore);
  EXPECT_EQ(std::get<uint32_t>(*Action(scene.registry, kZone3)), 0u);
}

TEST(ClipboardZoneAction, WithoutTheInternetZoneTheTrustedZoneIsStillHandled) {
  MemoryRegistry registry;
  registry.Set(RegistryHive::kCurrentUser, kZone2, u"1407", 3u);
  SavedZoneActions saved;
  ApplyClipboardZoneAction(registry, saved, ZoneActionStep::kApply);
  EXPECT_EQ(saved.trusted, 3u);
  EXPECT_EQ(saved.internet, 1u);
  EXPECT_EQ(std::get<uint32_t>(*Action(registry, kZone2)), 0u);
  EXPECT_FALSE(registry.KeyExists(RegistryHive::kCurrentUser, kZone3));
  ApplyClipboardZoneAction(registry, saved, ZoneActionStep::kRestore);
  EXPECT_EQ(std::get<uint32_t>(*Action(registry, kZone2)), 3u);
}

TEST(ClipboardZoneAction, AnUnreadableValueStopsTheApplyAndTheRestoreWritesOne) {
  MemoryRegistry registry;
  registry.CreateKey(RegistryHive::kCurrentUser, kZone3);  // no "1407" value
  registry.Set(RegistryHive::kCurrentUser, kZone2, u"1407", 3u);
  SavedZoneActions saved;
  ApplyClipboardZoneAction(registry, saved, ZoneActionStep::kApply);
  EXPECT_FALSE(Action(registry, kZone3));
  EXPECT_EQ(std::get<uint32_t>(*Action(registry, kZone2)), 3u);
  ApplyClipboardZoneAction(registry, saved, ZoneActionStep::kRestore);
  EXPECT_EQ(std::get<uint32_t>(*Action(registry, kZone3)), 1u);
  EXPECT_EQ(std::get<uint32_t>(*Action(registry, kZone2)), 1u);
  EXPECT_EQ(registry.OpenHandleCount(), 0);
}

}  // namespace
}  // namespace qorva
