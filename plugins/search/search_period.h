// search_period.h — what a search looks at: its target and its period of days.
//
// A period runs from (fromYear, fromMonth, fromDay) to (toYear, toMonth, toDay), both ends
// included.  It is valid when both years lie in 1975..2036, both months in 1..12, both
// days in the month, and the end is not before the start.
#pragma once

#include "common/date_util.h"
#include "common/plugin_interface.h"

namespace yk::search {

enum class SearchTarget : int {
  kSchedules = 0,  // "予定": the sched.txt tree
  kMemos = 1,      // "日記・メモ": memo.txt by memolist.txt
  kTasks = 2,      // "仕事": offered, not yet searchable
};

struct SearchPeriod {
  int fromYear = 0, fromMonth = 0, fromDay = 0;
  int toYear = 0, toMonth = 0, toDay = 0;

  YearMonthDay from() const { return {fromYear, fromMonth, fromDay}; }
  YearMonthDay to() const { return {toYear, toMonth, toDay}; }
  friend bool operator==(const SearchPeriod&, const SearchPeriod&) = default;
};

// The 1st to the last day of a month.
[[nodiscard]] SearchPeriod MonthPeriod(int year, int month);

[[nodiscard]] bool IsValidPeriod(const SearchPeriod& period);

// Whether a schedule's dates reach into the period: its start is not after the period's
// end and its end is not before the period's start (hours and period ignored).  The
// every-year and every-month marks are taken off first, so a birthday stored as month 55
// lies in May; compared as stored, month 55 would lie after December and the record would
// be missing from a search of its own month.
[[nodiscard]] bool OverlapsPeriod(const ScheduleRecord& record, const SearchPeriod& period);

// Whether a day lies in the period.
[[nodiscard]] bool InPeriod(int year, int month, int day, const SearchPeriod& period);

// The change word bit of a target: 1, 32 or 128.
[[nodiscard]] int ChangeFlagOf(SearchTarget target);

}  // namespace yk::search
