// The clipboard scripting methods of the control: the paste and its clean-up on the
// control's state, the clipboard's HTML cut to one element, and the clipboard's picture
// saved as a file.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

class CQorvaeditorCtrl;

// getPasteHtml: resets and sets the control's lastPasteHtml and pasteSourceType; "" when
// the clipboard cannot be opened or holds nothing usable.
Text ReadClipboardForPaste(CQorvaeditorCtrl& control);
// Cleans pasted HTML in place with the control's style state and sets its pasteSourceType.
void CleanPastedHtml(Text& html, CQorvaeditorCtrl& control);
Text GetOriginalHtml(CQorvaeditorCtrl& control, TextView strTag);
int32_t CanPasteImageFromClipboard(CQorvaeditorCtrl& control);
// An empty type lets the user choose type, quality, angle and size in the image type
// sheet; another type than jpg, gif or png becomes jpg. Sets the JPEG quality of the
// process. Returns the tag, or "".
Text ShowImageSaveDlgFromClipboard(CQorvaeditorCtrl& control, TextView strSaveType);

}  // namespace qorva
