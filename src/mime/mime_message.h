// A top-level MIME message: a body that can stamp its Date field.
#pragma once

#include <optional>
#include <string>

#include "mime/mime_body.h"

namespace qorva {

class Clock;

class CMimeMessage : public CMimeBody {
 public:
  ~CMimeMessage() override = default;

  // Sets "Date" from the clock's current local time.
  void StampDate(const Clock& clock);
  // Sets "Date" from a local date and time, with the zone's offset from UTC at that
  // moment (daylight saving time as the system knows it); sets nothing for dates
  // before 1970.
  void StampDate(int year, int month, int day, int hour, int minute, int second);
};

// The Date text "Mon, 8 Dec 2025 09:04:05 +0900" of a local date and time, or none
// before 1970.
std::optional<std::string> FormatDateField(int year, int month, int day, int hour, int minute,
                                           int second);

}  // namespace qorva
