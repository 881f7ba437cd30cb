#include "plugins/sched/day_navigation.h"

#include <algorithm>

namespace yk::sched {

YearMonthDay PreviousDay(YearMonthDay date) {
  if (date.month < 1 || date.month > 12) return date;
  if (date.day > 1) {
    // A day past the month's end (left by a month step) steps to the month's last day.
    date.day = std::min(date.day - 1, DaysInMonth(date.year, date.month));
    return date;
  }
  if (date.month > 1) {
    --date.month;
  } else {
    if (date.year <= kFirstNavigableYear) return date;
    --date.year;
    date.month = 12;
  }
  date.day = DaysInMonth(date.year, date.month);
  return date;
}

YearMonthDay NextDay(YearMonthDay date) {
  if (date.month < 1 || date.month > 12) return date;
  if (date.day < DaysInMonth(date.year, date.month)) {
    date.day = std::max(date.day + 1, 1);
    return date;
  }
  if (date.month < 12) {
    ++date.month;
  } else {
    if (date.year >= kLastNavigableYear) {
      date.day = DaysInMonth(date.year, date.month);
      return date;
    }
    ++date.year;
    date.month = 1;
  }
  date.day = 1;
  return date;
}

YearMonthDay StepDays(YearMonthDay date, int days) {
  for (; days < 0; ++days) date = PreviousDay(date);
  for (; days > 0; --days) date = NextDay(date);
  return date;
}

std::optional<YearMonthDay> PreviousMonth(YearMonthDay date) {
  if (date.month > 1) {
    --date.month;
  } else {
    if (date.year <= kFirstNavigableYear) return std::nullopt;
    --date.year;
    date.month = 12;
  }
  date.day = std::min(date.day, DaysInMonth(date.year, date.month));
  return date;
}

std::optional<YearMonthDay> NextMonth(YearMonthDay date) {
  if (date.month < 12) {
    ++date.month;
  } else {
    if (date.year >= kLastNavigableYear) return std::nullopt;
    ++date.year;
    date.month = 1;
  }
  date.day = std::min(date.day, DaysInMonth(date.year, date.month));
  return date;
}

}  // namespace yk::sched
