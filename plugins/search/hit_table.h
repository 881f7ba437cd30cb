// hit_table.h — the hits of one search run, at most 200, in walk order.
#pragma once

#include <string>
#include <vector>

#include "common/plugin_interface.h"

namespace yk::search {

inline constexpr int kMaxHits = 200;

struct SearchHit {
  // A schedule hit: the record's eleven numbers as loaded (50-marks included) and its text
  // as stored ("__TVRET__" for line breaks).
  ScheduleRecord record{};
  // A memo hit: the memo's day and its whole text as read (CR LF line breaks).
  int memoYear = 0, memoMonth = 0, memoDay = 0;
  std::u16string memoText;
};

struct HitTable {
  std::vector<SearchHit> hits;  // at most kMaxHits
  bool overflow = false;        // a further match was found after the 200th

  int hitCount() const { return int(hits.size()); }
};

}  // namespace yk::search
