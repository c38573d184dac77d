// The photo editor takes its tools from the command's answers: any lines of bytes, played
// into it over a small captured screen, end the dialog cleanly, and an element it gives
// back names the picture's size. A size answer that parses prints back the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "answer_lines.h"
#include "images/photo_edit_dialog.h"
#include "platform/memory/memory_platform.h"
#include "support/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  if (auto parsed = qorva::ParseSizeAnswer(bytes)) {
    if (parsed->first < 0 || parsed->second < 0) std::abort();
    std::string again = std::to_string(parsed->first) + "x" + std::to_string(parsed->second);
    if (qorva::ParseSizeAnswer(again) != parsed) std::abort();
  }

  static qorva::MemoryPlatform platform;
  qorva::ScriptedUserInterface ui;
  qorva::Bitmap screen = *qorva::Bitmap::Create(8, 6, qorva::PixelFormat::kRgb24);
  screen.Fill(qorva::MakeArgb(255, 10, 200, 30));
  platform.screen.SetScreen(screen);
  QueueAnswerLines(ui, bytes);
  qorva::CPhotoEditPresenter presenter(qorva::PhotoEditContext{
      ui, platform.system, platform.codec(), platform.clipboard, platform.screen, u"", 90});
  bool ok = ui.RunDialog(presenter);
  const qorva::Text& html = presenter.resultHtml();
  if (ok && !html.empty() && !html.starts_with(u"<img style=\"width:")) std::abort();
  return 0;
}
