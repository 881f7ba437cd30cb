// day_navigation.h — stepping the shown date by days, weeks and months.
//
// The window moves over the same years as the pickers and the edit dialog, 1975..2036:
// a day step from 1 January 1975 backwards or from 31 December 2036 forwards leaves the
// date as it is, and a month step is refused when it would leave those years.  A month
// step keeps the day number where the new month has it and otherwise takes the month's
// last day (31 January steps to 29 February 2004), so the window never shows a date that
// does not exist.  A day step given such a date (a shared date set elsewhere) brings it
// back into its month first.
#pragma once

#include <optional>

#include "common/date_util.h"

namespace yk::sched {

inline constexpr int kFirstNavigableYear = kFirstYear;
inline constexpr int kLastNavigableYear = kLastYear;

[[nodiscard]] YearMonthDay PreviousDay(YearMonthDay date);
[[nodiscard]] YearMonthDay NextDay(YearMonthDay date);

// `days` single steps (negative steps back), each bounded as above.
[[nodiscard]] YearMonthDay StepDays(YearMonthDay date, int days);

// The previous / next month, the day cut to its length; nullopt at the bound.
[[nodiscard]] std::optional<YearMonthDay> PreviousMonth(YearMonthDay date);
[[nodiscard]] std::optional<YearMonthDay> NextMonth(YearMonthDay date);

}  // namespace yk::sched
