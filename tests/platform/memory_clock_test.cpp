#include "platform/memory/memory_clock.h"

#include <gtest/gtest.h>

namespace qorva {
namespace {

TEST(MemoryClock, LocalTimeFollowsTheOffsetAcrossDayAndYear) {
  MemoryClock seoul(std::chrono::system_clock::time_point{}, std::chrono::hours(9));
  seoul.SetLocal({2024, 1, 1, 8, 30, 0, 250});
  LocalTime local = seoul.LocalNow();
  EXPECT_EQ(local.year, 2024);
  EXPECT_EQ(local.hour, 8);
  EXPECT_EQ(local.millisecond, 250);
  // 08:30 in Seoul is 23:30 of the previous day on the system clock.
  auto utcDay = std::chrono::floor<std::chrono::days>(seoul.Now());
  EXPECT_EQ(std::chrono::year_month_day(utcDay),
            std::chrono::year{2023} / std::chrono::December / std::chrono::day{31});
  seoul.Advance(std::chrono::hours(24 * 60));
  local = seoul.LocalNow();
  EXPECT_EQ(local.month, 3);  // 2024 is a leap year: 1 January + 60 days is 1 March
  EXPECT_EQ(local.day, 1);
}

}  // namespace
}  // namespace qorva
