// search_walk.cpp — the schedule and memo walks of a search run.
#include "plugins/search/search_walk.h"

#include <algorithm>
#include <memory>
#include <new>

#include "common/memo_store.h"
#include "common/schedule_store.h"
#include "common/u16_format.h"

namespace yk::search {
namespace {

// What the walks share: the period, the matcher, the table and the stop rule.
class Walk {
 public:
  Walk(const SearchPeriod& period, TextMatcher& matcher, const std::filesystem::path& dataFolder,
       WalkObserver& observer, HitTable* table)
      : period_(period),
        matcher_(matcher),
        folder_(dataFolder),
        observer_(observer),
        table_(*table) {}

  WalkEnd Schedules();
  WalkEnd Memos();

 private:
  // Tested before each file and each record.
  bool Continue() {
    if (table_.overflow || stopped_) return false;
    stopped_ = observer_.StopRequested();
    return !stopped_;
  }
  // A match: kept while fewer than 200 are held; past that the run ends.
  bool Add(SearchHit hit) {
    if (table_.hitCount() >= kMaxHits) {
      table_.overflow = true;
      return false;
    }
    table_.hits.push_back(std::move(hit));
    return true;
  }
  WalkEnd End() const {
    if (table_.overflow) return WalkEnd::kLimitReached;
    return stopped_ ? WalkEnd::kStopped : WalkEnd::kCompleted;
  }
  // One schedule file into the work area and its records tested; false ends the run.
  bool ScheduleFile(SpanLevel level, const WalkStep& step, ScheduleStore* area);

  // The months of year y inside the period, and the days of (y, m).
  int FirstMonth(int y) const { return y == period_.fromYear ? period_.fromMonth : 1; }
  int LastMonth(int y) const { return y == period_.toYear ? period_.toMonth : 12; }
  int FirstDay(int y, int m) const {
    return y == period_.fromYear && m == period_.fromMonth ? period_.fromDay : 1;
  }
  int LastDay(int y, int m) const {
    return y == period_.toYear && m == period_.toMonth ? period_.toDay : DaysInMonth(y, m);
  }

  const SearchPeriod& period_;
  TextMatcher& matcher_;
  const std::filesystem::path& folder_;
  WalkObserver& observer_;
  HitTable& table_;
  bool stopped_ = false;
};

bool Walk::ScheduleFile(SpanLevel level, const WalkStep& step, ScheduleStore* area) {
  if (!Continue()) return false;
  observer_.Step(step);
  LoadLevel(level, step.year, step.month, step.day, folder_, area);
  const ScheduleRecord* records = LevelRecords(area, level);
  const int count = area->counts[int(level)];
  for (int i = 0; i < count; ++i) {
    if (!Continue()) return false;
    if (!OverlapsPeriod(records[i], period_) || !matcher_.MatchText(RecordText(records[i])))
      continue;
    SearchHit hit;
    hit.record = records[i];
    if (!Add(std::move(hit))) return false;
  }
  return true;
}

WalkEnd Walk::Schedules() {
  std::unique_ptr<ScheduleStore> area(new (std::nothrow) ScheduleStore);
  if (area == nullptr) return WalkEnd::kNoMemory;
  ClearScheduleStore(area.get());
  const int from = period_.fromYear;
  const int to = period_.toYear;
  if (!ScheduleFile(SpanLevel::Years, {WalkStepKind::kRootFile}, area.get())) return End();
  for (int y = from; y <= to; ++y) {
    if (!ScheduleFile(SpanLevel::Months, {WalkStepKind::kYearFile, y}, area.get())) return End();
  }
  for (int y = from; y <= to; ++y) {
    for (int m = FirstMonth(y); m <= LastMonth(y); ++m) {
      if (!ScheduleFile(SpanLevel::Days, {WalkStepKind::kMonthFile, y, m}, area.get()))
        return End();
    }
  }
  for (int y = from; y <= to; ++y) {
    for (int m = FirstMonth(y); m <= LastMonth(y); ++m) {
      for (int d = FirstDay(y, m); d <= LastDay(y, m); ++d) {
        if (!ScheduleFile(SpanLevel::Day, {WalkStepKind::kDayFile, y, m, d}, area.get()))
          return End();
      }
    }
  }
  return End();
}

WalkEnd Walk::Memos() {
  for (int y = period_.fromYear; y <= period_.toYear; ++y) {
    if (!Continue()) return End();
    observer_.Step({WalkStepKind::kYearFile, y});
    std::vector<MemoDay> days = ReadMemoList(y, folder_);
    std::stable_sort(days.begin(), days.end(), [](const MemoDay& a, const MemoDay& b) {
      return a.month != b.month ? a.month < b.month : a.day < b.day;
    });
    for (const MemoDay& day : days) {
      if (!Continue()) return End();
      SearchHit hit;
      if (!InPeriod(y, day.month, day.day, period_) ||
          !ReadMemo(y, day.month, day.day, folder_, &hit.memoText) ||
          !matcher_.MatchText(hit.memoText))
        continue;
      hit.memoYear = y;
      hit.memoMonth = day.month;
      hit.memoDay = day.day;
      if (!Add(std::move(hit))) return End();
    }
  }
  return End();
}

}  // namespace

std::u16string StepText(const WalkStep& step) {
  switch (step.kind) {
    case WalkStepKind::kRootFile:
      return u"全体の予定を検索中・・・";
    case WalkStepKind::kYearFile:
      return Format16(u"%d年のメモを検索中・・・", {step.year});
    case WalkStepKind::kMonthFile:
      return Format16(u"%d年%d月のメモを検索中・・・", {step.year, step.month});
    case WalkStepKind::kDayFile:
      return Format16(u"%d年%d月%d日のメモを検索中・・・", {step.year, step.month, step.day});
  }
  return {};
}

std::u16string HeaderText(SearchTarget target, const SearchPeriod& p,
                          std::u16string_view searchText) {
  std::u16string_view format;
  switch (target) {
    case SearchTarget::kSchedules:
      format = u"%d/%d/%d～%d/%d/%dの予定を検索しています。\r\n[%s]";
      break;
    case SearchTarget::kMemos:
      format = u"%d/%d/%d～%d/%d/%dの日記・メモを検索しています。\r\n[%s]";
      break;
    case SearchTarget::kTasks:
      format = u"%d/%d/%d～%d/%d/%dに終了した仕事を検索しています。\r\n[%s]";
      break;
  }
  return Format16(format,
                  {p.fromYear, p.fromMonth, p.fromDay, p.toYear, p.toMonth, p.toDay, searchText});
}

WalkEnd RunSearch(SearchTarget target, const SearchPeriod& period, TextMatcher& matcher,
                  const std::filesystem::path& dataFolder, WalkObserver& observer,
                  HitTable* table) {
  table->hits.clear();
  table->overflow = false;
  Walk walk(period, matcher, dataFolder, observer, table);
  switch (target) {
    case SearchTarget::kSchedules:
      return walk.Schedules();
    case SearchTarget::kMemos:
      return walk.Memos();
    case SearchTarget::kTasks:
      break;
  }
  return WalkEnd::kNotAvailable;
}

}  // namespace yk::search
