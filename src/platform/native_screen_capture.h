// The screen of the desktop the program runs on.
#pragma once

#include <memory>

#include "platform/screen_capture.h"

namespace qorva {

// None where the program has no desktop to reach (no X display, for instance).
std::unique_ptr<ScreenCapture> CreateNativeScreenCapture();

}  // namespace qorva
