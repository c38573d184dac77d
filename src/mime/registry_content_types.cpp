#include "mime/registry_content_types.h"

#include "platform/registry.h"

namespace qorva {

namespace {

// The value is read into a buffer of 1024 bytes: 511 UTF-16 units and the terminator.
constexpr size_t kMaxValueUnits = 511;

}  // namespace

std::optional<Text> RegistryContentTypes::ContentTypeOf(TextView extension) const {
  auto key = registry_.OpenKey(RegistryHive::kClassesRoot, extension, RegistryAccess::kRead);
  if (!key) return std::nullopt;
  std::optional<Text> value = key->ReadString(u"Content Type");
  if (value && value->size() > kMaxValueUnits) value->resize(kMaxValueUnits);
  return value;
}

}  // namespace qorva
