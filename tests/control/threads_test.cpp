// Controls on several threads at once, as pages in several browser windows of one
// process: the process-wide state (the settings record, the log, the MIME boundary
// counter, the working folder's names, the codec registries) stays consistent. The tsan
// preset runs this under ThreadSanitizer.
#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "control/control_settings.h"
#include "control/dispatch_table.h"
#include "control/paste_methods.h"
#include "control/property_exchange.h"
#include "control/qorvaeditor_ctrl.h"
#include "platform/memory/memory_platform.h"
#include "support/encoding.h"
#include "support/temp_dir_fixture.h"
#include "support/working_folder.h"

namespace qorva {
namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 5;

Variant Call(CQorvaeditorCtrl& control, std::u16string_view name, std::vector<Variant> args) {
  const DispatchEntry* entry = FindDispatchEntry(name);
  return Invoke(control, entry->id, kInvokeMethod, args).value;
}

TEST(Threads, ControlsOnSeveralThreadsShareTheProcessStateSafely) {
  ScopedTemporaryDirectory temp;
  ResetSettings();
  std::mutex namesMutex;
  std::set<Text> names;
  std::vector<std::string> problems;
  const Text pasted =
      u"<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"><body><!--StartFragment-->"
      u"<p class=MsoNormal><span style='mso-bidi-font-size:10.0pt'>a</span><o:p></o:p></p>"
      u"<!--EndFragment--></body></html>";
  Text cleanedAlone = pasted;
  {
    MemoryPlatform platform;
    CQorvaeditorCtrl control(platform.ports());
    CleanPastedHtml(cleanedAlone, control);
  }
  auto work = [&](int thread) {
    MemoryPlatform platform;
    CQorvaeditorCtrl control(platform.ports());
    for (int round = 0; round < kRounds; ++round) {
      ParameterListExchange load(ExchangeDirection::kLoad,
                                 {{u"useLog", u"1"},
                                  {u"systemTitle", FormatText("Thread %d", thread)},
                                  {u"mimeCharset", u"utf-8"},
                                  {u"imgDefaultWidth", FormatText("%d", 100 + thread)}});
      control.ExchangeParameters(load);
      Text written = Call(control, u"getLocalImageFromBase64Image",
                          {Variant::String(u"iVBORw0KGgo="), Variant::String(u"png")})
                         .text;
      Text message = Call(control, u"QorvaEncodeMime",
                          {Variant::String(u"<p>\uD55C\uAE00 " + FormatText("%d", round) + u"</p>"),
                           Variant::Int(0)})
                         .text;
      Text html = pasted;
      CleanPastedHtml(html, control);
      Text decoded = Call(control, u"QorvaDecodeMime", {Variant::String(message)}).text;
      Text unique = NewWorkingFilePath(platform.system, u"tmp");
      std::lock_guard lock(namesMutex);
      for (const Text& name : {written, unique}) {
        if (name.empty() || !names.insert(name).second) {
          problems.push_back("a name was empty or given twice: " + ToUtf8(name));
        }
      }
      if (ToUtf8(decoded).find("\xED\x95\x9C\xEA\xB8\x80") == std::string::npos) {
        problems.push_back("a message did not come back: " + ToUtf8(decoded));
      }
      if (html != cleanedAlone)
        problems.push_back("a paste was cleaned otherwise: " + ToUtf8(html));
    }
  };
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) threads.emplace_back(work, i);
  for (std::thread& thread : threads) thread.join();
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
  EXPECT_EQ(names.size(), size_t{2} * kThreads * kRounds);
  ResetSettings();
}

}  // namespace
}  // namespace qorva
