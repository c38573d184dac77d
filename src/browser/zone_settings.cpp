#include "browser/zone_settings.h"

#include "platform/registry.h"

namespace qorva {

namespace {

constexpr TextView kDomainsKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains\\";
constexpr TextView kInternetZoneKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3\\";
constexpr TextView kTrustedZoneKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2\\";
constexpr TextView kClipboardAction = u"1407";
constexpr uint32_t kTrustedZone = 2;
constexpr uint32_t kActionEnable = 0;

std::unique_ptr<RegistryKey> OpenZone(Registry& registry, TextView key) {
  return registry.OpenKey(RegistryHive::kCurrentUser, key, RegistryAccess::kFull);
}

}  // namespace

void AddTrustedSite(Registry& registry, TextView domain) {
  Text path = Text(kDomainsKey) + Text(domain);
  if (registry.OpenKey(RegistryHive::kCurrentUser, path, RegistryAccess::kFull)) return;
  auto key = registry.CreateKey(RegistryHive::kCurrentUser, path);
  if (key) key->WriteDword(u"*", kTrustedZone);
}

void ApplyClipboardZoneAction(Registry& registry, SavedZoneActions& saved, ZoneActionStep step) {
  if (step == ZoneActionStep::kRestore) {
    if (auto key = OpenZone(registry, kInternetZoneKey)) {
      if (!key->WriteDword(kClipboardAction, saved.internet)) return;
    }
    if (auto key = OpenZone(registry, kTrustedZoneKey)) {
      key->WriteDword(kClipboardAction, saved.trusted);
    }
    return;
  }
  // Save both values first, then enable both; a value that cannot be read ends the step.
  if (auto key = OpenZone(registry, kInternetZoneKey)) {
    std::optional<uint32_t> value = key->ReadDword(kClipboardAction);
    if (!value) return;
    saved.internet = *value;
  }
  if (auto key = OpenZone(registry, kTrustedZoneKey)) {
    std::optional<uint32_t> value = key->ReadDword(kClipboardAction);
    if (!value) return;
    saved.trusted = *value;
  }
  if (auto key = OpenZone(registry, kInternetZoneKey)) {
    if (!key->WriteDword(kClipboardAction, kActionEnable)) return;
  }
  if (auto key = OpenZone(registry, kTrustedZoneKey)) {
    key->WriteDword(kClipboardAction, kActionEnable);
  }
}

}  // namespace qorva
