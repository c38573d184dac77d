#include "transfer/page_setup.h"

#include <optional>

namespace qorva {

namespace {

constexpr TextView kPageSetupKey = u"Software\\Microsoft\\Internet Explorer\\PageSetup";

std::optional<Text> ReadLimited(RegistryKey& key, TextView name) {
  std::optional<Text> value = key.ReadString(name);
  if (!value || value->size() > kMaxPageSetupReadLength) return std::nullopt;
  return value;
}

TextView CutToWriteLimit(TextView text) {
  if (text.size() <= kMaxPageSetupWriteLength) return text;
  TextView cut = text.substr(0, kMaxPageSetupWriteLength);
  // Half a surrogate pair would store a broken character.
  if (cut.back() >= 0xD800 && cut.back() <= 0xDBFF) cut.remove_suffix(1);
  return cut;
}

}  // namespace

void ReadPageSetup(Registry& registry, Text& header, Text& footer) {
  auto key = registry.OpenKey(RegistryHive::kCurrentUser, kPageSetupKey, RegistryAccess::kRead);
  if (!key) return;
  std::optional<Text> storedHeader = ReadLimited(*key, u"header");
  if (!storedHeader) return;
  header = std::move(*storedHeader);
  if (std::optional<Text> storedFooter = ReadLimited(*key, u"footer")) {
    footer = std::move(*storedFooter);
  }
}

void WritePageSetup(Registry& registry, TextView header, TextView footer) {
  auto key = registry.OpenKey(RegistryHive::kCurrentUser, kPageSetupKey, RegistryAccess::kFull);
  if (!key) return;
  if (!key->WriteString(u"header", CutToWriteLimit(header))) return;
  key->WriteString(u"footer", CutToWriteLimit(footer));
}

}  // namespace qorva
