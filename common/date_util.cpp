// date_util.cpp — Gregorian calendar arithmetic on plain integers.
#include "common/date_util.h"

namespace yk {

bool IsLeapYear(int year) {
  return (year % 400 == 0) || (year % 4 == 0 && year % 100 != 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

int WeekdayOf(int year, int month, int day) {
  if (month < 1 || month > 12) return 0;
  // January and February count as months 13 and 14 of the year before.
  long y = year;
  long m = month;
  if (m < 3) {
    m += 12;
    y -= 1;
  }
  long sum = y + y / 4 - y / 100 + y / 400 + (13 * m + 8) / 5 + day;
  long weekday = sum % 7;
  return static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
}

long DayNumber(const YearMonthDay& date) {
  // Days before the year, then before the month, then the day itself.
  long y = static_cast<long>(date.year) - 1;
  long days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < date.month && m <= 12; ++m) days += DaysInMonth(date.year, m);
  return days + date.day - 1;
}

YearMonthDay DateFromDayNumber(long dayNumber) {
  // 400 years hold 146097 days; walk down from the cycle to the day.
  long cycles = dayNumber / 146097;
  long rest = dayNumber % 146097;
  if (rest < 0) {
    rest += 146097;
    cycles -= 1;
  }
  long year = cycles * 400 + 1;
  while (true) {
    long length = IsLeapYear(static_cast<int>(year)) ? 366 : 365;
    if (rest < length) break;
    rest -= length;
    ++year;
  }
  int month = 1;
  while (rest >= DaysInMonth(static_cast<int>(year), month)) {
    rest -= DaysInMonth(static_cast<int>(year), month);
    ++month;
  }
  return {static_cast<int>(year), month, static_cast<int>(rest) + 1};
}

YearMonthDay AddDays(const YearMonthDay& date, int days) {
  return DateFromDayNumber(DayNumber(date) + days);
}

YearMonthDay AddMonths(const YearMonthDay& date, int months) {
  long index = static_cast<long>(date.year) * 12 + (date.month - 1) + months;
  long year = index / 12;
  long month = index % 12;
  if (month < 0) {
    month += 12;
    year -= 1;
  }
  YearMonthDay result{static_cast<int>(year), static_cast<int>(month) + 1, date.day};
  int last = DaysInMonth(result.year, result.month);
  if (result.day > last) result.day = last;
  return result;
}

int CompareDates(const YearMonthDay& a, const YearMonthDay& b) {
  auto order = a <=> b;
  if (order < 0) return -1;
  if (order > 0) return 1;
  return 0;
}

}  // namespace yk
