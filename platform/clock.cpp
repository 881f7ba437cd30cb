#include "platform/clock.h"

#include <ctime>

namespace platform {
namespace {
std::optional<LocalTime>& Override() {
  static std::optional<LocalTime> fixed;
  return fixed;
}
}  // namespace

LocalTime Now() {
  if (Override()) return *Override();
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  LocalTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  t.weekday = tm.tm_wday;
  return t;
}

void SetClockOverride(std::optional<LocalTime> fixed) {
  Override() = fixed;
}

}  // namespace platform
