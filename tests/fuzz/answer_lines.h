// What the dialog fuzz targets share: a fuzzer's bytes become the command's answers, one
// a line, as `qorva call --answer` would queue them.
#pragma once

#include <string_view>

#include "platform/memory/scripted_user_interface.h"
#include "support/encoding.h"

inline void QueueAnswerLines(qorva::ScriptedUserInterface& ui, std::string_view bytes) {
  size_t start = 0;
  while (start <= bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    ui.QueueAnswer(qorva::FromUtf8(bytes.substr(start, end - start)));
    start = end + 1;
  }
}
