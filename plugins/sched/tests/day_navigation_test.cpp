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
      {"into the year before", {1981, 1, 1}, -1, {1980, 12, 31}},
      {"1 January 1980 stays", {1980, 1, 1}, -1, {1980, 1, 1}},
      {"week back stops at the bound", {1980, 1, 3}, -7, {1980, 1, 1}},
      {"to 29 February", {2004, 2, 28}, 1, {2004, 2, 29}},
      {"from 29 February", {2004, 2, 29}, 1, {2004, 3, 1}},
      {"into the next year", {2004, 12, 31}, 1, {2005, 1, 1}},
      {"31 December 2030 stays", {2030, 12, 31}, 1, {2030, 12, 31}},
      {"week forward stops at the bound", {2030, 12, 28}, 7, {2030, 12, 31}},
      {"week forward over a month end", {2004, 4, 28}, 7, {2004, 5, 5}},
      {"31 February back is the month's last day", {2004, 2, 31}, -1, {2004, 2, 29}},
      {"31 February forward is 1 March", {2004, 2, 31}, 1, {2004, 3, 1}},
  };
  for (const auto& c : cases) EXPECT_EQ(StepDays(c.from, c.days), c.expected) << c.rule;
}

TEST(DayNavigation, MonthStepsKeepTheDay) {
  EXPECT_EQ(NextMonth({2004, 1, 31}), (D{2004, 2, 31}));
  EXPECT_EQ(NextMonth({2029, 12, 5}), (D{2030, 1, 5}));
  EXPECT_EQ(NextMonth({2030, 12, 1}), std::nullopt);
  EXPECT_EQ(PreviousMonth({1981, 1, 31}), (D{1980, 12, 31}));
  EXPECT_EQ(PreviousMonth({1980, 1, 15}), std::nullopt);
  EXPECT_EQ(PreviousMonth({1980, 2, 15}), (D{1980, 1, 15}));
}

}  // namespace
}  // namespace yk::sched
