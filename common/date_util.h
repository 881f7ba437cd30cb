// date_util.h — the one place for calendar facts: Gregorian month lengths, weekdays,
// ordering of (year, month, day) triples and the recurrence marks of stored dates.
//
// Dates are plain integers: year (the dialogs offer 1975..2036), month 1..12, day 1..31.
// Weekdays are numbered 0 (Sunday) to 6 (Saturday).  In stored dates a month above 50
// marks a date that repeats every year and a day above 50 one that repeats every month;
// the real month or day is the value less 50.
#pragma once

#include <compare>

namespace yk {

inline constexpr int kFirstYear = 1975;  // first year the pickers offer
inline constexpr int kLastYear = 2036;   // last year the pickers offer
inline constexpr int kRepeatMark = 50;   // added to a month (every year) or a day (every month)

// Weekday numbers used across the program.
enum Weekday : int {
  kSunday = 0,
  kMonday = 1,
  kTuesday = 2,
  kWednesday = 3,
  kThursday = 4,
  kFriday = 5,
  kSaturday = 6
};

// A calendar date; compares as year, then month, then day.  Leave year (or year and
// month) 0 to compare (month, day) or (day) alone.
struct YearMonthDay {
  int year = 0;
  int month = 0;
  int day = 0;
  friend constexpr auto operator<=>(const YearMonthDay&, const YearMonthDay&) = default;
  friend constexpr bool operator==(const YearMonthDay&, const YearMonthDay&) = default;
};

// February has 29 days in years divisible by 400, or by 4 and not by 100.
[[nodiscard]] bool IsLeapYear(int year);

// Days of `month` (1..12) in `year`: 28..31.  0 for a month outside 1..12.
[[nodiscard]] int DaysInMonth(int year, int month);

// True when month is 1..12 and day is 1..DaysInMonth(year, month).
[[nodiscard]] bool IsValidDate(int year, int month, int day);

// Weekday of a Gregorian date, 0 (Sunday) .. 6 (Saturday).  Defined for every year >= 1
// and any month 1..12 / day (day is not checked against the month's length, so day 0 is
// the day before the 1st).  Returns 0 for a month outside 1..12.
[[nodiscard]] int WeekdayOf(int year, int month, int day);

// Days since 1 January of year 1 (that day is 0), for valid dates.  Used to step through
// the calendar; DateFromDayNumber is its inverse.
[[nodiscard]] long DayNumber(const YearMonthDay& date);
[[nodiscard]] YearMonthDay DateFromDayNumber(long dayNumber);

// `date` moved by `days` days (negative moves back).  `date` must be valid.
[[nodiscard]] YearMonthDay AddDays(const YearMonthDay& date, int days);

// `date` moved by `months` months; the day is cut to the last day of the target month.
[[nodiscard]] YearMonthDay AddMonths(const YearMonthDay& date, int months);

// -1, 0 or 1 as a is before, equal to or after b (year, then month, then day).
[[nodiscard]] int CompareDates(const YearMonthDay& a, const YearMonthDay& b);

// ---- recurrence marks ----------------------------------------------------------------

// A stored month above 50: the date repeats every year.
[[nodiscard]] constexpr bool IsEveryYear(int storedMonth) {
  return storedMonth > kRepeatMark;
}

// A stored day above 50: the date repeats every month.
[[nodiscard]] constexpr bool IsEveryMonth(int storedDay) {
  return storedDay > kRepeatMark;
}

// The real month or day of a stored value: less 50 when it carries a mark.
[[nodiscard]] constexpr int StripRepeatMark(int stored) {
  return stored > kRepeatMark ? stored - kRepeatMark : stored;
}

// The stored value of a real month or day, marked when `repeat` is set.
[[nodiscard]] constexpr int WithRepeatMark(int value, bool repeat) {
  return repeat ? value + kRepeatMark : value;
}

}  // namespace yk
