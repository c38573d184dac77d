// What decoding and encoding a picture give back, whichever codec does it.
#pragma once

#include <optional>
#include <string>

#include "graphics/bitmap.h"

namespace qorva {

struct ImageDecodeResult {
  ImageStatus status = ImageStatus::kGenericError;
  std::optional<Bitmap> image;  // present exactly when status is kOk
};

struct ImageEncodeResult {
  ImageStatus status = ImageStatus::kGenericError;
  std::string bytes;  // the encoded file when status is kOk
};

}  // namespace qorva
