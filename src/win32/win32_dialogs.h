// The Win32 windows of the presenters' dialogs: the skinned dialogs (a background picture
// and picture buttons, placed in pixels) and the property sheets of plain controls.
#pragma once

#include <windows.h>

#include "base/text.h"
#include "platform/modal_dialog.h"

namespace qorva {

struct Win32DialogContext {
  HWND owner = nullptr;
  Text skinFolder;    // where the skinned dialogs' pictures are, ending in a separator
  Text sheetCaption;  // the property sheet's caption
  Text tabText;       // the text of the sheet's single tab
};

// Runs `presenter`'s dialog modally; true when it ended with OK. `modal` receives the
// dialog's window while it runs, so message boxes can be owned by it.
bool RunWin32Dialog(DialogPresenter& presenter, const Win32DialogContext& context, HWND* modal);

// What the dialog windows share.
// Centres `window` on `owner`, or on the work area when the owner is not on the screen.
void CentreOn(HWND window, HWND owner);
// What every skinned window does alike: its picture buttons draw their faces, and a
// press on its background moves it. True when `message` was handled.
bool OnSkinnedWindowMessage(HWND window, UINT message, LPARAM lParam);

}  // namespace qorva
