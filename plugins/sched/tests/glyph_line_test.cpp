// The glyph line of each record form, written as a string: digits as digits, Y M D the
// year, month and day marks, ':' the time separator, '~' the range mark, '*' the every
// mark, A / E / W the all-day, every-day and weekly marks, '[' the bracket pair and wN
// the weekday name N inside it; each '_' is one pixel of gap.  The line starts at x = 1.
#include "plugins/sched/glyph_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace yk::sched {
namespace {

std::string Symbol(SkinCell cell) {
  const int c = int(cell);
  if (c >= int(SkinCell::kSmallDigit0) && c < int(SkinCell::kSmallDigit0) + 10)
    return std::string(1, char('0' + c - int(SkinCell::kSmallDigit0)));
  if (c >= int(SkinCell::kWeekday0) && c < int(SkinCell::kWeekday0) + 7) {
    // Appended, not "w" + number: GCC 12 at -O3 warns (-Wrestrict) about the latter.
    std::string symbol(1, 'w');
    symbol += std::to_string(c - int(SkinCell::kWeekday0));
    return symbol;
  }
  switch (cell) {
    case SkinCell::kYearMark:
      return "Y";
    case SkinCell::kMonthMark:
      return "M";
    case SkinCell::kDayMark:
      return "D";
    case SkinCell::kTimeSeparator:
      return ":";
    case SkinCell::kRangeMark:
      return "~";
    case SkinCell::kEveryMark:
      return "*";
    case SkinCell::kAllDayMark:
      return "A";
    case SkinCell::kEveryDayMark:
      return "E";
    case SkinCell::kWeeklyMark:
      return "W";
    case SkinCell::kBracketPair:
      return "[";
    default:
      return "?";
  }
}

std::string Render(const std::vector<GlyphPlacement>& glyphs) {
  std::string out;
  int end = 1;
  for (const auto& g : glyphs) {
    if (g.x > end) out.append(size_t(g.x - end), '_');
    out += Symbol(g.cell);
    end = std::max(end, g.x + CellOf(g.cell).width);
  }
  return out;
}

ScheduleRecord Record(int sy, int sm, int sd, int sh, int smin, int ey, int em, int ed, int eh,
                      int emin, int period) {
  ScheduleRecord r{};
  r.startYear = sy, r.startMonth = sm, r.startDay = sd, r.startHour = sh, r.startMinute = smin;
  r.endYear = ey, r.endMonth = em, r.endDay = ed, r.endHour = eh, r.endMinute = emin;
  r.period = period;
  return r;
}

struct GlyphCase {
  const char* rule;
  ScheduleRecord record;
  const char* expected;
};

TEST(GlyphLine, EveryRecordForm) {
  const GlyphCase cases[] = {
      {"one day with times: start, time, range, end time only",
       Record(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1), "2004_Y05M07D_10:00~_11:30"},
      {"continuous span over days: both dates with their times",
       Record(2004, 5, 1, 10, 0, 2004, 5, 3, 12, 0, -1), "2004_Y05M01D_10:00~2004_Y05M03D_12:00"},
      {"all-day span over days ends with the all-day mark",
       Record(2004, 5, 1, 0, 0, 2004, 5, 3, 0, 0, -1), "2004_Y05M01D~2004_Y05M03D_____A"},
      {"single all-day day has no range mark", Record(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1),
       "2004_Y05M07D_____A"},
      {"weekly: weekday in brackets, then the times",
       Record(2004, 6, 1, 10, 0, 2004, 6, 30, 11, 0, 3),
       "2004_Y06M01D~2004_Y06M30D_____W[w3_10:00~_11:00"},
      {"every day: the every-day mark, then the times",
       Record(2004, 5, 1, 9, 0, 2004, 5, 10, 17, 0, -2),
       "2004_Y05M01D~2004_Y05M10D_____E_09:00~_17:00"},
      {"every year over several years: year range, months less 50",
       Record(2003, 53, 5, 0, 0, 2006, 55, 10, 0, 0, -1), "2003_Y~2006_Y__03M05D~05M10D_____A"},
      {"every year within one year: no year range",
       Record(2004, 53, 5, 0, 0, 2004, 55, 10, 0, 0, -1), "2004_Y__03M05D~05M10D_____A"},
      {"every month over several months: month range, days less 50",
       Record(2003, 3, 55, 0, 0, 2006, 5, 60, 0, 0, -1), "2003_Y03M~2006_Y05M05D~10D_____A"},
      {"every year and every month", Record(2003, 53, 55, 0, 0, 2006, 55, 60, 0, 0, -1),
       "2003_Y~2006_Y__03M~05M05D~10D_____A"},
      {"every month within one month keeps the times of a span",
       Record(2004, 5, 51, 10, 0, 2004, 5, 53, 11, 0, -1), "2004_Y05M01D_10:00~03D_11:00"},
      {"year 0 shows the every mark", Record(0, 5, 5, 0, 0, 0, 5, 5, 0, 0, -1), "*Y05M05D_____A"},
      {"month 0 with a day shows the every mark", Record(2004, 0, 15, 0, 0, 2004, 0, 15, 0, 0, -1),
       "2004_Y*M15D_____A"},
      {"no start date: the line begins at x = 11", Record(0, 0, 0, 0, 0, 2004, 5, 7, 0, 0, -1),
       "__________~2004_Y05M07D_____A"},
  };
  for (const auto& c : cases) {
    const bool allDay = c.record.startHour == 0 && c.record.startMinute == 0 &&
                        c.record.endHour == 0 && c.record.endMinute == 0;
    const auto glyphs = BuildGlyphLine(c.record, allDay, 77);
    EXPECT_EQ(Render(glyphs), c.expected) << c.rule;
    for (const auto& g : glyphs) EXPECT_EQ(g.y, 77) << c.rule;
  }
}

TEST(GlyphLine, OutOfRangeNumbersStayWithinTheirDigits) {
  // A broken record must not produce cells outside the digit range.
  const auto glyphs =
      BuildGlyphLine(Record(-12345, 5, 7, 99, -3, -12345, 5, 7, 123, 4, -1), false, 0);
  EXPECT_EQ(Render(glyphs), "2345_Y05M07D_99:03~_23:04");
}

}  // namespace
}  // namespace yk::sched
