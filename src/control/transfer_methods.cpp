#include "control/transfer_methods.h"

#include "control/control_settings.h"
#include "control/qorvaeditor_ctrl.h"
#include "transfer/upload.h"

namespace qorva {

Text PostImageToServerFor(CQorvaeditorCtrl& control, TextView strLocalPath) {
  ControlSettings settings = SettingsSnapshot();
  UploadForm form{settings.uploadType, settings.serverDomain, settings.toSavePathUrl,
                  settings.saveFolderNameRule, settings.saveFileNameRule};
  return postImageToServer(control.platform(), control.postPageURL, form, strLocalPath);
}

}  // namespace qorva
