// The holiday file: lines, matching, the first-match rule, reading limits, saving.
#include "common/holiday.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/atomic_file.h"
#include "common/tests/store_test_support.h"

namespace yk {
namespace {

using testing::Le;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

HolidayEntry MakeHoliday(int startMonth, int startDay, int endMonth, int endDay, int month, int day,
                         int weekday, int colour, std::u16string_view name) {
  HolidayEntry e{};
  e.startMonth = startMonth;
  e.startDay = startDay;
  e.endMonth = endMonth;
  e.endDay = endDay;
  e.month = month;
  e.day = day;
  e.weekday = weekday;
  e.colour = colour;
  SetHolidayName(&e, name);
  return e;
}

bool SameEntry(const HolidayEntry& a, const HolidayEntry& b) {
  return a.startMonth == b.startMonth && a.startDay == b.startDay && a.endMonth == b.endMonth &&
         a.endDay == b.endDay && a.month == b.month && a.day == b.day && a.weekday == b.weekday &&
         a.colour == b.colour && HolidayName(a) == HolidayName(b);
}

TEST(HolidayLine, LinesMatchTheirDates) {
  struct Date {
    int month, day, weekday;
    bool matches;
  };
  struct Case {
    const char* rule;
    std::u16string line;
    std::vector<Date> dates;
  } cases[] = {
      {"one day a year",
       u"(00,00 00,00)(05,05,-1,01,X)",
       {{5, 5, 3, true}, {5, 5, 0, true}, {5, 6, 4, false}, {6, 5, 6, false}}},
      {"the 25th of every month",
       u"(00,00 00,00)(01,75,-1,02,X)",
       {{1, 25, 0, true}, {7, 25, 3, true}, {7, 24, 2, false}}},
      {"Sundays from 29 April to 5 May",
       u"(04,29 05,05)(00,00,00,02,X)",
       {{4, 29, 0, true},
        {5, 2, 0, true},
        {5, 5, 0, true},
        {5, 3, 1, false},
        {4, 28, 0, false},
        {5, 6, 0, false}}},
      {"days 10..20 of every month",
       u"(01,60 12,70)(00,00,-1,03,X)",
       {{3, 10, 1, true},
        {3, 20, 2, true},
        {12, 15, 5, true},
        {3, 9, 0, false},
        {3, 21, 3, false}}},
      {"every day of a period over two months",
       u"(04,29 05,05)(00,00,-1,01,X)",
       {{4, 30, 5, true}, {5, 1, 6, true}, {4, 28, 3, false}, {5, 6, 4, false}}},
      {"a period within one month",
       u"(05,03 05,05)(00,00,-1,01,X)",
       {{5, 3, 1, true}, {5, 5, 3, true}, {5, 2, 0, false}, {5, 6, 4, false}}},
      {"every month from March with no end",
       u"(03,55 00,00)(00,00,-1,01,X)",
       {{3, 5, 1, true}, {12, 31, 3, true}, {3, 4, 0, false}, {2, 10, 4, false}}},
      {"text before the first ( is ignored",
       u"garbage(00,00 00,00)(05,05,-1,01,X)",
       {{5, 5, 3, true}}},
  };
  for (const Case& c : cases) {
    HolidayEntry e{};
    ASSERT_TRUE(ParseHolidayLine(c.line, &e)) << c.rule;
    EXPECT_EQ(HolidayName(e), u"X") << c.rule;
    for (const Date& d : c.dates) {
      EXPECT_EQ(HolidayMatches(e, d.month, d.day, d.weekday), d.matches)
          << c.rule << ": " << d.month << "/" << d.day << " weekday " << d.weekday;
    }
  }
}

TEST(HolidayLine, ParsesFieldsOrRejects) {
  struct Case {
    const char* rule;
    std::u16string line;
    bool parses;
    HolidayEntry expected;
  } cases[] = {
      {"all fields", u"(04,29 05,05)(00,00,00,02,昭和の日)", true,
       MakeHoliday(4, 29, 5, 5, 0, 0, 0, 2, u"昭和の日")},
      {"weekday -1 and colour", u"(00,00 00,00)(05,05,-1,01,X)", true,
       MakeHoliday(0, 0, 0, 0, 5, 5, -1, 1, u"X")},
      {"name keeps inner parentheses", u"(00,00 00,00)(05,05,-1,01,a)b)", true,
       MakeHoliday(0, 0, 0, 0, 5, 5, -1, 1, u"a)b")},
      {"27 characters: empty name", u"(00,00 00,00)(05,05,-1,01,)", true,
       MakeHoliday(0, 0, 0, 0, 5, 5, -1, 1, u"")},
      {"26 characters", u"(00,00 00,00)(05,05,-1,01,", false, {}},
      {"short line", u"(00,00 00,00)(05,05)", false, {}},
      {"no , at 3", u"(00;00 00,00)(05,05,-1,01,X)", false, {}},
      {"no ( at 13", u"(00,00 00,00)x05,05,-1,01,X)", false, {}},
      {"no , at 25", u"(00,00 00,00)(05,05,-1,01;X)", false, {}},
      {"no (", u"00,00 00,00", false, {}},
  };
  for (const Case& c : cases) {
    HolidayEntry e = MakeHoliday(9, 9, 9, 9, 9, 9, 9, 9, u"untouched");
    const HolidayEntry before = e;
    ASSERT_EQ(ParseHolidayLine(c.line, &e), c.parses) << c.rule;
    EXPECT_TRUE(SameEntry(e, c.parses ? c.expected : before)) << c.rule;
  }
}

TEST(HolidayLine, NamesAreCutTo511) {
  HolidayEntry e{};
  ASSERT_TRUE(
      ParseHolidayLine(u"(00,00 00,00)(05,05,-1,01," + std::u16string(600, u'n') + u")", &e));
  EXPECT_EQ(HolidayName(e), std::u16string(511, u'n'));
}

TEST(HolidayLine, WritesBothFormatsAndReadsBack) {
  struct Case {
    HolidayEntry entry;
    std::u16string line;
  } cases[] = {
      {MakeHoliday(0, 0, 0, 0, 5, 5, -1, 1, u"X"), u"(00,00 00,00)(05,05,-1,01,X)\r\n"},
      {MakeHoliday(4, 29, 5, 5, 0, 0, 0, 2, u"X"), u"(04,29 05,05)(00,00,00,02,X)\r\n"},
      {MakeHoliday(1, 60, 12, 70, 0, 0, 6, 3, u"祝"), u"(01,60 12,70)(00,00,06,03,祝)\r\n"},
      {MakeHoliday(0, 0, 0, 0, 1, 75, -1, 0, u"a)b"), u"(00,00 00,00)(01,75,-1,00,a)b)\r\n"},
  };
  for (const Case& c : cases) {
    std::u16string line = WriteHolidayLine(c.entry);
    EXPECT_EQ(line, c.line);
    HolidayEntry back{};
    ASSERT_TRUE(ParseHolidayLine(std::u16string_view(line).substr(0, line.size() - 2), &back));
    EXPECT_TRUE(SameEntry(back, c.entry));
  }
  // A line break in a name would split the entry: it is written as a space.
  EXPECT_EQ(WriteHolidayLine(MakeHoliday(0, 0, 0, 0, 5, 5, -1, 1, u"a\r\nb")),
            u"(00,00 00,00)(05,05,-1,01,a  b)\r\n");
}

TEST(HolidayLine, DisplayTextOfEveryKind) {
  struct Case {
    HolidayEntry entry;
    std::u16string text;
  } cases[] = {
      {MakeHoliday(0, 0, 0, 0, 5, 5, -1, 1, u"こどもの日"), u"[5/5] こどもの日"},
      {MakeHoliday(0, 0, 0, 0, 3, 75, -1, 2, u"給料日"), u"[毎月25日] 給料日"},
      {MakeHoliday(4, 29, 5, 5, 0, 0, -1, 1, u"GW"), u"[4/29～5/5] GW"},
      {MakeHoliday(4, 29, 5, 5, 0, 0, 0, 1, u"X"), u"[4/29～5/5 日曜] X"},
      {MakeHoliday(4, 29, 5, 5, 0, 0, 1, 1, u"X"), u"[4/29～5/5 月曜] X"},
      {MakeHoliday(4, 29, 5, 5, 0, 0, 2, 1, u"X"), u"[4/29～5/5 火曜] X"},
      {MakeHoliday(4, 29, 5, 5, 0, 0, 3, 1, u"X"), u"[4/29～5/5 水曜] X"},
      {MakeHoliday(4, 29, 5, 5, 0, 0, 4, 1, u"X"), u"[4/29～5/5 木曜] X"},
      {MakeHoliday(4, 29, 5, 5, 0, 0, 5, 1, u"X"), u"[4/29～5/5 金曜] X"},
      {MakeHoliday(4, 29, 5, 5, 0, 0, 6, 1, u"X"), u"[4/29～5/5 土曜] X"},
      {MakeHoliday(1, 60, 12, 70, 0, 0, -1, 3, u"X"), u"[1～12月 10～20日] X"},
      {MakeHoliday(1, 60, 12, 70, 0, 0, 3, 3, u"X"), u"[1～12月 10～20日 水曜] X"},
  };
  for (const Case& c : cases) EXPECT_EQ(HolidayDisplayText(c.entry), c.text);
  EXPECT_EQ(std::u16string(u"～"), std::u16string(1, u'\uFF5E')) << "the full-width wave dash";
}

class HolidayFile : public ::testing::Test {
 protected:
  HolidayFile() : table_(std::make_unique<HolidayTable>()) {}
  std::filesystem::path File(int year) const { return HolidayFilePath(folder_.path(), year); }
  TempFolder folder_;
  std::unique_ptr<HolidayTable> table_;
};

TEST_F(HolidayFile, TheFirstMatchingEntryWins) {
  WriteBytes(File(2004), Le(u"short\r\n"
                            u"(00,00 00,00)(05,05,-1,01,こどもの日)\r\n"
                            u"(04,29 05,05)(00,00,-1,02,連休)\r\n"));
  EXPECT_EQ(HolidayFilePath("/d/", 2004).string(), "/d/2004holiday.txt");
  ASSERT_EQ(ReadHolidays(2004, folder_.path(), table_.get(), false), 2) << "short line skipped";
  const HolidayEntry* found = FindHoliday(*table_, 5, 5, 3);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(HolidayName(*found), u"こどもの日");
  EXPECT_EQ(found->colour, kHolidayRed);
  found = FindHoliday(*table_, 5, 4, 2);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(HolidayName(*found), u"連休");
  EXPECT_EQ(found->colour, kHolidayBlue);
  EXPECT_EQ(FindHoliday(*table_, 5, 6, 4), nullptr);
}

TEST_F(HolidayFile, ReadsAtMost200EntriesAndNoLineAfterThem) {
  std::u16string text = u"junk line\r\n";
  for (int i = 0; i < 200; ++i) text += u"(00,00 00,00)(01,01,-1,01,n)\r\n";
  text += u"(00,00 00,00)(12,24,-1,01,late)\r\n";
  WriteBytes(File(2004), Le(text));
  EXPECT_EQ(ReadHolidays(2004, folder_.path(), table_.get(), false), 200);
  EXPECT_EQ(FindHoliday(*table_, 12, 24, 5), nullptr);
}

TEST_F(HolidayFile, ALoadedYearIsKeptWithoutTouchingTheFile) {
  WriteBytes(File(2004), Le(u"(00,00 00,00)(05,05,-1,01,old)\r\n"));
  ASSERT_EQ(ReadHolidays(2004, folder_.path(), table_.get(), false), 1);
  WriteBytes(File(2004), Le(u"(00,00 00,00)(05,05,-1,01,new)\r\n(00,00 00,00)(05,06,-1,01,x)\r\n"));
  EXPECT_EQ(ReadHolidays(2004, folder_.path(), table_.get(), false), 1);
  EXPECT_EQ(HolidayName(table_->entries[0]), u"old");
  EXPECT_EQ(ReadHolidays(2004, folder_.path(), table_.get(), true), 2) << "forced";
  EXPECT_EQ(HolidayName(table_->entries[0]), u"new");
}

TEST_F(HolidayFile, AYearWithoutAFileHasNoHolidays) {
  WriteBytes(File(2004), Le(u"(00,00 00,00)(05,05,-1,01,X)\r\n"));
  ASSERT_EQ(ReadHolidays(2004, folder_.path(), table_.get(), false), 1);
  EXPECT_EQ(ReadHolidays(2005, folder_.path(), table_.get(), false), 0);
  EXPECT_EQ(table_->loadedYear, 2005);
  EXPECT_EQ(FindHoliday(*table_, 5, 5, 4), nullptr) << "2004's entries must not show in 2005";
}

TEST_F(HolidayFile, SavingWritesEveryEntryAndAnEmptyListEmptiesTheFile) {
  table_->count = 2;
  table_->entries[0] = MakeHoliday(0, 0, 0, 0, 5, 5, -1, 1, u"X");
  table_->entries[1] = MakeHoliday(4, 29, 5, 5, 0, 0, 0, 2, u"Y");
  ASSERT_TRUE(SaveHolidays(2004, folder_.path(), *table_));
  EXPECT_EQ(ReadBytes(File(2004)),
            Le(u"(00,00 00,00)(05,05,-1,01,X)\r\n(04,29 05,05)(00,00,00,02,Y)\r\n"));
  auto back = std::make_unique<HolidayTable>();
  ASSERT_EQ(ReadHolidays(2004, folder_.path(), back.get(), true), 2);
  EXPECT_TRUE(SameEntry(back->entries[1], table_->entries[1]));

  table_->count = 0;
  ASSERT_TRUE(SaveHolidays(2004, folder_.path(), *table_));
  EXPECT_EQ(ReadBytes(File(2004)), "") << "deleted holidays must not come back";
  EXPECT_EQ(ReadHolidays(2004, folder_.path(), back.get(), true), 0);
}

TEST_F(HolidayFile, AFailedSaveKeepsTheOldFile) {
  const std::string old = Le(u"(00,00 00,00)(05,05,-1,01,X)\r\n");
  WriteBytes(File(2004), old);
  table_->count = 0;
  AtomicFailureHook previous =
      SetAtomicFailureHook([](AtomicStep step) { return step == AtomicStep::kWrite; });
  EXPECT_FALSE(SaveHolidays(2004, folder_.path(), *table_));
  SetAtomicFailureHook(previous);
  EXPECT_EQ(ReadBytes(File(2004)), old);
  EXPECT_FALSE(SaveHolidays(2004, folder_.path() / "missing", *table_));
}

}  // namespace
}  // namespace yk
