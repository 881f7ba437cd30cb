// Calendar facts: month lengths, weekdays, stepping, the 50-marks.
#include "common/date_util.h"

#include <gtest/gtest.h>

namespace yk {
namespace {

TEST(DateUtil, DaysInMonthFollowsTheGregorianRule) {
  struct Case {
    int year, month, days;
  } cases[] = {
      {2004, 2, 29},                 // divisible by 4
      {2003, 2, 28}, {1900, 2, 28},  // divisible by 100, not by 400
      {2000, 2, 29},                 // divisible by 400
      {2100, 2, 28}, {2004, 1, 31}, {2004, 4, 30}, {2004, 12, 31},
      {2004, 0, 0},  {2004, 13, 0}, {2004, -1, 0},  // no such month
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DaysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
  }
}

TEST(DateUtil, WeekdayOfKnownDates) {
  struct Case {
    int year, month, day, weekday;
  } cases[] = {
      {2004, 5, 7, kFriday},      {2000, 1, 1, kSaturday},  {1975, 1, 1, kWednesday},
      {2036, 12, 31, kWednesday}, {2000, 2, 29, kTuesday},  {1900, 3, 1, kThursday},
      {2100, 2, 28, kSunday},     {2004, 6, 2, kWednesday}, {2004, 1, 1, kThursday},
      {2004, 2, 1, kSunday},  // January and February count as months of the year before
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WeekdayOf(c.year, c.month, c.day), c.weekday)
        << c.year << "-" << c.month << "-" << c.day;
  }
}

// Two independent calculations must agree over every day the program offers: stepping one
// day forward moves the weekday by one and never skips or repeats a date.
TEST(DateUtil, SteppingAgreesWithWeekdayAndMonthLengthsAcrossTheOfferedYears) {
  YearMonthDay date{kFirstYear, 1, 1};
  int weekday = WeekdayOf(date.year, date.month, date.day);
  int days = 0;
  while (date.year <= kLastYear) {
    ASSERT_TRUE(IsValidDate(date.year, date.month, date.day));
    ASSERT_EQ(WeekdayOf(date.year, date.month, date.day), weekday);
    ASSERT_EQ(DateFromDayNumber(DayNumber(date)), date);
    YearMonthDay next = AddDays(date, 1);
    ASSERT_GT(next, date);
    ASSERT_EQ(AddDays(next, -1), date);
    date = next;
    weekday = (weekday + 1) % 7;
    ++days;
  }
  EXPECT_EQ(days, 62 * 365 + 16);  // 1976 .. 2036 hold 16 leap years
}

TEST(DateUtil, AddMonthsCutsTheDayToTheTargetMonth) {
  struct Case {
    YearMonthDay from;
    int months;
    YearMonthDay to;
  } cases[] = {
      {{2004, 1, 31}, 1, {2004, 2, 29}},   {{2003, 1, 31}, 1, {2003, 2, 28}},
      {{2004, 12, 15}, 1, {2005, 1, 15}},  {{2004, 1, 15}, -1, {2003, 12, 15}},
      {{2004, 3, 31}, -13, {2003, 2, 28}}, {{2004, 5, 7}, 0, {2004, 5, 7}},
  };
  for (const Case& c : cases) EXPECT_EQ(AddMonths(c.from, c.months), c.to);
}

TEST(DateUtil, DatesCompareAsYearThenMonthThenDay) {
  struct Case {
    YearMonthDay a, b;
    int result;
  } cases[] = {
      {{2004, 5, 7}, {2004, 5, 7}, 0},  {{2003, 12, 31}, {2004, 1, 1}, -1},
      {{2004, 2, 1}, {2004, 1, 31}, 1}, {{0, 3, 5}, {0, 3, 4}, 1},  // month and day only
      {{2004, 5, 7}, {2004, 5, 8}, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(CompareDates(c.a, c.b), c.result);
}

TEST(DateUtil, RepeatMarksAreAboveFifty) {
  struct Case {
    int stored, real;
    bool marked;
  } cases[] = {{50, 50, false}, {51, 1, true}, {62, 12, true}, {81, 31, true}, {7, 7, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(StripRepeatMark(c.stored), c.real) << c.stored;
    EXPECT_EQ(IsEveryYear(c.stored), c.marked) << c.stored;
    EXPECT_EQ(IsEveryMonth(c.stored), c.marked) << c.stored;
    EXPECT_EQ(WithRepeatMark(c.real, c.marked), c.stored) << c.stored;
  }
}

}  // namespace
}  // namespace yk
