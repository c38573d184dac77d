// The clock on Linux: the system clock and the local time the C library derives from
// the configured time zone.
#include <time.h>

#include "platform/native_clock.h"

namespace qorva {

namespace {

class PosixClock final : public Clock {
 public:
  std::chrono::system_clock::time_point Now() const override {
    return std::chrono::system_clock::now();
  }

  LocalTime LocalNow() const override {
    auto now = std::chrono::system_clock::now();
    auto whole = std::chrono::floor<std::chrono::seconds>(now);
    time_t seconds = std::chrono::system_clock::to_time_t(whole);
    auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now - whole).count();
    struct tm parts {};
    localtime_r(&seconds, &parts);
    LocalTime out;
    out.year = parts.tm_year + 1900;
    out.month = parts.tm_mon + 1;
    out.day = parts.tm_mday;
    out.hour = parts.tm_hour;
    out.minute = parts.tm_min;
    out.second = parts.tm_sec;
    out.millisecond = static_cast<int32_t>(millis);
    return out;
  }
};

}  // namespace

std::unique_ptr<Clock> CreateNativeClock() { return std::make_unique<PosixClock>(); }

}  // namespace qorva
