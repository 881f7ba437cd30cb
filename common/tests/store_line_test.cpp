// Schedule lines, levels, file paths and level keys.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/decimal_text.h"
#include "common/schedule_store.h"
#include "common/tests/store_test_support.h"

namespace yk {
namespace {

using testing::MakeRecord;

TEST(StoreLine, FormatsFixedWidthColumns) {
  struct Case {
    const char* rule;
    ScheduleRecord record;
    std::u16string line;
  } cases[] = {
      {"period -1 as \"-1\"", MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u"会議"),
       u"(2004,05,07,10,00 2004,05,07,11,30 -1)(会議)"},
      {"period 3 as \"03\"", MakeRecord(2004, 6, 1, 9, 5, 2004, 6, 30, 9, 45, 3, u"x"),
       u"(2004,06,01,09,05 2004,06,30,09,45 03)(x)"},
      {"period -2", MakeRecord(2004, 6, 1, 23, 0, 2004, 6, 3, 1, 0, -2, u""),
       u"(2004,06,01,23,00 2004,06,03,01,00 -2)()"},
      {"marks kept as stored", MakeRecord(2003, 53, 5, 0, 0, 2006, 55, 10, 0, 0, -1, u"…"),
       u"(2003,53,05,00,00 2006,55,10,00,00 -1)(…)"},
      {"parentheses stored as they are", MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, 0, u"(a)"),
       u"(2004,05,07,00,00 2004,05,07,00,00 00)((a))"},
      {"line breaks escaped", MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"a\r\nb\nc"),
       u"(2004,05,07,00,00 2004,05,07,00,00 -1)(a__TVRET__b__TVRET__c)"},
      {"year kept four digits wide", MakeRecord(0, 5, 7, 0, 0, 0, 5, 7, 0, 0, -1, u"y"),
       u"(0000,05,07,00,00 0000,05,07,00,00 -1)(y)"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatScheduleLine(c.record), c.line) << c.rule;
}

TEST(StoreLine, ALineIsCutTo2047Characters) {
  // 400 line breaks become 3600 characters of "__TVRET__".
  ScheduleRecord r = MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, std::u16string(400, u'\n'));
  std::u16string line = FormatScheduleLine(r);
  ASSERT_EQ(line.size(), 2047u);
  EXPECT_NE(line.back(), u')') << "the closing parenthesis is lost";
  ScheduleRecord back{};
  ASSERT_TRUE(ParseScheduleLine(line, &back));
  // The text is cut to 1023 on reading; the escape sequence survives as it was written.
  EXPECT_EQ(RecordText(back).size(), 1023u);
  EXPECT_TRUE(RecordText(back).starts_with(u"__TVRET____TVRET__"));
}

TEST(StoreLine, ParsesOrRejects) {
  struct Case {
    const char* rule;
    std::u16string line;
    bool parses;
    ScheduleRecord expected;
  } cases[] = {
      {"plain line", u"(2004,05,07,10,00 2004,05,07,11,30 -1)(会議)", true,
       MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u"会議")},
      {"anything before the first ( is ignored", u"xx (2004,05,07,10,00 2004,05,07,11,30 03)(a)",
       true, MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, 3, u"a")},
      {"text keeps inner parentheses", u"(2004,05,07,10,00 2004,05,07,11,30 03)((a)b)", true,
       MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, 3, u"(a)b")},
      {"only the last character of the text is dropped",
       u"(2004,05,07,10,00 2004,05,07,11,30 03)(abc", true,
       MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, 3, u"ab")},
      {"empty remainder gives empty text", u"(2004,05,07,10,00 2004,05,07,11,30 03)(", true,
       MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, 3, u"")},
      {"leading spaces and a sign in a number", u"(2004, 5,+7,10,00 2004,05,07,11,30 -1)(x)", true,
       MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u"x")},
      {"no digits read as 0", u"(2004,ab,07,10,00 2004,05,07,11,30 -1)(x)", true,
       MakeRecord(2004, 0, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u"x")},
      {"one-digit start month", u"(2004,5,07,10,00 2004,05,07,11,30 -1)(x)", false, {}},
      {"no (", u"2004,05,07,10,00 2004,05,07,11,30 -1", false, {}},
      {"38 characters", u"(2004,05,07,10,00 2004,05,07,11,30 -1)", false, {}},
      {"no ( at 38", u"(2004,05,07,10,00 2004,05,07,11,30 -1)x(x)", false, {}},
      {"no , at 22", u"(2004,05,07,10,00 2004;05,07,11,30 -1)(x)", false, {}},
      {"empty line", u"", false, {}},
  };
  for (const Case& c : cases) {
    ScheduleRecord parsed = MakeRecord(1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, u"untouched");
    ScheduleRecord before = parsed;
    ASSERT_EQ(ParseScheduleLine(c.line, &parsed), c.parses) << c.rule;
    EXPECT_TRUE(RecordsEqual(parsed, c.parses ? c.expected : before)) << c.rule;
  }
}

