#pragma once
// Local date and time, and the user's regional date formats.

#include <functional>
#include <string>

namespace platform {

struct LocalDateTime {
  int Year = 0;
  int Month = 0;  // 1..12
  int Day = 0;    // 1..31
  int Hour = 0;   // 0..23
  int Minute = 0;
  int Second = 0;
};

// The current local time, or the installed clock's answer.
LocalDateTime CurrentLocalDateTime();

// Installs a clock (tests see fixed times); an empty function goes back to the
// system clock.
void SetLocalClock(std::function<LocalDateTime()> clock);

// The date in the system locale's short and long date formats (UTF-8); empty
// for an invalid date.
std::string ShortDateText(const LocalDateTime& when);
std::string LongDateText(const LocalDateTime& when);

}  // namespace platform
