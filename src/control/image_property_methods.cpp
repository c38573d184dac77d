#include "control/image_property_methods.h"

#include "control/control_settings.h"
#include "control/qorvaeditor_ctrl.h"
#include "images/image_property_dialog.h"
#include "images/skin_images.h"
#include "platform/platform.h"
#include "platform/user_interface.h"

namespace qorva {

Text ShowImageProperty(CQorvaeditorCtrl& control, TextView src, TextView width, TextView height,
                       TextView border, TextView align, TextView vspace, TextView hspace,
                       TextView title, TextView alt, TextView title2, TextView href,
                       TextView target) {
  const Platform& platform = control.platform();
  ControlSettings settings = SettingsSnapshot();
  DialogKind look = DialogKind::kImagePropertySheet;
  if (control.imagePropStyle != u"0") {
    SkinFetchContext fetch{platform.http,        platform.system,      platform.userInterface,
                           settings.systemTitle, settings.resourceUrl, settings.skinLanguage};
    if (!FetchSkinImages(fetch, control.skinsFetched)) return {};
    look = DialogKind::kImageProperty;
  }
  ImagePropertyArgs args{Text(src),   Text(width),  Text(height), Text(border),
                         Text(align), Text(vspace), Text(hspace), Text(title),
                         Text(alt),   Text(title2), Text(href),   Text(target)};
  ImagePropertyContext context{
      platform.userInterface,     platform.system,          platform.imageCodec,
      settings.systemTitle,       settings.accessibility,   settings.openDialogType,
      settings.openDialogInitDir, settings.openDialogTitle, DefaultImageSize(settings)};
  CImagePropertyPresenter presenter(std::move(context), look, AttributesFromArgs(args));
  if (!platform.userInterface.RunDialog(presenter)) return {};
  return presenter.resultHtml();
}

}  // namespace qorva
