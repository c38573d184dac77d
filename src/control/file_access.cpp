#include "control/file_access.h"

#include <algorithm>

#include "control/qorvaeditor_ctrl.h"
#include "support/file_provenance.h"
#include "support/log_file.h"
#include "support/working_folder.h"

namespace qorva {

bool MayReadLocalFile(CQorvaeditorCtrl& control, TextView path) {
  if (control.platform().caller == ScriptCaller::kLocalUser) return true;
  if (control.PageMayNameAnyLocalFile()) return true;
  if (IsInsideFolder(path, WorkingFolderPath(kWorkingFolderName))) return true;
  if (IsOfficeClipboardFile(path, WorkingFolderPath(u""))) return true;
  if (WasChosenByUser(path)) return true;
  const std::vector<Text>& dropped = control.lastPasteFiles;
  if (std::any_of(dropped.begin(), dropped.end(),
                  [&](const Text& file) { return IsSamePath(path, file); })) {
    return true;
  }
  WriteLog(control.platform().clock,
           u"Refused: the page may not read the local file " + Text(path) +
               u" (not made by the control or the office programs, nor chosen by the user)");
  return false;
}

}  // namespace qorva
