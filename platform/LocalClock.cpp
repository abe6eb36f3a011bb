#include "platform/LocalClock.h"

#include <QDate>
#include <QLocale>
#include <ctime>

namespace platform {
namespace {

std::function<LocalDateTime()>& InstalledClock() {
  static std::function<LocalDateTime()> clock;
  return clock;
}

LocalDateTime SystemLocalDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return LocalDateTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                       parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

std::string DateText(const LocalDateTime& when, QLocale::FormatType format) {
  const QDate date(when.Year, when.Month, when.Day);
  if (!date.isValid()) return {};
  return QLocale::system().toString(date, format).toStdString();
}

}  // namespace

LocalDateTime CurrentLocalDateTime() {
  if (InstalledClock()) return InstalledClock()();
  return SystemLocalDateTime();
}

void SetLocalClock(std::function<LocalDateTime()> clock) {
  InstalledClock() = std::move(clock);
}

std::string ShortDateText(const LocalDateTime& when) {
  return DateText(when, QLocale::ShortFormat);
}

std::string LongDateText(const LocalDateTime& when) {
  return DateText(when, QLocale::LongFormat);
}

}  // namespace platform
