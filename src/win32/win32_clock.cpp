// The clock on Windows: the system clock and the local time the system reports.
#include <windows.h>

#include "platform/native_clock.h"

namespace qorva {

namespace {

class Win32Clock final : public Clock {
 public:
  std::chrono::system_clock::time_point Now() const override {
    return std::chrono::system_clock::now();
  }

  LocalTime LocalNow() const override {
    SYSTEMTIME parts{};
    GetLocalTime(&parts);
    LocalTime out;
    out.year = parts.wYear;
    out.month = parts.wMonth;
    out.day = parts.wDay;
    out.hour = parts.wHour;
    out.minute = parts.wMinute;
    out.second = parts.wSecond;
    out.millisecond = parts.wMilliseconds;
    return out;
  }
};

}  // namespace

std::unique_ptr<Clock> CreateNativeClock() { return std::make_unique<Win32Clock>(); }

}  // namespace qorva
