#include "plugins/sched/glyph_line.h"

#include <cstdlib>

namespace yk::sched {
namespace {

constexpr int kRepeatMark = 50;  // +50 on a month: every year; on a day: every month
constexpr int kLineStartX = 1;
constexpr int kNoStartDateX = 11;
constexpr int kGapBeforeYearMark = 1;
constexpr int kGapAfterYearRange = 2;
constexpr int kGapBeforeTime = 1;
constexpr int kGapBeforeTailMark = 5;
constexpr int kWeekdayInBracket = 5;

class LineWriter {
 public:
  explicit LineWriter(int row) : row_(row) {}

  void Put(SkinCell cell) {
    glyphs_.push_back({cell, x_, row_});
    x_ += CellOf(cell).width;
  }
  void Skip(int pixels) { x_ += pixels; }
  void MoveTo(int x) { x_ = x; }

  // The last `count` decimal digits of |value|, zero padded.
  void Digits(int value, int count) {
    long v = std::labs(static_cast<long>(value));
    int digits[4] = {0, 0, 0, 0};
    for (int i = count - 1; i >= 0; --i) {
      digits[i] = static_cast<int>(v % 10);
      v /= 10;
    }
    for (int i = 0; i < count; ++i) Put(SmallDigit(digits[i]));
  }

  void Year(int year) {
    if (year == 0) {
      Put(SkinCell::kEveryMark);
    } else {
      Digits(year, 4);
      Skip(kGapBeforeYearMark);
    }
    Put(SkinCell::kYearMark);
  }

  // A month that may be 0 ("every month") followed by the month mark.
  void MonthOrEvery(int month) {
    if (month == 0) {
      Put(SkinCell::kEveryMark);
    } else {
      Digits(month, 2);
    }
    Put(SkinCell::kMonthMark);
  }

  void Time(int hour, int minute) {
    Skip(kGapBeforeTime);
    Digits(hour, 2);
    Put(SkinCell::kTimeSeparator);
    Digits(minute, 2);
  }

  void TailMark(SkinCell cell) {
    Skip(kGapBeforeTailMark);
    Put(cell);
  }

  void WeekdayInBrackets(int weekday) {
    const int at = x_;
    Put(SkinCell::kBracketPair);
    glyphs_.push_back({WeekdayName(weekday), at + kWeekdayInBracket, row_});
  }

  std::vector<GlyphPlacement> Take() { return std::move(glyphs_); }

 private:
  int row_;
  int x_ = kLineStartX;
  std::vector<GlyphPlacement> glyphs_;
};

}  // namespace

std::vector<GlyphPlacement> BuildGlyphLine(const ScheduleRecord& r, bool allDay, int row) {
  LineWriter line(row);
  const bool everyYear = r.startMonth > kRepeatMark;
  const bool everyMonth = r.startDay > kRepeatMark;
  const int monthMark = everyYear ? kRepeatMark : 0;
  const bool singleDay =
      r.startYear == r.endYear && r.startMonth == r.endMonth && r.startDay == r.endDay;
  const bool singleAllDay = singleDay && allDay;
  const bool span = r.period == -1;

  // Start date.
  if (r.startYear != 0 || r.startMonth != 0 || r.startDay != 0) {
    line.Year(r.startYear);
    if (everyYear) {
      if (r.startYear != r.endYear) {
        line.Put(SkinCell::kRangeMark);
        line.Year(r.endYear);
      }
      line.Skip(kGapAfterYearRange);
    }
    if (!everyMonth) {
      const int month = r.startMonth - monthMark;
      if (month != 0) {
        line.Digits(month, 2);
        line.Put(SkinCell::kMonthMark);
      } else if (r.startDay != 0) {
        line.Put(SkinCell::kEveryMark);
        line.Put(SkinCell::kMonthMark);
      }
      if (r.startDay != 0) {
        line.Digits(r.startDay, 2);
        line.Put(SkinCell::kDayMark);
      }
    } else {
      line.Digits(r.startMonth - monthMark, 2);
      line.Put(SkinCell::kMonthMark);
      if (r.startYear != r.endYear || r.startMonth != r.endMonth) {
        line.Put(SkinCell::kRangeMark);
        if (!everyYear) line.Year(r.endYear);
        line.Digits(r.endMonth - monthMark, 2);
        line.Put(SkinCell::kMonthMark);
      }
      line.Digits(r.startDay - kRepeatMark, 2);
      line.Put(SkinCell::kDayMark);
    }
    if (span && !allDay) line.Time(r.startHour, r.startMinute);
  } else {
    line.MoveTo(kNoStartDateX);
  }

  if (!singleAllDay) line.Put(SkinCell::kRangeMark);

  // End date.
  if ((r.endYear != 0 || r.endMonth != 0 || r.endDay != 0) && !singleDay) {
    if (!everyYear && !everyMonth) line.Year(r.endYear);
    if (!everyMonth) {
      line.MonthOrEvery(r.endMonth - monthMark);
      line.Digits(r.endDay, 2);
    } else {
      line.Digits(r.endDay - kRepeatMark, 2);
    }
    line.Put(SkinCell::kDayMark);
  }
  if (!singleAllDay && span && !allDay) line.Time(r.endHour, r.endMinute);

  // Tail: an all-day entry ends with its mark; a span has no tail.
  if (allDay) {
    line.TailMark(SkinCell::kAllDayMark);
    return line.Take();
  }
  if (r.period == -2) {
    line.TailMark(SkinCell::kEveryDayMark);
  } else if (r.period >= 0 && r.period <= 6) {
    line.TailMark(SkinCell::kWeeklyMark);
    line.WeekdayInBrackets(r.period);
  } else {
    return line.Take();
  }
  line.Time(r.startHour, r.startMinute);
  line.Put(SkinCell::kRangeMark);
  line.Time(r.endHour, r.endMinute);
  return line.Take();
}

}  // namespace yk::sched
