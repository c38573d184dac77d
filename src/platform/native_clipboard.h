// The clipboard of the desktop the program runs on.
#pragma once

#include <memory>

#include "platform/clipboard.h"

namespace qorva {

class ImageCodec;
class System;

// None where the program has no desktop to reach (no X display, for instance).
std::unique_ptr<Clipboard> CreateNativeClipboard(const ImageCodec& codec, const System& system);

}  // namespace qorva
