// date_picker.cpp — rendering and stylus rules of the month calendar.
#include "common/date_picker.h"

#include <algorithm>
#include <cstdlib>

#include "common/holiday.h"

namespace yk {
namespace {

// Glyphs on the parts sheet (top-down x, y).
constexpr int kDigitY = 230;  // digit d at (5 d, 230) 5 × 20
constexpr int kDigitWidth = 5;
constexpr int kDigitHeight = 20;
constexpr int kStartCapX = 50;  // (50, 230) 5 × 20
constexpr int kEndCapX = 55;    // (55, 230) 5 × 20
constexpr int kCapWidth = 5;
constexpr int kYearMarkX = 51, kYearMarkY = 190;
constexpr int kMonthMarkX = 40, kMonthMarkY = 190;
constexpr int kMarkWidth = 5, kMarkHeight = 10;
constexpr int kHeaderBackX = 35, kHeaderBackY = 200, kHeaderBackWidth = 15;
constexpr int kWeekdayLetterY = 200;  // letter w at (5 w, 200) 5 × 10
constexpr int kTileY = 210;           // red (0, 210), blue (20, 210), green (40, 210)
constexpr int kTileSize = 20;

// Off-screen layout.
constexpr int kScratchX = 210;
constexpr int kStripHeight = 20;
constexpr int kYearRow = 0;
constexpr int kMonthRow = 25;
constexpr int kGridRow = 50;
constexpr int kGridHeight = 130;
constexpr int kYearCell = 30;
constexpr int kYearCells = 8;
constexpr int kMonthCell = 20;
constexpr int kMonthCells = 11;
constexpr int kDayCell = 30;
constexpr int kWeekRow = 20;
constexpr int kWeeks = 6;

// Screen (dialog client) zones.
constexpr int kZoneLeft = 10, kZoneRight = 220;
constexpr int kGridTop = 105;

// Scroll that puts the year / month near the strip's left end: (year − 1975) × 30 − 17
// and (month − 1) × 20 − 12, kept in these forms so the arithmetic reads as documented.
int YearScrollFor(int year) {
  return year * 30 - 59267;
}
int MonthScrollFor(int month) {
  return month * 20 - 32;
}

}  // namespace

bool DatePicker::Start(const Sources& sources) {
  sources_ = sources;
  if (!Allocate()) return false;
  year = std::clamp(year, kFirstYear, kLastYear);
  month = std::clamp(month, 1, 12);
  pressZone_ = kZoneNone;
  dragging_ = false;
  ResetScrolls();
  RenderAll();
  return true;
}

void DatePicker::SetToday(int todayYear, int todayMonth, int todayDay) {
  year = std::clamp(todayYear, kFirstYear, kLastYear);
  month = std::clamp(todayMonth, 1, 12);
  day = todayDay;
  ResetScrolls();
  RenderAll();
}

void DatePicker::ResetScrolls() {
  yearScroll_ = YearScrollFor(year);
  monthScroll_ = MonthScrollFor(month);
}

std::u16string DatePicker::Caption() const {
  std::u16string text;
  auto append = [&text](int value) {
    for (char c : std::to_string(value)) text.push_back(char16_t(c));
  };
  append(year);
  text += u"年 ";
  append(month);
  text += u"月 ";
  append(day);
  text += u"日";
  return text;
}

void DatePicker::DrawNumber(int value, int digits, int x, int y) {
  PixelBuffer dst{image_.data(), kImageWidth, kImageHeight, kImageBytes};
  int divisor = 1;
  for (int i = 1; i < digits; ++i) divisor *= 10;
  value = std::abs(value);
  for (int i = 0; i < digits; ++i) {
    int digit = (value / divisor) % 10;
    CopyRop(dst, x + i * kDigitWidth, y, kDigitWidth, kDigitHeight, sources_.parts,
            digit * kDigitWidth, kDigitY, kSrcCopy);
    divisor /= 10;
  }
}

// A strip of numbered cells.  A cell is a start-cap column, the number, and a last column
// that holds the mark in its lower half or, on the strip's last value, the end cap.
struct DatePicker::Strip {
  int row;         // picture row
  int cell;        // cell width
  int cells;       // cells rendered into the scratch space
  int clearWidth;  // scratch columns wiped first
  int digits;
  int markX, markY;  // the mark on the parts sheet
  int firstValue, lastValue;
};

namespace {
constexpr DatePicker::Strip kYearStrip{kYearRow,   kYearCell,  kYearCells, 230,      4,
                                       kYearMarkX, kYearMarkY, kFirstYear, kLastYear};
constexpr DatePicker::Strip kMonthStrip{kMonthRow,   kMonthCell,  kMonthCells, 220, 2,
                                        kMonthMarkX, kMonthMarkY, 1,           12};
}  // namespace

void DatePicker::RenderYearStrip() {
  if (released_) return;
  yearScroll_ = std::clamp(yearScroll_, 0, kMaxYearScroll);
  RenderStrip(kYearStrip, yearScroll_, year);
}

void DatePicker::RenderMonthStrip() {
  if (released_) return;
  monthScroll_ = std::clamp(monthScroll_, 0, kMaxMonthScroll);
  RenderStrip(kMonthStrip, monthScroll_, month);
}

// Renders the cells from the scrolled-to one in the scratch space, the chosen value
// inverted, then copies the strip, shifted by the scroll remainder, into the picture.
void DatePicker::RenderStrip(const Strip& strip, int scroll, int chosen) {
  PixelBuffer dst{image_.data(), kImageWidth, kImageHeight, kImageBytes};
  const ConstPixelBuffer& parts = sources_.parts;
  const int first = strip.firstValue + scroll / strip.cell;
  const int remainder = scroll % strip.cell;
  const int markTop = strip.row + kStripHeight - kMarkHeight;
  FillWhite(dst, kScratchX, strip.row, strip.clearWidth, kStripHeight);
  for (int i = 0; i < strip.cells; ++i) {
    const int x = kScratchX + i * strip.cell;
    const int lastColumn = x + strip.cell - kCapWidth;
    const int shown = first + i;
    DrawNumber(shown, strip.digits, x + kCapWidth, strip.row);
    CopyRop(dst, lastColumn, markTop, kMarkWidth, kMarkHeight, parts, strip.markX, strip.markY,
            kSrcCopy);
    if (shown == strip.firstValue)
      CopyRop(dst, x, strip.row, kCapWidth, kStripHeight, parts, kStartCapX, kDigitY, kSrcCopy);
    if (shown == strip.lastValue)
      CopyRop(dst, lastColumn, strip.row, kCapWidth, kStripHeight, parts, kEndCapX, kDigitY,
              kSrcCopy);
    if (shown == chosen)
      Invert(dst, x + kCapWidth, strip.row, strip.digits * kDigitWidth, kStripHeight);
  }
  CopyRop(dst, 0, strip.row, kPictureWidth, kStripHeight, dst, kScratchX + remainder, strip.row,
          kSrcCopy);
}

int DatePicker::DayInCell(int row, int column) const {
  if (row < 0 || row >= kWeeks || column < 0 || column > 6) return 0;
  const int first = WeekdayOf(year, month, 1);
  const int value = row * 7 + column - first + 1;
  return value >= 1 && value <= DaysInMonth(year, month) ? value : 0;
}

void DatePicker::RenderDayGrid() {
  if (released_) return;
  PixelBuffer dst{image_.data(), kImageWidth, kImageHeight, kImageBytes};
  const ConstPixelBuffer& parts = sources_.parts;

  // The table now holds this year's entries: none for a year without a readable holiday
  // file, whose days get the weekend colours alone.
  bool haveHolidays = false;
  if (sources_.holidays != nullptr)
    haveHolidays = ReadHolidays(year, sources_.dataFolder, sources_.holidays, false) != 0;

  const int days = DaysInMonth(year, month);
  if (day > days) day = days;
  if (day < 1) day = 1;

  FillWhite(dst, kScratchX, kGridRow, kPictureWidth, kGridHeight);
  for (int j = 0; j < 7; ++j) {
    CopyRop(dst, 217 + kDayCell * j, kGridRow + 1, kHeaderBackWidth, kMarkHeight, parts,
            kHeaderBackX, kHeaderBackY, kSrcCopy);
    CopyRop(dst, 222 + kDayCell * j, kGridRow + 1, kMarkWidth, kMarkHeight, parts, kMarkWidth * j,
            kWeekdayLetterY, kSrcCopy);
  }
  FillBlack(dst, kScratchX, kGridRow, kPictureWidth, 1);

  for (int i = 0; i < kWeeks; ++i) {
    const int y = kGridRow + 10 + kWeekRow * i;
    for (int j = 0; j < 7; ++j) {
      const int shown = DayInCell(i, j);
      if (shown == 0) continue;
      const int x = kScratchX + kDayCell * j;
      DrawNumber(shown, 2, x + 5, y);

      int colour = 0;
      if (haveHolidays) {
        const HolidayEntry* match = FindHoliday(*sources_.holidays, month, shown, j);
        if (match != nullptr) colour = match->colour;
      }
      if (colour < 1 || colour > 3) colour = j == kSunday ? 1 : j == kSaturday ? 2 : 0;
      if (colour != 0)
        Blend(dst, x + 5, y, kTileSize, kTileSize, parts, (colour - 1) * kTileSize, kTileY,
              kBlendMultiply);
      if (shown == day) Invert(dst, x + 5, y, 10, kWeekRow);
    }
  }
  CopyRop(dst, 0, kGridRow, kPictureWidth, kGridHeight, dst, kScratchX, kGridRow, kSrcCopy);
}

void DatePicker::RenderAll() {
  RenderYearStrip();
  RenderMonthStrip();
  RenderDayGrid();
}

bool DatePicker::StylusDown(int x, int y) {
  dragging_ = false;
  pressZone_ = kZoneNone;
  if (kZoneLeft < x && x < kZoneRight) {
    if (y >= 46 && y <= 64)
      pressZone_ = kZoneYear;
    else if (70 < y && y < 90)
      pressZone_ = kZoneMonth;
    else if (kGridTop < y && y <= 224)
      pressZone_ = kZoneDays;
  }
  lastX_ = x;
  lastY_ = y;
  return false;
}

bool DatePicker::StylusMove(int x, int y) {
  bool changed = false;
  if (pressZone_ == kZoneYear && dragging_ && !yearLocked) {
    yearScroll_ += lastX_ - x;
    RenderYearStrip();
    changed = true;
  } else if (pressZone_ == kZoneMonth && dragging_) {
    monthScroll_ += lastX_ - x;
    RenderMonthStrip();
    changed = true;
  } else if (std::abs(lastX_ - x) > kDragThreshold || std::abs(lastY_ - y) > kDragThreshold) {
    dragging_ = true;
  }
  if (dragging_) {
    lastX_ = x;
    lastY_ = y;
  }
  return changed;
}

bool DatePicker::StylusUp(int x, int y) {
  bool changed = false;
  const bool insideStrip = kZoneLeft < x && x < kZoneRight;
  switch (pressZone_) {
    case kZoneYear:
      if (yearLocked) break;
      if (dragging_) {
        yearScroll_ += lastX_ - x;
        RenderYearStrip();
        changed = true;
      } else if (insideStrip) {
        year = (yearScroll_ + x - kZoneLeft) / kYearCell + kFirstYear;
        RenderYearStrip();
        RenderDayGrid();
        changed = true;
      }
      break;
    case kZoneMonth:
      if (dragging_) {
        monthScroll_ += lastX_ - x;
        RenderMonthStrip();
        changed = true;
      } else if (insideStrip) {
        month = (monthScroll_ + x - kZoneLeft) / kMonthCell + 1;
        RenderMonthStrip();
        RenderDayGrid();
        changed = true;
      }
      break;
    case kZoneDays:
      if (!dragging_) {
        const int picked = DayInCell((y - kGridTop) / kWeekRow, (x - kZoneLeft) / kDayCell);
        if (picked != 0) {
          day = picked;
          RenderDayGrid();
          changed = true;
        }
      }
      break;
    default:
      break;
  }
  pressZone_ = kZoneNone;
  return changed;
}

}  // namespace yk
