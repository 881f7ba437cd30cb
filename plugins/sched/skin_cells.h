// skin_cells.h — the cells of the plugin's own picture, tvk_sched.dat (160 x 100, 24-bit).
//
// The cell positions are fixed by the picture file, which is drawn separately: toolbar
// labels, the large digits of the date header and the small glyphs of each entry's line.
#pragma once

namespace yk::sched {

inline constexpr int kSkinWidth = 160;
inline constexpr int kSkinHeight = 100;

struct CellRect {
  int x, y, width, height;
  friend bool operator==(const CellRect&, const CellRect&) = default;
};

enum class SkinCell {
  kToolbarLabels,  // labels of the three toolbar buttons, each 40 wide
  kLargeDigit0,    // ... kLargeDigit0 + 9
  kDateSeparator = kLargeDigit0 + 10,
  kAllDayMark,
  kEveryDayMark,
  kWeeklyMark,
  kSmallDigit0,  // ... kSmallDigit0 + 9
  kMonthMark = kSmallDigit0 + 10,
  kDayMark,
  kYearMark,
  kTimeSeparator,
  kRangeMark,
  kEveryMark,  // stands for a year or month number 0
  kWeekday0,   // Sunday ... kWeekday0 + 6 Saturday
  kBracketPair = kWeekday0 + 7,
  kOpeningBracket,  // the left 5 columns of the bracket pair
  kClosingBracket,
};

constexpr SkinCell LargeDigit(int d) {
  return SkinCell(int(SkinCell::kLargeDigit0) + d);
}
constexpr SkinCell SmallDigit(int d) {
  return SkinCell(int(SkinCell::kSmallDigit0) + d);
}
constexpr SkinCell WeekdayName(int w) {
  return SkinCell(int(SkinCell::kWeekday0) + w);
}

// Where a cell lies in the picture.
constexpr CellRect CellOf(SkinCell cell) {
  const int c = int(cell);
  if (c >= int(SkinCell::kLargeDigit0) && c < int(SkinCell::kLargeDigit0) + 10)
    return {(c - int(SkinCell::kLargeDigit0)) * 5, 60, 5, 9};
  if (c >= int(SkinCell::kSmallDigit0) && c < int(SkinCell::kSmallDigit0) + 10)
    return {(c - int(SkinCell::kSmallDigit0)) * 4, 70, 4, 9};
  if (c >= int(SkinCell::kWeekday0) && c < int(SkinCell::kWeekday0) + 7)
    return {(c - int(SkinCell::kWeekday0)) * 5, 80, 5, 9};
  switch (cell) {
    case SkinCell::kToolbarLabels:
      return {0, 20, 120, 20};
    case SkinCell::kDateSeparator:
      return {61, 60, 5, 9};
    case SkinCell::kAllDayMark:
      return {85, 60, 15, 9};
    case SkinCell::kEveryDayMark:
      return {100, 60, 15, 9};
    case SkinCell::kWeeklyMark:
      return {115, 60, 15, 9};
    case SkinCell::kMonthMark:
      return {40, 70, 5, 9};
    case SkinCell::kDayMark:
      return {45, 70, 5, 9};
    case SkinCell::kYearMark:
      return {51, 70, 5, 9};
    case SkinCell::kTimeSeparator:
      return {56, 70, 3, 9};
    case SkinCell::kRangeMark:
      return {58, 70, 6, 9};
    case SkinCell::kEveryMark:
      return {66, 70, 4, 9};
    case SkinCell::kBracketPair:
      return {35, 80, 15, 9};
    case SkinCell::kOpeningBracket:
      return {35, 80, 5, 9};
    case SkinCell::kClosingBracket:
      return {45, 80, 5, 9};
    default:
      return {0, 0, 0, 0};
  }
}

// One glyph to copy from the picture onto the canvas.
struct GlyphPlacement {
  SkinCell cell;
  int x, y;
  friend bool operator==(const GlyphPlacement&, const GlyphPlacement&) = default;
};

}  // namespace yk::sched
