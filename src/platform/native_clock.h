// The clock of the platform the program runs on.
#pragma once

#include <memory>

#include "platform/clock.h"

namespace qorva {

std::unique_ptr<Clock> CreateNativeClock();

}  // namespace qorva
