// schedule_occurrences.cpp — the spans a stored record covers.
#include "common/schedule_occurrences.h"

#include <algorithm>

#include "common/schedule_store.h"

namespace yk {
namespace {

constexpr int kMinutesPerHour = 60;
constexpr int kLastRecordYear = 9999;

bool InRange(int value, int low, int high) {
  return value >= low && value <= high;
}

bool ValidTime(int hour, int minute) {
  return InRange(hour, 0, 23) && InRange(minute, 0, 59);
}

int StartMinutes(const ScheduleRecord& r) {
  return r.startHour * kMinutesPerHour + r.startMinute;
}

int EndMinutes(const ScheduleRecord& r) {
  return r.endHour * kMinutesPerHour + r.endMinute;
}

// The span of one period from `first` to `last`, with the record's times (all-day: 0:00).
Occurrence SpanOf(const ScheduleRecord& r, const YearMonthDay& first, const YearMonthDay& last) {
  const bool allDay = IsAllDayRecord(r);
  return Occurrence{
      {first, allDay ? 0 : StartMinutes(r)}, {last, allDay ? 0 : EndMinutes(r)}, allDay};
}

// A one-day window: its end runs into the next day when it lies before its start.
Occurrence DayWindowOf(const ScheduleRecord& r, const YearMonthDay& day) {
  const bool overnight = !IsAllDayRecord(r) && EndMinutes(r) < StartMinutes(r);
  return SpanOf(r, day, overnight ? AddDays(day, 1) : day);
}

// A span within one period must not end before it starts.
bool SpanInOrder(const ScheduleRecord& r, const YearMonthDay& first, const YearMonthDay& last) {
  const int order = CompareDates(first, last);
  return order < 0 || (order == 0 && (IsAllDayRecord(r) || EndMinutes(r) >= StartMinutes(r)));
}

}  // namespace

bool IsAllDayRecord(const ScheduleRecord& r) {
  return r.startHour == 0 && r.startMinute == 0 && r.endHour == 0 && r.endMinute == 0;
}

RecordKind KindOf(const ScheduleRecord& r) {
  const bool yearMark = IsEveryYear(r.startMonth);
  const bool monthMark = IsEveryMonth(r.startDay);
  if (yearMark != IsEveryYear(r.endMonth) || monthMark != IsEveryMonth(r.endDay)) {
    return RecordKind::kInvalid;
  }
  const int sm = StripRepeatMark(r.startMonth), em = StripRepeatMark(r.endMonth);
  const int sd = StripRepeatMark(r.startDay), ed = StripRepeatMark(r.endDay);
  if (!InRange(r.startYear, 1, kLastRecordYear) || !InRange(r.endYear, 1, kLastRecordYear) ||
      !InRange(sm, 1, 12) || !InRange(em, 1, 12) || !InRange(sd, 1, 31) || !InRange(ed, 1, 31) ||
      !ValidTime(r.startHour, r.startMinute) || !ValidTime(r.endHour, r.endMinute) ||
      !InRange(r.period, kPeriodEveryDay, kSaturday)) {
    return RecordKind::kInvalid;
  }
  if (!yearMark && !monthMark) {
    const YearMonthDay first{r.startYear, sm, sd}, last{r.endYear, em, ed};
    if (!IsValidDate(first.year, first.month, first.day) ||
        !IsValidDate(last.year, last.month, last.day) || CompareDates(first, last) > 0) {
      return RecordKind::kInvalid;
    }
    if (r.period == kPeriodEveryDay) return RecordKind::kEveryDay;
    if (r.period >= kSunday) return RecordKind::kWeekly;
    return SpanInOrder(r, first, last) ? RecordKind::kSpan : RecordKind::kInvalid;
  }
  if (r.startYear > r.endYear) return RecordKind::kInvalid;
  if (yearMark && !monthMark) {
    return SpanInOrder(r, {0, sm, sd}, {0, em, ed}) ? RecordKind::kEveryYear : RecordKind::kInvalid;
  }
  const bool monthsInOrder =
      yearMark ? sm <= em : YearMonthDay{r.startYear, sm, 0} <= YearMonthDay{r.endYear, em, 0};
  if (!monthsInOrder || !SpanInOrder(r, {0, 0, sd}, {0, 0, ed})) return RecordKind::kInvalid;
  return yearMark ? RecordKind::kEveryYearMonth : RecordKind::kEveryMonth;
}

std::vector<Occurrence> RecordOccurrences(const ScheduleRecord& r, std::size_t limit) {
  std::vector<Occurrence> out;
  const RecordKind kind = KindOf(r);
  const int sm = StripRepeatMark(r.startMonth), em = StripRepeatMark(r.endMonth);
  const int sd = StripRepeatMark(r.startDay), ed = StripRepeatMark(r.endDay);
  // One period of a marked record, when both its ends exist that year and month.
  auto addPeriod = [&](const YearMonthDay& first, const YearMonthDay& last) {
    if (IsValidDate(first.year, first.month, first.day) &&
        IsValidDate(last.year, last.month, last.day)) {
      out.push_back(SpanOf(r, first, last));
    }
  };
  switch (kind) {
    case RecordKind::kInvalid:
      break;
    case RecordKind::kSpan:
      if (limit > 0) out.push_back(SpanOf(r, {r.startYear, sm, sd}, {r.endYear, em, ed}));
      break;
    case RecordKind::kEveryDay:
    case RecordKind::kWeekly: {
      const long last = DayNumber({r.endYear, em, ed});
      for (long n = DayNumber({r.startYear, sm, sd}); n <= last && out.size() < limit; ++n) {
        const YearMonthDay day = DateFromDayNumber(n);
        if (kind == RecordKind::kWeekly && WeekdayOf(day.year, day.month, day.day) != r.period) {
          continue;
        }
        out.push_back(DayWindowOf(r, day));
      }
      break;
    }
    case RecordKind::kEveryYear:
      for (int y = r.startYear; y <= r.endYear && out.size() < limit; ++y) {
        addPeriod({y, sm, sd}, {y, em, ed});
      }
      break;
    case RecordKind::kEveryMonth:
      for (YearMonthDay m{r.startYear, sm, 1};
           m <= YearMonthDay{r.endYear, em, 1} && out.size() < limit; m = AddMonths(m, 1)) {
        addPeriod({m.year, m.month, sd}, {m.year, m.month, ed});
      }
      break;
    case RecordKind::kEveryYearMonth:
      for (int y = r.startYear; y <= r.endYear && out.size() < limit; ++y) {
        for (int m = sm; m <= em && out.size() < limit; ++m) addPeriod({y, m, sd}, {y, m, ed});
      }
      break;
  }
  return out;
}

YearMonthDay RecordRangeEnd(const ScheduleRecord& r) {
  const int em = StripRepeatMark(r.endMonth);
  const int ed = StripRepeatMark(r.endDay);
  return {r.endYear, em, std::min(ed, DaysInMonth(r.endYear, em))};
}

}  // namespace yk
