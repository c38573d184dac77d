// Screen captures pass through the clipboard: the captured pixels are put on it, and the
// editor takes its picture from there, so the user can also paste the capture elsewhere.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/screen_capture.h"

namespace qorva {

class Clipboard;
class ImageCodec;
class System;

// Captures `area` and puts it on the clipboard in place of what was there; false when
// nothing could be captured or the clipboard could not be opened or written.
bool CaptureToClipboard(ScreenCapture& screen, Clipboard& clipboard, CaptureArea area);

// Writes the clipboard's bitmap as a JPEG of `jpegQuality` under a new name in the
// working folder and returns its path; "" when the clipboard cannot be opened, holds no
// bitmap or the file cannot be written.
Text SaveClipboardCapture(Clipboard& clipboard, const ImageCodec& codec, System& system,
                          int32_t jpegQuality);

}  // namespace qorva
