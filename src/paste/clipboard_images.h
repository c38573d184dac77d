// The bitmap on the clipboard as an image file in the working folder: whether there is
// one, and saving it in a type, angle and display size.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "paste/paste_context.h"

namespace qorva {

class Clipboard;

// An <img> tag from an ASCII printf template with the width and height (in that order)
// as %d, and "\x01" and "\x02" where `src` and `alt` go in as they are, whatever their
// characters.
Text FillImageTag(const char* format, ImageSize size, TextView src, TextView alt = {});

// 1 when the clipboard holds a bitmap, else 0.
int32_t CanPasteImageFromClipboard(Clipboard& clipboard);

struct SavedClipboardImage {
  Text tag;   // the <img> tag, "" when nothing was saved
  Text path;  // the file written, "" when nothing was saved
};

// Saves the clipboard's bitmap as `type` (an extension), turned by `angle` (90, 180 or
// 270; anything else leaves it), and makes its tag at the requested size when both sides
// are positive, else at the picture's own, fitted to the default size.
SavedClipboardImage SaveClipboardBitmap(const ClipboardImageContext& images, TextView type,
                                        int32_t angle, int32_t width, int32_t height);

}  // namespace qorva
