#include "plugins/sched/day_navigation.h"

#include <gtest/gtest.h>

namespace yk::sched {
namespace {

using D = YearMonthDay;

TEST(DayNavigation, DaySteps) {
  struct Case {
    const char* rule;
    D from;
    int days;
    D expected;
  } cases[] = {
      {"leap February 2004", {2004, 3, 1}, -1, {2004, 2, 29}},
      {"common February 2003", {2003, 3, 1}, -1, {2003, 2, 28}},
      {"2000 is a leap year", {2000, 3, 1}, -1, {2000, 2, 29}},
      {"into the year before", {1976, 1, 1}, -1, {1975, 12, 31}},
      {"1 January 1975 stays", {1975, 1, 1}, -1, {1975, 1, 1}},
      {"week back stops at the bound", {1975, 1, 3}, -7, {1975, 1, 1}},
      {"1980 and before are reachable", {1980, 1, 1}, -1, {1979, 12, 31}},
      {"to 29 February", {2004, 2, 28}, 1, {2004, 2, 29}},
      {"from 29 February", {2004, 2, 29}, 1, {2004, 3, 1}},
      {"into the next year", {2004, 12, 31}, 1, {2005, 1, 1}},
      {"2031 and after are reachable", {2030, 12, 31}, 1, {2031, 1, 1}},
      {"into the last year", {2035, 12, 31}, 1, {2036, 1, 1}},
      {"31 December 2036 stays", {2036, 12, 31}, 1, {2036, 12, 31}},
      {"week forward stops at the bound", {2036, 12, 28}, 7, {2036, 12, 31}},
      {"week forward over a month end", {2004, 4, 28}, 7, {2004, 5, 5}},
      {"31 February back is the month's last day", {2004, 2, 31}, -1, {2004, 2, 29}},
      {"31 February forward is 1 March", {2004, 2, 31}, 1, {2004, 3, 1}},
  };
  for (const auto& c : cases) EXPECT_EQ(StepDays(c.from, c.days), c.expected) << c.rule;
}

TEST(DayNavigation, MonthSteps) {
  using Step = std::optional<D> (*)(D);
  const Step next = NextMonth, previous = PreviousMonth;
  struct Case {
    const char* rule;
    Step step;
    D from;
    std::optional<D> expected;
  } cases[] = {
      {"the day number stays where the month has it", next, {2004, 1, 15}, D{2004, 2, 15}},
      {"31 January to the end of a leap February", next, {2004, 1, 31}, D{2004, 2, 29}},
      {"31 January to the end of a common February", next, {2003, 1, 31}, D{2003, 2, 28}},
      {"31 March back to 29 February", previous, {2004, 3, 31}, D{2004, 2, 29}},
      {"31 May back to 30 April", previous, {2004, 5, 31}, D{2004, 4, 30}},
      {"31 December into January", next, {2026, 12, 31}, D{2027, 1, 31}},
      {"31 January back into December", previous, {2027, 1, 31}, D{2026, 12, 31}},
      {"over the year into 2030", next, {2029, 12, 5}, D{2030, 1, 5}},
      {"December 2030 goes on", next, {2030, 12, 1}, D{2031, 1, 1}},
      {"into the last year", next, {2035, 12, 31}, D{2036, 1, 31}},
      {"December 2036 is the end", next, {2036, 12, 1}, std::nullopt},
      {"January 1980 goes back", previous, {1980, 1, 15}, D{1979, 12, 15}},
      {"into the first year", previous, {1976, 1, 31}, D{1975, 12, 31}},
      {"January 1975 is the start", previous, {1975, 1, 15}, std::nullopt},
      {"within the first year", previous, {1975, 2, 15}, D{1975, 1, 15}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.step(c.from), c.expected) << c.rule;
}

// Paging on from 31 December never meets a day its month lacks.
TEST(DayNavigation, MonthPagingFromTheEndOfTheYearStaysOnRealDays) {
  std::optional<D> date = D{2026, 12, 31};
  const int expectedDays[] = {31, 28, 28, 28, 28};
  for (int expected : expectedDays) {
    date = NextMonth(*date);
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(date->day, expected) << date->month;
    EXPECT_TRUE(IsValidDate(date->year, date->month, date->day));
  }
}

}  // namespace
}  // namespace yk::sched
