// The printing, HTML saving and image size methods of the control. The container-mode
// refusal comes before them, from the dispatch table's guard.
#pragma once

#include "base/text.h"

namespace qorva {

class CQorvaeditorCtrl;

// Write the header and footer into the browser's page setup ("" takes the user's own
// text, "0" none, tested after that substitution), then open the host document's print
// preview or print it. `strURL` is not used.
void DoPrintPreview(CQorvaeditorCtrl& control, TextView strHeader, TextView strFooter,
                    TextView strURL);
void DoPrintDirect(CQorvaeditorCtrl& control, TextView strHeader, TextView strFooter,
                   TextView strURL);

// Saves the HTML in a file the user chooses and returns its full path; "" when the user
// cancels or the file cannot be written in full. `strURL` is not used.
Text DoSaveHtml(CQorvaeditorCtrl& control, TextView strHtml, TextView strDefaultFileName,
                TextView strCharSet, TextView strURL);

// "W^H" for the image file at a path or "file:///" URL; "" when it is missing or no
// picture.
Text GetImageWidthHeight(CQorvaeditorCtrl& control, TextView strFilePathName);

}  // namespace qorva
