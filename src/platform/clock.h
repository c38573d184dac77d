// The time of day as the control sees it: the current moment (for comparing with file
// times) and the local calendar date and time (for the log file's name and lines).
#pragma once

#include <chrono>
#include <cstdint>

namespace qorva {

struct LocalTime {
  int32_t year = 1970;
  int32_t month = 1;  // 1 to 12
  int32_t day = 1;    // 1 to 31
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
  int32_t millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;

  // The current moment on the system clock (independent of the time zone).
  virtual std::chrono::system_clock::time_point Now() const = 0;
  // The current local date and time.
  virtual LocalTime LocalNow() const = 0;
};

}  // namespace qorva
