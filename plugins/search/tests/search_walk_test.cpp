// The walk over the stored data: which files in which order, which records and memos are
// hits, the 200-hit limit, and stopping.
#include "plugins/search/search_walk.h"

#include <gtest/gtest.h>

#include "common/schedule_store.h"
#include "plugins/search/tests/search_test_data.h"

namespace yk::search {
namespace {

using testing::DataFolder;
using testing::RecordingObserver;
using testing::Schedule;
using Kind = WalkStepKind;

std::vector<std::u16string> HitTexts(const HitTable& table) {
  std::vector<std::u16string> texts;
  for (const SearchHit& hit : table.hits)
    texts.push_back(hit.memoText.empty() ? std::u16string(RecordText(hit.record)) : hit.memoText);
  return texts;
}

class SearchWalkTest : public ::testing::Test {
 protected:
  WalkEnd Run(SearchTarget target, const SearchPeriod& period, std::u16string_view search,
              bool regex = false) {
    TextMatcher matcher(search, u"", regex);
    return RunSearch(target, period, matcher, data_.path(), observer_, &table_);
  }

  DataFolder data_;
  RecordingObserver observer_;
  HitTable table_;
};

// One day's period reads the root file, the year's, the month's and the day's, and the
// hits come in that order.
TEST_F(SearchWalkTest, OneDayReadsTheFourFilesInOrder) {
  data_.AddSchedules({Schedule(2004, 5, 7, 2004, 5, 7, u"日の会議")});
  data_.AddSchedules({Schedule(2004, 5, 1, 2004, 5, 9, u"月の会議")});
  data_.AddSchedules({Schedule(2004, 4, 1, 2004, 6, 1, u"年の会議"),
                      Schedule(2004, 4, 1, 2004, 5, 6, u"前日までの会議")});
  data_.AddSchedules({Schedule(2003, 1, 1, 2005, 1, 1, u"全体の会議"),
                      Schedule(2003, 1, 1, 2005, 1, 1, u"打合せ")});
  EXPECT_EQ(Run(SearchTarget::kSchedules, {2004, 5, 7, 2004, 5, 7}, u"会議"), WalkEnd::kCompleted);
  EXPECT_EQ(observer_.steps, (std::vector<WalkStep>{{Kind::kRootFile},
                                                    {Kind::kYearFile, 2004},
                                                    {Kind::kMonthFile, 2004, 5},
                                                    {Kind::kDayFile, 2004, 5, 7}}));
  EXPECT_EQ(HitTexts(table_),
            (std::vector<std::u16string>{u"全体の会議", u"年の会議", u"月の会議", u"日の会議"}));
  EXPECT_EQ(table_.hits[0].record.startYear, 2003) << "the record's numbers as loaded";
}

TEST_F(SearchWalkTest, APeriodAcrossAYearEndVisitsEachLevelInTurn) {
  EXPECT_EQ(Run(SearchTarget::kSchedules, {2003, 12, 30, 2004, 1, 2}, u"x"), WalkEnd::kCompleted);
  EXPECT_EQ(observer_.steps, (std::vector<WalkStep>{{Kind::kRootFile},
                                                    {Kind::kYearFile, 2003},
                                                    {Kind::kYearFile, 2004},
                                                    {Kind::kMonthFile, 2003, 12},
                                                    {Kind::kMonthFile, 2004, 1},
                                                    {Kind::kDayFile, 2003, 12, 30},
                                                    {Kind::kDayFile, 2003, 12, 31},
                                                    {Kind::kDayFile, 2004, 1, 1},
                                                    {Kind::kDayFile, 2004, 1, 2}}));
  const std::vector<std::u16string> texts = {
      u"全体の予定を検索中・・・",      u"2003年のメモを検索中・・・",
      u"2004年のメモを検索中・・・",    u"2003年12月のメモを検索中・・・",
      u"2004年1月のメモを検索中・・・", u"2003年12月30日のメモを検索中・・・"};
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(StepText(observer_.steps[i]), texts[i]);
}

TEST_F(SearchWalkTest, TheWalkAsksBeforeEachFileAndRecordAndStopsWhenTold) {
  data_.AddSchedules(
      {Schedule(2004, 5, 7, 2004, 5, 7, u"a"), Schedule(2004, 5, 7, 2004, 5, 7, u"b")});
  EXPECT_EQ(Run(SearchTarget::kSchedules, {2004, 5, 7, 2004, 5, 7}, u"z"), WalkEnd::kCompleted);
  EXPECT_EQ(observer_.stopChecks, 4 + 2) << "four files, two records";

  observer_ = {};
  observer_.stopWhen = [](const RecordingObserver& o) { return o.steps.size() == 2; };
  EXPECT_EQ(Run(SearchTarget::kSchedules, {2004, 1, 1, 2004, 12, 31}, u"a"), WalkEnd::kStopped);
  EXPECT_EQ(observer_.steps.size(), 2u) << "no file read after the stop";
}

TEST_F(SearchWalkTest, The201stMatchEndsTheRunWithTheFirst200) {
  std::vector<ScheduleRecord> records;
  for (int i = 0; i < 250; ++i) records.push_back(Schedule(2003, 1, 1, 2005, 1, 1, u"会議"));
  data_.AddSchedules(records);
  data_.AddSchedules({Schedule(2004, 5, 7, 2004, 5, 7, u"会議")});
  EXPECT_EQ(Run(SearchTarget::kSchedules, {2004, 5, 7, 2004, 5, 7}, u"会議"),
            WalkEnd::kLimitReached);
  EXPECT_EQ(table_.hitCount(), kMaxHits);
  EXPECT_TRUE(table_.overflow);
  EXPECT_EQ(observer_.steps.size(), 1u) << "no file after the limit";

  // Exactly 200 matches are no overflow.
  DataFolder exact;
  exact.AddSchedules(std::vector<ScheduleRecord>(200, Schedule(2003, 1, 1, 2005, 1, 1, u"会議")));
  TextMatcher matcher(u"会議", u"", false);
  EXPECT_EQ(RunSearch(SearchTarget::kSchedules, {2004, 5, 7, 2004, 5, 7}, matcher, exact.path(),
                      observer_, &table_),
            WalkEnd::kCompleted);
  EXPECT_EQ(table_.hitCount(), kMaxHits);
  EXPECT_FALSE(table_.overflow);
}

// Memos by the sorted list: a day listed twice is two hits, days outside the period and
// listed days without a memo are passed over.
TEST_F(SearchWalkTest, MemosAreFoundThroughTheSortedList) {
  data_.AddMemo(2004, 3, 9, u"三月の会議", false);
  data_.AddMemo(2004, 5, 1, u"五月の会議", false);
  data_.AddMemo(2004, 12, 24, u"年末の会議", false);
  data_.AddMemo(2005, 1, 5, u"新年の会議", false);
  data_.WriteMemoList(2004, {u"05,01", u"12,24", u"03,09", u"05,01", u"06,06"});
  data_.WriteMemoList(2005, {u"01,05"});
  EXPECT_EQ(Run(SearchTarget::kMemos, {2004, 3, 10, 2005, 1, 5}, u"会議"), WalkEnd::kCompleted);
  EXPECT_EQ(HitTexts(table_), (std::vector<std::u16string>{u"五月の会議", u"五月の会議",
                                                           u"年末の会議", u"新年の会議"}));
  EXPECT_EQ(table_.hits[0].memoMonth, 5);
  EXPECT_EQ(table_.hits[3].memoYear, 2005);
  EXPECT_EQ(observer_.steps,
            (std::vector<WalkStep>{{Kind::kYearFile, 2004}, {Kind::kYearFile, 2005}}));
}

TEST_F(SearchWalkTest, AMemoIsMatchedLineByLineInRegexMode) {
  data_.AddMemo(2004, 5, 1, u"買い物\r\n会議の準備");
  data_.AddMemo(2004, 5, 2, u"明日の会議");
  EXPECT_EQ(Run(SearchTarget::kMemos, MonthPeriod(2004, 5), u"^会議", true), WalkEnd::kCompleted);
  EXPECT_EQ(HitTexts(table_), std::vector<std::u16string>{u"買い物\r\n会議の準備"});
}

TEST_F(SearchWalkTest, TasksAreNotSearched) {
  EXPECT_EQ(Run(SearchTarget::kTasks, MonthPeriod(2004, 5), u"x"), WalkEnd::kNotAvailable);
  EXPECT_EQ(table_.hitCount(), 0);
  EXPECT_TRUE(observer_.steps.empty());
}

TEST_F(SearchWalkTest, TheHeaderNamesPeriodTargetAndText) {
  const SearchPeriod p{2004, 5, 1, 2004, 5, 31};
  EXPECT_EQ(HeaderText(SearchTarget::kSchedules, p, u"会議"),
            u"2004/5/1～2004/5/31の予定を検索しています。\r\n[会議]");
  EXPECT_EQ(HeaderText(SearchTarget::kMemos, p, u"a"),
            u"2004/5/1～2004/5/31の日記・メモを検索しています。\r\n[a]");
  EXPECT_EQ(HeaderText(SearchTarget::kTasks, p, u"a"),
            u"2004/5/1～2004/5/31に終了した仕事を検索しています。\r\n[a]");
}

}  // namespace
}  // namespace yk::search
