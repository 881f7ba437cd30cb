// Which records fall on a date, their time window there, and the list of one date.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/date_util.h"
#include "common/schedule_store.h"
#include "common/tests/store_test_support.h"
#include "platform/testing/message_recorder.h"

namespace yk {
namespace {

using testing::MakeRecord;
using testing::TempFolder;

TEST(StoreDates, RecordsFallOnTheirDates) {
  const auto weekly = MakeRecord(2004, 6, 1, 9, 0, 2004, 6, 30, 9, 45, 3, u"");
  const auto weeklyEveryMonth = MakeRecord(2004, 6, 51, 9, 0, 2004, 6, 80, 9, 45, 3, u"");
  const auto everyYear = MakeRecord(2003, 53, 5, 0, 0, 2006, 55, 10, 0, 0, -1, u"");
  const auto everyMonth = MakeRecord(2003, 3, 55, 0, 0, 2006, 5, 60, 0, 0, -1, u"");
  const auto both = MakeRecord(2003, 53, 55, 0, 0, 2006, 55, 60, 0, 0, -1, u"");
  const auto span = MakeRecord(2004, 6, 1, 10, 0, 2004, 6, 3, 12, 0, -1, u"");
  struct Case {
    const char* rule;
    const ScheduleRecord& record;
    YearMonthDay date;
    bool falls;
  } cases[] = {
      {"weekly: a Wednesday in range", weekly, {2004, 6, 2}, true},
      {"weekly: last day, a Wednesday", weekly, {2004, 6, 30}, true},
      {"weekly: a Thursday", weekly, {2004, 6, 3}, false},
      {"weekly: a Wednesday after the range", weekly, {2004, 7, 7}, false},
      {"marked: weekday ignored", weeklyEveryMonth, {2004, 6, 3}, true},
      {"every year: inside", everyYear, {2005, 4, 20}, true},
      {"every year: first day", everyYear, {2003, 3, 5}, true},
      {"every year: last day", everyYear, {2006, 5, 10}, true},
      {"every year: day before", everyYear, {2005, 3, 4}, false},
      {"every year: day after", everyYear, {2005, 5, 11}, false},
      {"every year: year after", everyYear, {2007, 4, 1}, false},
      {"every month: December inside", everyMonth, {2004, 12, 7}, true},
      {"every month: day 11", everyMonth, {2004, 12, 11}, false},
      {"every month: month before", everyMonth, {2003, 2, 7}, false},
      {"every month: month after", everyMonth, {2006, 6, 7}, false},
      {"both: April", both, {2004, 4, 7}, true},
      {"both: June", both, {2004, 6, 7}, false},
      {"both: year after", both, {2007, 4, 7}, false},
      {"span: middle", span, {2004, 6, 2}, true},
      {"span: day after", span, {2004, 6, 4}, false},
      {"span: day before", span, {2004, 5, 31}, false},
  };
  for (const Case& c : cases) {
    int weekday = WeekdayOf(c.date.year, c.date.month, c.date.day);
    EXPECT_EQ(DateMatches(c.record, c.date.year, c.date.month, c.date.day, weekday), c.falls)
        << c.rule;
  }
}

class StoreCollect : public ::testing::Test {
 protected:
  StoreCollect() : store_(std::make_unique<ScheduleStore>()) {}

  void Add(const ScheduleRecord& r) { ASSERT_TRUE(AddSchedule(folder_.path(), r, store_.get())); }

  DayScheduleList Collect(int year, int month, int day) {
    DayScheduleList list;
    CollectDaySchedules(folder_.path(), year, month, day, WeekdayOf(year, month, day), store_.get(),
                        &list);
    return list;
  }

  // "hh:mm-hh:mm text" of each listed entry in display order.
  std::vector<std::string> Shown(int year, int month, int day) {
    DayScheduleList list = Collect(year, month, day);
    std::vector<std::string> out;
    for (int i = 0; i < list.count; ++i) {
      const DayEntry& e = list.entries[list.order[i]];
      char window[32];
      std::snprintf(window, sizeof window, "%02d:%02d-%02d:%02d ", e.startHour, e.startMinute,
                    e.endHour, e.endMinute);
      std::string text;
      for (char16_t c : e.displayText) text.push_back(static_cast<char>(c));
      out.push_back(window + text);
    }
    return out;
  }

