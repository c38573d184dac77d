// The imaging library of the platform the program runs on.
#pragma once

#include <memory>

#include "platform/image_codec.h"

namespace qorva {

std::unique_ptr<ImageCodec> CreateNativeImageCodec();

}  // namespace qorva
