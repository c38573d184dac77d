// On Windows the content types are the registry's, read through the registry port.
#include "mime/registry_content_types.h"
#include "platform/native_content_types.h"

namespace qorva {

std::unique_ptr<ContentTypes> CreateNativeContentTypes(Registry& registry) {
  return std::make_unique<RegistryContentTypes>(registry);
}

}  // namespace qorva
