#include "mime/mime_message.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "platform/clock.h"

namespace qorva {

namespace {

constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The C library's broken-down time functions share static buffers.
std::mutex& TimeMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

std::optional<std::string> FormatDateField(int year, int month, int day, int hour, int minute,
                                           int second) {
  std::tm local{};
  std::tm utc{};
  {
    std::lock_guard lock(TimeMutex());
    std::tm wanted{};
    wanted.tm_year = year - 1900;
    wanted.tm_mon = month - 1;
    wanted.tm_mday = day;
    wanted.tm_hour = hour;
    wanted.tm_min = minute;
    wanted.tm_sec = second;
    wanted.tm_isdst = -1;
    std::time_t t = std::mktime(&wanted);
    if (t < 0) return std::nullopt;
    // localtime and gmtime may hand out the same buffer: copy each before the next call.
    const std::tm* l = std::localtime(&t);
    if (!l) return std::nullopt;
    local = *l;
    const std::tm* u = std::gmtime(&t);
    if (!u) return std::nullopt;
    utc = *u;
  }
  // Across a month end the day numbers jump; one day either way is all a zone can differ.
  int days = local.tm_mday - utc.tm_mday;
  if (days > 1) days = -1;
  if (days < -1) days = 1;
  int offset = (days * 24 + local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min;
  if (local.tm_wday < 0 || local.tm_wday > 6 || local.tm_mon < 0 || local.tm_mon > 11) {
    return std::nullopt;
  }
  char text[96];
  std::snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d:%02d %c%02d%02d",
                kWeekdays[local.tm_wday], local.tm_mday, kMonths[local.tm_mon],
                local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec,
                offset < 0 ? '-' : '+', std::abs(offset / 60), std::abs(offset % 60));
  return std::string(text);
}

void CMimeMessage::StampDate(int year, int month, int day, int hour, int minute, int second) {
  if (auto value = FormatDateField(year, month, day, hour, minute, second)) {
    PutField("Date", *value);
  }
}

void CMimeMessage::StampDate(const Clock& clock) {
  LocalTime now = clock.LocalNow();
  StampDate(now.year, now.month, now.day, now.hour, now.minute, now.second);
}

}  // namespace qorva
