// search_period.cpp — periods and the tests of a record or a day against one.
#include "plugins/search/search_period.h"

namespace yk::search {

SearchPeriod MonthPeriod(int year, int month) {
  return {year, month, 1, year, month, DaysInMonth(year, month)};
}

bool IsValidPeriod(const SearchPeriod& p) {
  for (const YearMonthDay& end : {p.from(), p.to()}) {
    if (end.year < kFirstYear || end.year > kLastYear || !IsValidDate(end.year, end.month, end.day))
      return false;
  }
  return CompareDates(p.to(), p.from()) >= 0;
}

bool OverlapsPeriod(const ScheduleRecord& r, const SearchPeriod& p) {
  const YearMonthDay start{r.startYear, StripRepeatMark(r.startMonth), StripRepeatMark(r.startDay)};
  const YearMonthDay end{r.endYear, StripRepeatMark(r.endMonth), StripRepeatMark(r.endDay)};
  return CompareDates(start, p.to()) <= 0 && CompareDates(end, p.from()) >= 0;
}

bool InPeriod(int year, int month, int day, const SearchPeriod& p) {
  const YearMonthDay date{year, month, day};
  return CompareDates(date, p.from()) >= 0 && CompareDates(date, p.to()) <= 0;
}

int ChangeFlagOf(SearchTarget target) {
  switch (target) {
    case SearchTarget::kSchedules:
      return kChangeSchedules;
    case SearchTarget::kMemos:
      return kChangeDiaryMemos;
    case SearchTarget::kTasks:
      return kChangeTasks;
  }
  return 0;
}

}  // namespace yk::search
