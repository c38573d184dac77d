// The content-type table of the platform the program runs on. Windows reads the
// registry given; other platforms read their own table and ignore it.
#pragma once

#include <memory>

#include "platform/content_types.h"

namespace qorva {

class Registry;

std::unique_ptr<ContentTypes> CreateNativeContentTypes(Registry& registry);

}  // namespace qorva
