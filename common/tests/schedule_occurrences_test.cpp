// The spans a stored record covers: each kind, the days that don't exist, the records no
// calendar could show.
#include "common/schedule_occurrences.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/tests/store_test_support.h"

namespace yk {
namespace {

using testing::MakeRecord;

// "2004-05-07 10:00..2004-05-07 11:30" or, all day, "2004-05-07..2004-05-09".
std::string Describe(const Occurrence& o) {
  char text[80];
  if (o.allDay) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d..%04d-%02d-%02d", o.start.date.year,
                  o.start.date.month, o.start.date.day, o.end.date.year, o.end.date.month,
                  o.end.date.day);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d..%04d-%02d-%02d %02d:%02d",
                  o.start.date.year, o.start.date.month, o.start.date.day, o.start.minutes / 60,
                  o.start.minutes % 60, o.end.date.year, o.end.date.month, o.end.date.day,
                  o.end.minutes / 60, o.end.minutes % 60);
  }
  return text;
}

struct Case {
  const char* rule;
  ScheduleRecord record;
  RecordKind kind;
  std::vector<std::string> occurrences;  // all of them
};

TEST(ScheduleOccurrences, EachKindCoversItsDays) {
  const Case cases[] = {
      {"one all-day date",
       MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"x"),
       RecordKind::kSpan,
       {"2004-05-07..2004-05-07"}},
      {"a timed span over days",
       MakeRecord(2004, 6, 1, 10, 0, 2004, 6, 3, 12, 0, -1, u"x"),
       RecordKind::kSpan,
       {"2004-06-01 10:00..2004-06-03 12:00"}},
      {"every day of a range",
       MakeRecord(2004, 6, 1, 10, 0, 2004, 6, 3, 11, 30, -2, u"x"),
       RecordKind::kEveryDay,
       {"2004-06-01 10:00..2004-06-01 11:30", "2004-06-02 10:00..2004-06-02 11:30",
        "2004-06-03 10:00..2004-06-03 11:30"}},
      {"a window past midnight runs into the next day",
       MakeRecord(2004, 6, 1, 23, 0, 2004, 6, 2, 1, 0, -2, u"x"),
       RecordKind::kEveryDay,
       {"2004-06-01 23:00..2004-06-02 01:00", "2004-06-02 23:00..2004-06-03 01:00"}},
      {"Wednesdays of June 2004 (the range starts on a Tuesday)",
       MakeRecord(2004, 6, 1, 0, 0, 2004, 6, 30, 0, 0, 3, u"x"),
       RecordKind::kWeekly,
       {"2004-06-02..2004-06-02", "2004-06-09..2004-06-09", "2004-06-16..2004-06-16",
        "2004-06-23..2004-06-23", "2004-06-30..2004-06-30"}},
      {"a weekday the range never reaches",
       MakeRecord(2004, 6, 1, 9, 0, 2004, 6, 1, 10, 0, 3, u"x"),
       RecordKind::kWeekly,
       {}},
      {"every year, 5 March to 10 May",
       MakeRecord(2003, 53, 5, 0, 0, 2005, 55, 10, 0, 0, -1, u"x"),
       RecordKind::kEveryYear,
       {"2003-03-05..2003-05-10", "2004-03-05..2004-05-10", "2005-03-05..2005-05-10"}},
      {"29 February every year: the leap years only",
       MakeRecord(2003, 52, 29, 0, 0, 2008, 52, 29, 0, 0, -1, u"x"),
       RecordKind::kEveryYear,
       {"2004-02-29..2004-02-29", "2008-02-29..2008-02-29"}},
      {"the 31st every month: months with a 31st",
       MakeRecord(2004, 4, 81, 9, 0, 2004, 8, 81, 10, 0, -1, u"x"),
       RecordKind::kEveryMonth,
       {"2004-05-31 09:00..2004-05-31 10:00", "2004-07-31 09:00..2004-07-31 10:00",
        "2004-08-31 09:00..2004-08-31 10:00"}},
      {"days 5 to 10 of March to May, 2003 and 2004",
       MakeRecord(2003, 53, 55, 0, 0, 2004, 55, 60, 0, 0, -1, u"x"),
       RecordKind::kEveryYearMonth,
       {"2003-03-05..2003-03-10", "2003-04-05..2003-04-10", "2003-05-05..2003-05-10",
        "2004-03-05..2004-03-10", "2004-04-05..2004-04-10", "2004-05-05..2004-05-10"}},
      {"a mark on one side only",
       MakeRecord(2004, 53, 5, 0, 0, 2004, 5, 10, 0, 0, -1, u"x"),
       RecordKind::kInvalid,
       {}},
      {"month 13",
       MakeRecord(2004, 13, 1, 0, 0, 2004, 13, 1, 0, 0, -1, u"x"),
       RecordKind::kInvalid,
       {}},
      {"31 April",
       MakeRecord(2004, 4, 31, 0, 0, 2004, 4, 31, 0, 0, -1, u"x"),
       RecordKind::kInvalid,
       {}},
      {"a span that ends before it starts",
       MakeRecord(2004, 5, 7, 11, 0, 2004, 5, 7, 10, 0, -1, u"x"),
       RecordKind::kInvalid,
       {}},
      {"an end date before the start",
       MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 6, 0, 0, -2, u"x"),
       RecordKind::kInvalid,
       {}},
      {"hour 24",
       MakeRecord(2004, 5, 7, 24, 0, 2004, 5, 7, 24, 0, -1, u"x"),
       RecordKind::kInvalid,
       {}},
      {"a period outside -2..6",
       MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, 7, u"x"),
       RecordKind::kInvalid,
       {}},
      {"the deleted marker",
       MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -10, u"x"),
       RecordKind::kInvalid,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(KindOf(c.record), c.kind);
    std::vector<std::string> got;
    for (const Occurrence& o : RecordOccurrences(c.record, 100)) got.push_back(Describe(o));
    EXPECT_EQ(got, c.occurrences);
  }
}

TEST(ScheduleOccurrences, TheLimitCutsTheList) {
  const ScheduleRecord daily = MakeRecord(1975, 1, 1, 0, 0, 2036, 12, 31, 0, 0, -2, u"x");
  EXPECT_EQ(RecordOccurrences(daily, 10).size(), 10u);
  EXPECT_EQ(RecordOccurrences(daily, 100000).size(), 22646u);  // every day of 1975..2036
  EXPECT_TRUE(RecordOccurrences(daily, 0).empty());
}

TEST(ScheduleOccurrences, TheRangeEndsOnTheLastDayItReaches) {
  const struct {
    ScheduleRecord record;
    YearMonthDay end;
  } cases[] = {
      {MakeRecord(2004, 6, 1, 0, 0, 2004, 6, 30, 0, 0, 3, u"x"), {2004, 6, 30}},
      {MakeRecord(2004, 1, 81, 0, 0, 2004, 4, 81, 0, 0, -1, u"x"), {2004, 4, 30}},
      {MakeRecord(2003, 52, 29, 0, 0, 2005, 52, 29, 0, 0, -1, u"x"), {2005, 2, 28}},
      {MakeRecord(2003, 53, 55, 0, 0, 2006, 55, 60, 0, 0, -1, u"x"), {2006, 5, 10}},
  };
  for (const auto& c : cases) EXPECT_EQ(RecordRangeEnd(c.record), c.end);
}

}  // namespace
}  // namespace yk
