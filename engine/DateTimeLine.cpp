// The date/time line: the current local time in one of eight patterns.
#include <cstdio>

#include "engine/AnimationUnit.h"
#include "platform/LocalClock.h"

namespace {

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string HoursMinutes(const platform::LocalDateTime& t) {
  return TwoDigits(t.Hour) + ":" + TwoDigits(t.Minute);
}

std::string HoursMinutesSeconds(const platform::LocalDateTime& t) {
  return HoursMinutes(t) + ":" + TwoDigits(t.Second);
}

}  // namespace

std::string DateTimeText(int32_t mode) {
  if (mode < 1 || mode > 7) return "Lettrance";
  const platform::LocalDateTime now = platform::CurrentLocalDateTime();
  switch (mode) {
    case 1:
      return platform::LongDateText(now);
    case 2:
      return HoursMinutesSeconds(now);
    case 3:
      return platform::LongDateText(now) + " " + HoursMinutesSeconds(now);
    case 4:
      return platform::ShortDateText(now) + " " + HoursMinutes(now);
    case 5:
      return platform::ShortDateText(now);
    case 6:
      return HoursMinutes(now);
    default:  // 7
      return platform::ShortDateText(now) + " " + HoursMinutesSeconds(now);
  }
}