  using Lines = std::vector<std::string>;
  TempFolder folder_;
  std::unique_ptr<ScheduleStore> store_;
  platform::testing::MessageRecorder messages_;
};

TEST_F(StoreCollect, TimeWindowsOnEachDay) {
  Add(MakeRecord(2004, 6, 1, 10, 0, 2004, 6, 3, 12, 0, -1, u"span"));
  Add(MakeRecord(2004, 6, 1, 23, 0, 2004, 6, 3, 1, 0, -2, u"night"));  // ends before it starts
  Add(MakeRecord(2004, 6, 1, 9, 0, 2004, 6, 30, 9, 45, 3, u"wed"));
  Add(MakeRecord(2004, 6, 2, 0, 10, 2004, 6, 2, 0, 40, -1, u"early"));
  Add(MakeRecord(2004, 6, 1, 8, 0, 2004, 6, 3, 8, 30, -2, u"daily"));
  EXPECT_EQ(Shown(2004, 6, 1), (Lines{"08:00-08:30 daily", "10:00-24:00 span"}));
  // 00:10-00:40 gets the window 0 to 0; the day file is collected before the month's.
  EXPECT_EQ(Shown(2004, 6, 2), (Lines{"00:00-00:00 early", "00:00-24:00 span", "08:00-08:30 daily",
                                      "09:00-09:45 wed"}));
  EXPECT_EQ(Shown(2004, 6, 3), (Lines{"00:00-12:00 span", "08:00-08:30 daily"}));
  EXPECT_EQ(Shown(2004, 6, 9), (Lines{"09:00-09:45 wed"}));
  EXPECT_EQ(Collect(2004, 6, 2).total, 4) << "the night record is skipped, not counted";
}

TEST_F(StoreCollect, AllDayFirstThenByStartKeepingCollectionOrder) {
  Add(MakeRecord(2004, 5, 7, 13, 0, 2004, 5, 7, 14, 0, -1, u"c"));
  Add(MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"a1"));
  Add(MakeRecord(2004, 5, 7, 9, 0, 2004, 5, 7, 10, 0, -1, u"b"));
  Add(MakeRecord(2004, 5, 7, 13, 0, 2004, 5, 7, 13, 30, -1, u"d"));
  Add(MakeRecord(2004, 5, 1, 0, 0, 2004, 5, 9, 0, 0, -1, u"a2"));
  Add(MakeRecord(2004, 1, 1, 13, 0, 2005, 1, 1, 0, 0, -1, u"long"));
  EXPECT_EQ(Shown(2004, 5, 7), (Lines{"00:00-00:00 a1", "00:00-00:00 a2", "00:00-24:00 long",
                                      "09:00-10:00 b", "13:00-14:00 c", "13:00-13:30 d"}));
  DayScheduleList list = Collect(2004, 5, 7);
  const DayEntry& a1 = list.entries[list.order[0]];
  EXPECT_EQ(a1.allDay, 1);
  EXPECT_EQ(RecordText(a1.record), u"a1");
  const DayEntry& b = list.entries[list.order[3]];
  EXPECT_EQ(b.allDay, 0);
  EXPECT_EQ(b.startMinutes, 540);
  EXPECT_EQ(b.endMinutes, 600);
  EXPECT_EQ(b.length, 60);
}

TEST_F(StoreCollect, TwentyListedOfTwentyFive) {
  for (int i = 0; i < 10; ++i) {
    Add(MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1,
                   u"day" + std::u16string(1, static_cast<char16_t>(u'0' + i))));
  }
  for (int i = 0; i < 15; ++i) {
    Add(MakeRecord(2003, 1, 1, 0, 0, 2005, 1, 1, 0, 0, -1,
                   u"root" + std::u16string(1, static_cast<char16_t>(u'a' + i))));
  }
  DayScheduleList list = Collect(2004, 5, 7);
  EXPECT_EQ(list.count, 20);
  EXPECT_EQ(list.total, 25);
  EXPECT_EQ(list.overflow, 1);
  EXPECT_EQ(RecordText(list.entries[list.order[0]].record), u"day0") << "day file first";
  EXPECT_EQ(RecordText(list.entries[list.order[19]].record), u"rootj") << "root file last";

  DayScheduleList other = Collect(2004, 5, 8);
  EXPECT_EQ(other.count, 15);
  EXPECT_EQ(other.overflow, 0);
}

