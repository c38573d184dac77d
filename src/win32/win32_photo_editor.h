// The photo editor's window: a captionless dialog with a toolbar of picture buttons over
// two painted bands, and a scrolling canvas showing the picture being edited.
#pragma once

#include <windows.h>

#include "platform/modal_dialog.h"
#include "win32/win32_dialogs.h"

namespace qorva {

// Runs the photo editor presenter's dialog modally; true when it ended with OK.
bool RunPhotoEditor(DialogPresenter& presenter, const Win32DialogContext& context, HWND* modal);

}  // namespace qorva
