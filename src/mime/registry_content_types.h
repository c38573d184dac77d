// Content types as the Windows registry keeps them: the "Content Type" value of the key
// HKEY_CLASSES_ROOT\<extension>, read through the registry port.
#pragma once

#include "platform/content_types.h"

namespace qorva {

class Registry;

class RegistryContentTypes final : public ContentTypes {
 public:
  explicit RegistryContentTypes(Registry& registry) : registry_(registry) {}

  std::optional<Text> ContentTypeOf(TextView extension) const override;

 private:
  Registry& registry_;
};

}  // namespace qorva
