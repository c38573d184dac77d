// The daily diagnostic log in the working folder ("QORVA-YYYY-MM-DD.log", UTF-8 lines
// "HH:MM:SS.mmm<tab>text\r\n"). Callers write to it only while the `useLog` parameter
// is on.
// One log file is open per process, shared by every control and thread.
#pragma once

#include "base/text.h"

namespace qorva {

class Clock;

// Appends one line with `text` stamped with `clock`'s local time; an empty `text`
// gives an empty line. The first line of a new
// local day goes to that day's file. Each line reaches the end of the file in one
// write, so lines of several processes sharing the file stay whole. Failures are
// silent; a file that cannot be opened is tried again at the next call.
void WriteLog(const Clock& clock, TextView text);

// Closes the open log file and forgets the day, as at process start.
void ResetLogFile();

}  // namespace qorva
