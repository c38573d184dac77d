#include "platform/memory/memory_clock.h"

namespace qorva {

using namespace std::chrono;

LocalTime MemoryClock::LocalNow() const {
  auto local = time_point_cast<milliseconds>(now_) + utcOffset_;
  auto day = floor<days>(local);
  year_month_day date{day};
  hh_mm_ss<milliseconds> time{local - day};
  LocalTime out;
  out.year = static_cast<int32_t>(date.year());
  out.month = static_cast<int32_t>(static_cast<unsigned>(date.month()));
  out.day = static_cast<int32_t>(static_cast<unsigned>(date.day()));
  out.hour = static_cast<int32_t>(time.hours().count());
  out.minute = static_cast<int32_t>(time.minutes().count());
  out.second = static_cast<int32_t>(time.seconds().count());
  out.millisecond = static_cast<int32_t>(time.subseconds().count());
  return out;
}

void MemoryClock::SetLocal(const LocalTime& local) {
  sys_days day{year{local.year} / month{static_cast<unsigned>(local.month)} /
               std::chrono::day{static_cast<unsigned>(local.day)}};
  now_ = time_point_cast<system_clock::duration>(day + hours{local.hour} + minutes{local.minute} +
                                                 seconds{local.second} +
                                                 milliseconds{local.millisecond} - utcOffset_);
}

}  // namespace qorva
