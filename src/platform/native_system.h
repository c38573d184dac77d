// The system port of the platform the program runs on.
#pragma once

#include <memory>

#include "platform/system.h"

namespace qorva {

std::unique_ptr<System> CreateNativeSystem();

}  // namespace qorva