// The whole date in display order, however many records fall on it: the records left out
// of the twenty above are there, and they take their places by time among the others.
TEST_F(StoreCollect, AllOfADateInDisplayOrder) {
  for (int i = 0; i < 20; ++i) {
    Add(MakeRecord(2004, 5, 7, 10 + i % 10, 0, 2004, 5, 7, 23, 0, -1,
                   u"day" + std::u16string(1, static_cast<char16_t>(u'a' + i))));
  }
  for (int i = 0; i < 5; ++i) {
    Add(MakeRecord(2003, 1, 1, 0, 0, 2005, 1, 1, 0, 0, -1,
                   u"root" + std::u16string(1, static_cast<char16_t>(u'a' + i))));
  }
  Add(MakeRecord(2004, 5, 7, 6, 0, 2004, 5, 9, 7, 0, -1, u"early"));
  const std::vector<DayEntry> all =
      CollectAllDaySchedules(folder_.path(), 2004, 5, 7, WeekdayOf(2004, 5, 7), store_.get());
  ASSERT_EQ(all.size(), 26u);
  EXPECT_EQ(Collect(2004, 5, 7).total, 26);
  std::vector<std::u16string> texts;
  for (const DayEntry& e : all) texts.push_back(e.displayText);
  const std::vector<std::u16string> expected = {
      u"roota", u"rootb", u"rootc", u"rootd", u"roote",  // all day, in collection order
      u"early",                                          // 06:00, from the month file
      u"daya",  u"dayk",  u"dayb",  u"dayl",  u"dayc",  u"daym", u"dayd",
      u"dayn",  u"daye",  u"dayo",  u"dayf",  u"dayp",  u"dayg", u"dayq",
      u"dayh",  u"dayr",  u"dayi",  u"days",  u"dayj",  u"dayt"};
  EXPECT_EQ(texts, expected);
  // Up to twenty records the two collections agree.
  DayScheduleList few = Collect(2004, 5, 8);
  const std::vector<DayEntry> fewAll =
      CollectAllDaySchedules(folder_.path(), 2004, 5, 8, WeekdayOf(2004, 5, 8), store_.get());
  ASSERT_EQ(fewAll.size(), size_t(few.count));
  for (int i = 0; i < few.count; ++i)
    EXPECT_EQ(fewAll[size_t(i)].displayText, few.entries[few.order[i]].displayText) << i;
}

TEST_F(StoreCollect, DisplayTextTurnsStoredBreaksIntoLineFeeds) {
  Add(MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"a\nb\r\nc"));
  DayScheduleList list = Collect(2004, 5, 7);
  ASSERT_EQ(list.count, 1);
  EXPECT_EQ(list.entries[0].displayText, u"a\nb\nc");
  EXPECT_EQ(RecordText(list.entries[0].record), u"a__TVRET__b__TVRET__c");
}

TEST_F(StoreCollect, ARecordAddedByAnotherPluginShowsAtTheNextCollection) {
  Add(MakeRecord(2004, 5, 7, 9, 0, 2004, 5, 7, 10, 0, -1, u"mine"));
  EXPECT_EQ(Collect(2004, 5, 7).count, 1);
  // Another plugin writes through the same shared cache, into each level of the date.
  Add(MakeRecord(2004, 5, 7, 11, 0, 2004, 5, 7, 12, 0, -1, u"theirs"));
  Add(MakeRecord(2004, 5, 6, 11, 0, 2004, 5, 8, 12, 0, -1, u"days"));
  Add(MakeRecord(2004, 4, 6, 11, 0, 2004, 6, 8, 12, 0, -1, u"months"));
  Add(MakeRecord(2003, 4, 6, 11, 0, 2006, 6, 8, 12, 0, -1, u"years"));
  EXPECT_EQ(Collect(2004, 5, 7).count, 5);
}

TEST_F(StoreCollect, TheHostRefreshMakesFilesWrittenElsewhereVisible) {
  EXPECT_EQ(Collect(2004, 5, 7).count, 0);
  testing::WriteBytes(folder_.path() / "2004/5/7/sched.txt",
                      testing::Le(u"(2004,05,07,00,00 2004,05,07,00,00 -1)(x)\r\n"));
  EXPECT_EQ(Collect(2004, 5, 7).count, 0) << "cached";
  ClearScheduleStore(store_.get());
  EXPECT_EQ(Collect(2004, 5, 7).count, 1);
}

}  // namespace
}  // namespace yk
