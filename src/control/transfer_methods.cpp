#include "control/transfer_methods.h"

#include "control/control_settings.h"
#include "control/file_access.h"
#include "control/qorvaeditor_ctrl.h"
#include "support/string_helpers.h"
#include "transfer/upload.h"

namespace qorva {

Text PostImageToServerFor(CQorvaeditorCtrl& control, TextView strLocalPath) {
  Text path(strLocalPath);
  FileUrlToPath(path);
  // A file the page may not send is answered like one that could not be sent.
  if (!MayReadLocalFile(control, path)) return Text(strLocalPath);
  ControlSettings settings = SettingsSnapshot();
  UploadForm form{settings.uploadType, settings.serverDomain, settings.toSavePathUrl,
                  settings.saveFolderNameRule, settings.saveFileNameRule};
  return postImageToServer(control.platform(), control.postPageURL, form, strLocalPath);
}

}  // namespace qorva
