// Where a local file page script names comes from: the folders whose files the control
// or the office programs made, and the files the user chose in the control's own dialogs
// during this process. Paths are compared after resolving "..", "." and links, without
// regard to letter case where the platform's paths ignore it.
#pragma once

#include "base/text.h"

namespace qorva {

bool IsSamePath(TextView a, TextView b);

// True when `path` names something inside `folder` (at any depth), not the folder itself.
bool IsInsideFolder(TextView path, TextView folder);

// True for a file in a folder the office programs keep their clipboard pictures in: a
// folder right under `temporaryFolder` whose name starts with "msohtmlclip" or "msoclip".
bool IsOfficeClipboardFile(TextView path, TextView temporaryFolder);

// The files the user chose in the control's dialogs; process-wide and thread-safe.
void RememberUserChosenFile(TextView path);
bool WasChosenByUser(TextView path);
void ForgetUserChosenFiles();

}  // namespace qorva