// Every number field reads as the library conversion reads its characters, whatever
// unit stands in any place of it: units next to the digits, signs, blanks, and units
// whose low byte is a digit.
TEST(StoreLine, EveryFieldReadsAsTheLibraryConversionDoes) {
  const std::u16string base = u"(2004,05,07,10,00 2004,05,07,11,30 03)(x)";
  const int starts[] = {1, 6, 9, 12, 15, 18, 23, 26, 29, 32, 35};
  const int widths[] = {4, 2, 2, 2, 2, 4, 2, 2, 2, 2, 2};
  const char16_t units[] = {u'/', u'0',  u'9',      u':',      u' ',      u'\t',     u'+',
                            u'-', u'\0', u'\u0130', u'\u0139', u'\uFF10', u'\u3039', u'\uFFFF'};
  for (int field = 0; field < 11; ++field) {
    for (int place = 0; place < widths[field]; ++place) {
      for (char16_t unit : units) {
        std::u16string line = base;
        line[starts[field] + place] = unit;
        ScheduleRecord r{};
        ASSERT_TRUE(ParseScheduleLine(line, &r));
        const int32_t read[] = {r.startYear,   r.startMonth, r.startDay, r.startHour,
                                r.startMinute, r.endYear,    r.endMonth, r.endDay,
                                r.endHour,     r.endMinute,  r.period};
        for (int f = 0; f < 11; ++f) {
          const std::u16string_view text(line.data() + starts[f], widths[f]);
          EXPECT_EQ(read[f], ReadDecimal(text)) << "unit " << int(unit) << " at place " << place
                                                << " of field " << field << ", field " << f;
        }
      }
    }
  }
}

TEST(StoreLine, TextIsCutTo1023OnReading) {
  std::u16string line =
      u"(2004,05,07,10,00 2004,05,07,11,30 -1)(" + std::u16string(1500, u'z') + u")";
  ScheduleRecord r{};
  ASSERT_TRUE(ParseScheduleLine(line, &r));
  EXPECT_EQ(RecordText(r), std::u16string(1023, u'z'));
}

TEST(StoreLine, FormattedLinesReadBack) {
  const ScheduleRecord records[] = {
      MakeRecord(1975, 1, 1, 0, 0, 2036, 12, 31, 23, 59, -2, u"a"),
      MakeRecord(2004, 55, 60, 8, 30, 2004, 55, 70, 9, 0, 6, u"毎月"),
      MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, 0, std::u16string(1023, u'あ')),
  };
  for (const ScheduleRecord& r : records) {
    ScheduleRecord back{};
    ASSERT_TRUE(ParseScheduleLine(FormatScheduleLine(r), &back));
    EXPECT_TRUE(RecordsEqual(back, r)) << r.period;
  }
}

TEST(StoreLevels, RecordsGoWhereTheyReach) {
  const std::filesystem::path data = "/data/";
  struct Case {
    const char* rule;
    ScheduleRecord record;
    SpanLevel level;
    std::string path;
  } cases[] = {
      {"same day, different times", MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u""),
       SpanLevel::Day, "/data/2004/5/7/sched.txt"},
      {"1 to 3 May", MakeRecord(2004, 5, 1, 0, 0, 2004, 5, 3, 0, 0, -1, u""), SpanLevel::Days,
       "/data/2004/5/sched.txt"},
      {"30 April to 2 May", MakeRecord(2004, 4, 30, 0, 0, 2004, 5, 2, 0, 0, -1, u""),
       SpanLevel::Months, "/data/2004/sched.txt"},
      {"31 December to 1 January", MakeRecord(2004, 12, 31, 0, 0, 2005, 1, 1, 0, 0, -1, u""),
       SpanLevel::Years, "/data/sched.txt"},
      {"every year, one year: the plain year's folder",
       MakeRecord(2004, 53, 5, 0, 0, 2004, 55, 10, 0, 0, -1, u""), SpanLevel::Months,
       "/data/2004/sched.txt"},
      {"every month within one month: folder of the real month",
       MakeRecord(2004, 53, 55, 0, 0, 2004, 53, 60, 0, 0, -1, u""), SpanLevel::Days,
       "/data/2004/3/sched.txt"},
      {"marked single day", MakeRecord(2004, 53, 55, 0, 0, 2004, 53, 55, 0, 0, -1, u""),
       SpanLevel::Day, "/data/2004/3/5/sched.txt"},
      {"year 0", MakeRecord(0, 5, 7, 0, 0, 0, 5, 7, 0, 0, -1, u""), SpanLevel::Years,
       "/data/sched.txt"},
      {"month 0", MakeRecord(2004, 0, 7, 0, 0, 2004, 0, 7, 0, 0, -1, u""), SpanLevel::Months,
       "/data/2004/sched.txt"},
      {"end day before start day", MakeRecord(2004, 5, 9, 0, 0, 2004, 5, 7, 0, 0, -1, u""),
       SpanLevel::Day, "/data/2004/5/9/sched.txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SpanLevelOf(c.record), c.level) << c.rule;
    EXPECT_EQ(ScheduleFilePathOf(data, c.record).string(), c.path) << c.rule;
  }
}

TEST(StoreLevels, KeysNameEveryFolderOfTheFile) {
  // Different files never share a key; the same file always has one.
  std::set<int32_t> keys;
  for (int year : {1975, 2004, 2036}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 31; ++day) {
        int32_t key = LevelKey(SpanLevel::Day, year, month, day);
        ASSERT_NE(key, 0);
        ASSERT_TRUE(keys.insert(key).second) << year << "-" << month << "-" << day;
      }
    }
  }
  EXPECT_EQ(LevelKey(SpanLevel::Day, 2004, 53, 55), LevelKey(SpanLevel::Day, 2004, 3, 5));
  EXPECT_NE(LevelKey(SpanLevel::Days, 2004, 1, 0), LevelKey(SpanLevel::Days, 2005, 1, 0));
  EXPECT_NE(LevelKey(SpanLevel::Years, 0, 0, 0), 0);
  EXPECT_EQ(LevelKey(SpanLevel::Months, 0, 0, 0), 0) << "not a file a record can name";
  EXPECT_EQ(LevelKey(SpanLevel::Day, 2004, 1, 150), 0)
      << "day folder 100 would run into the month digits";
  EXPECT_EQ(LevelKey(SpanLevel::Days, -2004, 5, 0), 0);
}

}  // namespace
}  // namespace yk
