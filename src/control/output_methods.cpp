#include "control/output_methods.h"

#include "control/qorvaeditor_ctrl.h"
#include "platform/control_site.h"
#include "platform/user_interface.h"
#include "support/image_files.h"
#include "support/string_helpers.h"
#include "transfer/html_file.h"
#include "transfer/page_setup.h"

namespace qorva {

namespace {

constexpr TextView kHtmlFilter = u"Html Files (*.html;*.htm)|*.html;*.htm||";

// "" stands for the user's own text and "0" for none; a saved "0" also means none.
Text PageSetupText(TextView given, TextView saved) {
  Text text(given.empty() ? saved : given);
  if (text == u"0") text.clear();
  return text;
}

void Print(CQorvaeditorCtrl& control, TextView strHeader, TextView strFooter,
           HostDocumentCommand command) {
  WritePageSetup(control.platform().registry, PageSetupText(strHeader, control.savedPageHeader),
                 PageSetupText(strFooter, control.savedPageFooter));
  control.platform().site.RunHostDocumentCommand(command);
}

}  // namespace

void DoPrintPreview(CQorvaeditorCtrl& control, TextView strHeader, TextView strFooter,
                    TextView /*strURL*/) {
  Print(control, strHeader, strFooter, HostDocumentCommand::kPrintPreview);
}

void DoPrintDirect(CQorvaeditorCtrl& control, TextView strHeader, TextView strFooter,
                   TextView /*strURL*/) {
  Print(control, strHeader, strFooter, HostDocumentCommand::kPrint);
}

Text DoSaveHtml(CQorvaeditorCtrl& control, TextView strHtml, TextView strDefaultFileName,
                TextView strCharSet, TextView /*strURL*/) {
  std::optional<Text> chosen =
      control.platform().userInterface.ChooseSaveFile(kHtmlFilter, strDefaultFileName);
  if (!chosen) return {};
  Text path = WithHtmlExtension(*chosen);
  // The page is told the path only when the file holds the whole HTML.
  if (SaveHtmlFile(path, strHtml, strCharSet) != HtmlSaveOutcome::kSaved) return {};
  return path;
}

Text GetImageWidthHeight(CQorvaeditorCtrl& control, TextView strFilePathName) {
  Text path(strFilePathName);
  FileUrlToPath(path);
  std::optional<PixelSize> size = ReadImageFileSize(control.platform().imageCodec, path);
  if (!size) return {};
  return FormatText("%d^%d", size->width, size->height);
}

}  // namespace qorva
