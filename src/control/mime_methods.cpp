#include "control/mime_methods.h"

#include "control/control_settings.h"
#include "control/file_access.h"
#include "control/qorvaeditor_ctrl.h"
#include "mime/mime_decode.h"
#include "mime/mime_encode.h"
#include "transfer/download.h"

namespace qorva {

namespace {

MimeEncodeContext ContextFor(CQorvaeditorCtrl& control) {
  const Platform& platform = control.platform();
  ControlSettings settings = SettingsSnapshot();
  MimeEncodeContext context{platform.system,
                            platform.clock,
                            platform.contentTypes,
                            {},
                            control.mimeLocalOnly,
                            control.mimeRemoveHeader,
                            control.mimeConentEncodingType,
                            settings.mimeBaseURL,
                            settings.hostPagePath,
                            settings.useLog,
                            [&control](TextView path) { return MayReadLocalFile(control, path); }};
  context.download = [&platform](TextView serverUrl, TextView requestPath, Text& localPath) {
    return DownloadToFile(platform.http, platform.system, serverUrl, requestPath, localPath);
  };
  return context;
}

}  // namespace

void MimeSetListInit(CQorvaeditorCtrl& control) {
  control.mimeImageList.clear();
  control.mimeFileList.clear();
}

void MimeAddEncodingFile(CQorvaeditorCtrl& control, TextView strPathorURL, int32_t nType) {
  (nType == 0 ? control.mimeImageList : control.mimeFileList).emplace_back(strPathorURL);
}

Text EncodeMimeFor(CQorvaeditorCtrl& control, TextView strHtml, int32_t nFileNameType) {
  MimeEncodeContext context = ContextFor(control);
  return QorvaEncodeMime(context, control.mimeCharset,
                         {control.mimeImageList, control.mimeFileList}, strHtml, nFileNameType);
}

Text EncodeMineFor(CQorvaeditorCtrl& control, TextView strHtml, int32_t nFileNameType) {
  MimeEncodeContext context = ContextFor(control);
  return QorvaEncodeMine(context, strHtml, nFileNameType);
}

Text DecodeMimeFor(CQorvaeditorCtrl& control, TextView strMime) {
  return QorvaDecodeMime(control.platform().system, strMime);
}

}  // namespace qorva
