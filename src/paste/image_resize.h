// Redrawing an image file at a given pixel size under its own name.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

class ImageCodec;

// Moves the file at `path` aside (its name with "___" before the extension), draws it
// scaled onto an opaque white width × height picture and saves that under `path` in the
// format its extension names (JPEG at `jpegQuality`). True when the file was redrawn; on any
// failure the file keeps (or gets back) its name and content.
bool ResizeImageFileInPlace(const ImageCodec& codec, TextView path, int32_t width, int32_t height,
                            int32_t jpegQuality);

}  // namespace qorva
