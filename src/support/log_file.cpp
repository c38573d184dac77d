#include "support/log_file.h"

#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "platform/clock.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/working_folder.h"

namespace qorva {

namespace {

struct LogState {
  std::mutex lock;
  std::unique_ptr<std::ofstream> file;
  Text dateText;  // the day of the last write, or of the last failed open
};

LogState& State() {
  static LogState state;
  return state;
}

// Opened unbuffered in append mode: every write lands at the current end of the file,
// whoever else has it open, and a line goes out in one write.
std::unique_ptr<std::ofstream> OpenLog(TextView dateText) {
  Text path = WorkingFolderPath(kWorkingFolderName) + u"QORVA-" + Text(dateText) + u".log";
  auto file = std::make_unique<std::ofstream>();
  file->rdbuf()->pubsetbuf(nullptr, 0);
  file->open(PathFromText(path), std::ios::binary | std::ios::app);
  if (!file->is_open()) return nullptr;
  return file;
}

}  // namespace

void WriteLog(const Clock& clock, TextView text) {
  LogState& state = State();
  std::lock_guard guard(state.lock);
  LocalTime now = clock.LocalNow();
  Text today = FormatText("%.4d-%.2d-%.2d", now.year, now.month, now.day);
  if (state.file && today != state.dateText) state.file.reset();
  state.dateText = today;
  if (!state.file) state.file = OpenLog(today);
  if (!state.file) return;

  std::string line;
  if (!text.empty()) {
    line = ToUtf8(
        FormatText("%02d:%02d:%02d.%03d", now.hour, now.minute, now.second, now.millisecond));
    line += '\t';
    line += ToUtf8(text);
  }
  line += "\r\n";
  state.file->write(line.data(), static_cast<std::streamsize>(line.size()));
  state.file->flush();
  // A stream that failed once refuses every later write; start it afresh next time.
  if (!*state.file) state.file.reset();
}

void ResetLogFile() {
  LogState& state = State();
  std::lock_guard guard(state.lock);
  state.file.reset();
  state.dateText.clear();
}

}  // namespace qorva
