// search_walk.h — one search run over the stored data.
//
// Schedules: the files are read in this order into a private work area laid out like the
// shared schedule cache (which stays untouched): the root file; each year's file of the
// period; each month's file; each day's file.  A record is a hit when its dates reach
// into the period and its text matches, so one day's period looks at four files and hits
// come root first.
//
// Memos: for each year of the period, its memo list sorted by month and day (equal days
// keep their order and are not merged, so a day listed twice gives two hits), and each
// listed day inside the period whose memo matches.
//
// Before each file and each record the run asks the observer whether to stop, and ends
// once a match is found past the 200th hit (the first 200 in walk order are kept).  The
// observer is told each step before its file is read: that is where the progress dialog
// shows where the run is and lets "キャンセル" in.
#pragma once

#include <filesystem>
#include <string>

#include "plugins/search/hit_table.h"
#include "plugins/search/search_period.h"
#include "plugins/search/text_matcher.h"

namespace yk::search {

enum class WalkStepKind {
  kRootFile,   // "全体の予定を検索中・・・"
  kYearFile,   // "%d年のメモを検索中・・・" (schedules of a year, or a year's memos)
  kMonthFile,  // "%d年%d月のメモを検索中・・・"
  kDayFile,    // "%d年%d月%d日のメモを検索中・・・"
};

struct WalkStep {
  WalkStepKind kind = WalkStepKind::kRootFile;
  int year = 0, month = 0, day = 0;
  friend bool operator==(const WalkStep&, const WalkStep&) = default;
};

// The progress dialog's step text.
[[nodiscard]] std::u16string StepText(const WalkStep& step);

// The progress dialog's header: the period, the target and the search text.
[[nodiscard]] std::u16string HeaderText(SearchTarget target, const SearchPeriod& period,
                                        std::u16string_view searchText);

class WalkObserver {
 public:
  virtual ~WalkObserver() = default;
  // A file is about to be read.
  virtual void Step(const WalkStep& step) = 0;
  // Asked before each file and each record; true ends the run.
  virtual bool StopRequested() = 0;
};

enum class WalkEnd {
  kCompleted,
  kStopped,       // the observer asked to stop
  kLimitReached,  // a match past the 200th: the table holds the first 200
  kNoMemory,      // the work area couldn't be allocated: no hits
  kNotAvailable,  // the tasks target: nothing searched
};

// Runs the search for `target` and fills `table` (emptied first).
WalkEnd RunSearch(SearchTarget target, const SearchPeriod& period, TextMatcher& matcher,
                  const std::filesystem::path& dataFolder, WalkObserver& observer, HitTable* table);

}  // namespace yk::search
