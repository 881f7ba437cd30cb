// day_navigation.h — stepping the shown date by days, weeks and months.
//
// The window only moves between 1 January 1980 and 31 December 2030: a day step from
// 1 January 1980 backwards or from 31 December 2030 forwards leaves the date as it is,
// and a month step is refused when it would leave those years.  A month step keeps the
// day number even when the new month is shorter (31 January steps to "31 February",
// which the window shows as an empty day); a later day step brings such a day back into
// its month first.
#pragma once

#include <optional>

#include "common/date_util.h"

namespace yk::sched {

inline constexpr int kFirstNavigableYear = 1980;
inline constexpr int kLastNavigableYear = 2030;

[[nodiscard]] YearMonthDay PreviousDay(YearMonthDay date);
[[nodiscard]] YearMonthDay NextDay(YearMonthDay date);

// `days` single steps (negative steps back), each bounded as above.
[[nodiscard]] YearMonthDay StepDays(YearMonthDay date, int days);

// The same day number in the previous / next month; nullopt at the bound.
[[nodiscard]] std::optional<YearMonthDay> PreviousMonth(YearMonthDay date);
[[nodiscard]] std::optional<YearMonthDay> NextMonth(YearMonthDay date);

}  // namespace yk::sched
