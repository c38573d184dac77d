// A clock that stands still until it is set or advanced, with a fixed offset of local
// time from the system clock.
#pragma once

#include "platform/clock.h"

namespace qorva {

class MemoryClock final : public Clock {
 public:
  using TimePoint = std::chrono::system_clock::time_point;

  explicit MemoryClock(TimePoint now = std::chrono::system_clock::now(),
                       std::chrono::minutes utcOffset = std::chrono::minutes(0))
      : now_(now), utcOffset_(utcOffset) {}

  TimePoint Now() const override { return now_; }
  LocalTime LocalNow() const override;

  void Set(TimePoint now) { now_ = now; }
  // Sets the moment whose local time is the given one.
  void SetLocal(const LocalTime& local);
  void Advance(std::chrono::milliseconds by) { now_ += by; }

 private:
  TimePoint now_;
  std::chrono::minutes utcOffset_;
};

}  // namespace qorva
