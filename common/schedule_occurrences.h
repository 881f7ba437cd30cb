// schedule_occurrences.h — a stored record as the list of spans it covers: what a calendar
// program calls its occurrences.  Calendar files are written from it and an imported
// repetition is checked against it, so a record and the event made from it cover the same
// days at the same times.
//
// Kinds (from the record's marks and period):
//   kSpan            no marks, period -1: one span from the start date and time to the end
//   kEveryDay        no marks, period -2: each day of the range, start time to end time
//   kWeekly          no marks, period 0..6: each such weekday of the range, likewise
//   kEveryYear       month marks: each year, start month/day to end month/day
//   kEveryMonth      day marks: each month of the range, start day to end day
//   kEveryYearMonth  both marks: each of the months of each year, start day to end day
// A marked record is a span in each of its periods whatever its period value (the view
// only uses that value for its times within the span).  A day or window time that ends
// before it starts (23:00 to 01:00) runs into the next day.
//
// An all-day record (its four times 0) gives spans from 0:00 of the first day to 0:00 of
// the last day, with `allDay` set.  A period whose date doesn't exist (31 April, 29
// February of a common year) has no occurrence.
#pragma once

#include <compare>
#include <cstddef>
#include <vector>

#include "common/date_util.h"
#include "common/plugin_interface.h"

namespace yk {

enum class RecordKind {
  kInvalid,  // a date outside the calendar, a mark on one side only, an end before the start
  kSpan,
  kEveryDay,
  kWeekly,
  kEveryYear,
  kEveryMonth,
  kEveryYearMonth,
};

// A date and a time of day (minutes after midnight, 0..1439).
struct LocalMoment {
  YearMonthDay date;
  int minutes = 0;
  friend constexpr auto operator<=>(const LocalMoment&, const LocalMoment&) = default;
  friend constexpr bool operator==(const LocalMoment&, const LocalMoment&) = default;
};

struct Occurrence {
  LocalMoment start;
  LocalMoment end;  // all-day: 0:00 of the last day
  bool allDay = false;
  friend constexpr bool operator==(const Occurrence&, const Occurrence&) = default;
};

// The record's four time fields are 0.
[[nodiscard]] bool IsAllDayRecord(const ScheduleRecord& record);

[[nodiscard]] RecordKind KindOf(const ScheduleRecord& record);

// The occurrences in date order, at most `limit` of them (one more than the limit is never
// made: callers compare the size with the limit to see that the list was cut).  Empty for
// an invalid record.
[[nodiscard]] std::vector<Occurrence> RecordOccurrences(const ScheduleRecord& record,
                                                        std::size_t limit);

// The last day the record's range reaches, the end date of its last period (its day cut
// to the month's length), for "until" in a calendar file.  Only for valid records.
[[nodiscard]] YearMonthDay RecordRangeEnd(const ScheduleRecord& record);

}  // namespace yk
