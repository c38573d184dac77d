// The bitmap on the clipboard as an image file in the working folder: whether there is
// one, saving it in a type, angle and display size, and the save with a type choice.
#pragma once

#include <cstdint>

#include "support/text.h"

namespace qorva {

class CQorvaeditorCtrl;

// 1 when the clipboard holds a bitmap, else 0.
int32_t CanPasteImageFromClipboard(CQorvaeditorCtrl& control);

struct SavedClipboardImage {
  Text tag;   // the <img> tag, "" when nothing was saved
  Text path;  // the file written, "" when nothing was saved
};

// Saves the clipboard's bitmap as `type` (an extension), turned by `angle` (90, 180 or
// 270; anything else leaves it), and makes its tag at the requested size when both sides
// are positive, else at the picture's own, fitted to the default size.
SavedClipboardImage SaveClipboardBitmap(CQorvaeditorCtrl& control, TextView type, int32_t angle,
                                        int32_t width, int32_t height);

// The body of ShowImageSaveDlgFromClipboard: an empty type lets the user choose type,
// quality, angle and size in the image type sheet; another type than jpg, gif or png
// becomes jpg. Sets the JPEG quality of the process. Returns the tag, or "".
Text ShowImageSaveDlgFromClipboard(CQorvaeditorCtrl& control, TextView strSaveType);

}  // namespace qorva
