// Which local files page script may have the control read or send: those in the working
// folder, in the office programs' clipboard folders, dropped on the clipboard for the
// last paste, or chosen by the user in the control's dialogs. The local user's command,
// and pages on the administrator's list of origins for any local file, may name any.
#pragma once

#include "base/text.h"

namespace qorva {

class CQorvaeditorCtrl;

// `path` is a local path (not a URL). A refusal is written to the log with its reason.
bool MayReadLocalFile(CQorvaeditorCtrl& control, TextView path);

}  // namespace qorva
