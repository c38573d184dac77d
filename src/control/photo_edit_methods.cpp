#include "control/photo_edit_methods.h"

#include "control/control_settings.h"
#include "control/qorvaeditor_ctrl.h"
#include "images/photo_edit_dialog.h"
#include "platform/platform.h"
#include "platform/user_interface.h"

namespace qorva {

Text SetScreenCapture(CQorvaeditorCtrl& control, int32_t /*nAutoParam*/) {
  const Platform& platform = control.platform();
  ControlSettings settings = SettingsSnapshot();
  PhotoEditContext context{platform.userInterface, platform.system, platform.imageCodec,
                           platform.clipboard,     platform.screen, settings.systemTitle,
                           settings.jpegQuality};
  CPhotoEditPresenter presenter(std::move(context));
  if (!platform.userInterface.RunDialog(presenter)) return {};
  return presenter.resultHtml();
}

}  // namespace qorva
