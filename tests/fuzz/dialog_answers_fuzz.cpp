// The image dialogs take their texts from page script (the opening attributes) and from
// the command's answers: any lines of bytes, played into each dialog, end in a clean
// answer, and a skin URL of any shape gives a request folder of the language.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "answer_lines.h"
#include "images/image_property_dialog.h"
#include "images/image_resize_dialog.h"
#include "images/size_sync.h"
#include "images/skin_images.h"
#include "platform/memory/memory_platform.h"
#include "support/encoding.h"

namespace {}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  qorva::Text text = qorva::FromUtf8(bytes);

  qorva::SkinSource source = qorva::SkinSourceFor(text, u"ko");
  if (!source.folderPath.ends_with(u"ko/")) std::abort();
  if (qorva::LeadingNumber(text) < 0) std::abort();

  static qorva::MemoryPlatform platform;
  for (qorva::DialogKind look :
       {qorva::DialogKind::kImageProperty, qorva::DialogKind::kImagePropertySheet}) {
    qorva::ScriptedUserInterface ui;
    qorva::ImagePropertyArgs args{text, text, text, text, text, text,
                                  text, text, text, text, text, text};
    qorva::ImagePropertyContext context{ui, platform.system, platform.codec(), u"", u"2", 0, {}, {},
                                        {}};
    qorva::CImagePropertyPresenter presenter(context, look, qorva::AttributesFromArgs(args));
    QueueAnswerLines(ui, bytes);
    bool ok = ui.RunDialog(presenter);
    const qorva::Text& html = presenter.resultHtml();
    if (ok && !html.starts_with(u"<img ") && !html.starts_with(u"<a ")) std::abort();
  }
  qorva::ScriptedUserInterface ui;
  qorva::CImageResizePresenter resize(qorva::LeadingNumber(text), 3);
  QueueAnswerLines(ui, bytes);
  ui.RunDialog(resize);
  return 0;
}
