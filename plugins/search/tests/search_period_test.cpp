// Periods: which are valid, which records reach into one, which days lie in it.
#include "plugins/search/search_period.h"

#include <gtest/gtest.h>

#include "plugins/search/tests/search_test_data.h"

namespace yk::search {
namespace {

using testing::Schedule;

TEST(SearchPeriod, ValidationTakesYearsMonthsAndDaysOfTheCalendar) {
  const struct {
    const char* rule;
    SearchPeriod period;
    bool valid;
  } cases[] = {
      {"one day", {2004, 5, 7, 2004, 5, 7}, true},
      {"29 February of a leap year", {2004, 2, 29, 2004, 3, 1}, true},
      {"29 February of another year", {2003, 2, 29, 2003, 3, 1}, false},
      {"29 February 2000 (divisible by 400)", {2000, 2, 29, 2000, 2, 29}, true},
      {"first and last years offered", {1975, 1, 1, 2036, 12, 31}, true},
      {"start year 1974", {1974, 12, 31, 2004, 1, 1}, false},
      {"end year 2037", {2004, 1, 1, 2037, 1, 1}, false},
      {"end before start", {2004, 5, 8, 2004, 5, 7}, false},
      {"month 13", {2004, 13, 1, 2004, 13, 2}, false},
      {"end month 0", {2004, 1, 1, 2004, 0, 1}, false},
      {"31 April", {2004, 4, 31, 2004, 5, 1}, false},
      {"end day 0", {2004, 4, 1, 2004, 5, 0}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidPeriod(c.period), c.valid) << c.rule;
  EXPECT_EQ(MonthPeriod(2004, 2), (SearchPeriod{2004, 2, 1, 2004, 2, 29}));
  EXPECT_EQ(MonthPeriod(2003, 12), (SearchPeriod{2003, 12, 1, 2003, 12, 31}));
}

TEST(SearchPeriod, ARecordOverlapsWhenItReachesIntoThePeriodAtEitherEnd) {
  const SearchPeriod may10to20{2004, 5, 10, 2004, 5, 20};
  const struct {
    const char* rule;
    ScheduleRecord record;
    bool overlaps;
  } cases[] = {
      {"started before, ends inside", Schedule(2004, 5, 1, 2004, 5, 10, u""), true},
      {"ends the day before the start", Schedule(2004, 5, 1, 2004, 5, 9, u""), false},
      {"starts on the last day", Schedule(2004, 5, 20, 2004, 6, 1, u""), true},
      {"starts the day after the end", Schedule(2004, 5, 21, 2004, 5, 21, u""), false},
      {"spans the whole period", Schedule(2003, 1, 1, 2005, 1, 1, u""), true},
      {"another year", Schedule(2003, 5, 15, 2003, 5, 15, u""), false},
      {"every year, over years", Schedule(2003, 53, 5, 2006, 55, 10, u""), true},
      {"every year, inside the period", Schedule(2004, 55, 11, 2004, 55, 12, u""), true},
      {"every year, after the period", Schedule(2004, 55, 21, 2004, 55, 22, u""), false},
      {"every month, reaching in", Schedule(2004, 4, 55, 2004, 6, 60, u""), true},
      {"every month, before the period", Schedule(2004, 4, 52, 2004, 5, 59, u""), false},
  };
  for (const auto& c : cases) EXPECT_EQ(OverlapsPeriod(c.record, may10to20), c.overlaps) << c.rule;
}

TEST(SearchPeriod, DaysInThePeriodIncludeBothEnds) {
  const SearchPeriod p{2003, 12, 30, 2004, 1, 2};
  const struct {
    int y, m, d;
    bool in;
  } cases[] = {{2003, 12, 29, false}, {2003, 12, 30, true}, {2003, 12, 31, true},
               {2004, 1, 2, true},    {2004, 1, 3, false},  {2004, 12, 31, false}};
  for (const auto& c : cases) EXPECT_EQ(InPeriod(c.y, c.m, c.d, p), c.in) << c.y << c.m << c.d;
}

}  // namespace
}  // namespace yk::search
