// Tests of the date picker's rules and of its picture, pixel for pixel.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "common/date_picker.h"
#include "common/tests/picker_test_sheet.h"

namespace yk {
namespace {

using testing::TestSheet;

// Dialog client points of the three zones.
constexpr int kYearY = 55, kMonthY = 80;
int DayCellX(int column) {
  return 10 + 30 * column + 15;
}
int DayCellY(int row) {
  return 105 + 20 * row + 10;
}

class DatePickerTest : public ::testing::Test {
 protected:
  DatePicker Started(int year, int month, int day, bool locked = false) {
    DatePicker picker;
    picker.year = year;
    picker.month = month;
    picker.day = day;
    picker.yearLocked = locked;
    EXPECT_TRUE(picker.Start(Sources()));
    return picker;
  }
  DatePicker::Sources Sources() {
    DatePicker::Sources sources;
    sources.parts = sheet_.view();
    sources.dataFolder = "/nonexistent-folder/";
    sources.holidays = &holidays_;
    return sources;
  }
  static void Tap(DatePicker& picker, int x, int y) {
    picker.StylusDown(x, y);
    picker.StylusUp(x, y);
  }

  TestSheet sheet_;
  HolidayTable holidays_{};
};

TEST_F(DatePickerTest, EntryClampsDateAndPlacesStrips) {
  struct Case {
    int year, month;
    int shownYear, shownMonth, yearScroll, monthScroll;
  };
  const Case cases[] = {
      {1970, 1, 1975, 1, 0, 0},        // before the first year: 1975, strips at their start
      {1975, 0, 1975, 1, 0, 0},        //
      {2004, 2, 2004, 2, 853, 8},      // (2004 − 1975) × 30 − 17, (2 − 1) × 20 − 12
      {2004, 5, 2004, 5, 853, 30},     // 68, clamped: the strip ends with December
      {2036, 12, 2036, 12, 1650, 30},  // scrolls clamped at the strips' ends
      {2050, 13, 2036, 12, 1650, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.year * 100 + c.month);
    DatePicker picker = Started(c.year, c.month, 1);
    EXPECT_EQ(picker.year, c.shownYear);
    EXPECT_EQ(picker.month, c.shownMonth);
    EXPECT_EQ(picker.yearScroll(), c.yearScroll);
    EXPECT_EQ(picker.monthScroll(), c.monthScroll);
  }
}

TEST_F(DatePickerTest, DayIsCutToTheMonthsLastDay) {
  struct Case {
    int year, month, day, expected;
  };
  const Case cases[] = {
      {2000, 2, 31, 29},  // divisible by 400
      {2035, 2, 31, 28}, {2004, 2, 30, 29}, {2003, 4, 31, 30}, {2003, 12, 31, 31},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.year * 10000 + c.month * 100 + c.day);
    EXPECT_EQ(Started(c.year, c.month, c.day).day, c.expected);
  }
}

TEST_F(DatePickerTest, JanuaryThirtyFirstToFebruary) {
  for (auto [year, last] : {std::pair{2003, 28}, std::pair{2004, 29}}) {
    DatePicker picker = Started(year, 1, 31);
    Tap(picker, 35, kMonthY);  // month strip at scroll 0: the second cell is February
    EXPECT_EQ(picker.month, 2);
    EXPECT_EQ(picker.day, last);
    EXPECT_EQ(picker.pressZone(), DatePicker::kZoneNone);
  }
}

TEST_F(DatePickerTest, TapsOnTheStripsPickByScrollAndPosition) {
  struct Case {
    int x, y;
    int year, month;
  };
  // From 2004-05 (year scroll 853, month scroll 30).
  const Case cases[] = {
      {11, kYearY, 2003, 5},                             // (853 + 1) div 30 = 28
      {100, kYearY, 2006, 5},                            // (853 + 90) div 30 = 31
      {219, kYearY, 2010, 5},                            // (853 + 209) div 30 = 35
      {11, kMonthY, 2004, 2},                            // (30 + 1) div 20 + 1
      {219, kMonthY, 2004, 12}, {220, kYearY, 2004, 5},  // outside the strip: nothing
      {10, kMonthY, 2004, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x * 1000 + c.y);
    DatePicker picker = Started(2004, 5, 5);
    Tap(picker, c.x, c.y);
    EXPECT_EQ(picker.year, c.year);
    EXPECT_EQ(picker.month, c.month);
  }
}

TEST_F(DatePickerTest, EightPixelsIsATapNineADrag) {
  struct Case {
    int dx, dy;
    bool drag;
  };
  const Case cases[] = {{8, 0, false}, {0, 8, false}, {-8, -8, false},
                        {9, 0, true},  {0, -9, true}, {-9, 3, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dx * 100 + c.dy);
    DatePicker picker = Started(2004, 5, 5);
    const int x = 100, y = kYearY;
    picker.StylusDown(x, y);
    picker.StylusMove(x + c.dx, y + c.dy);
    EXPECT_EQ(picker.dragging(), c.drag);
    picker.StylusUp(x + c.dx, y + c.dy);
    // A tap picks the year under the stylus; a drag only scrolls.
    EXPECT_EQ(picker.year != 2004, !c.drag);
  }
}

TEST_F(DatePickerTest, DraggingScrollsTheStrips) {
  DatePicker picker = Started(2004, 5, 5);
  picker.StylusDown(100, kYearY);
  picker.StylusMove(80, kYearY);  // becomes a drag, no scroll yet
  EXPECT_EQ(picker.yearScroll(), 853);
  picker.StylusMove(70, kYearY);  // 10 pixels left: the strip moves on by 10
  EXPECT_EQ(picker.yearScroll(), 863);
  picker.StylusUp(60, kYearY);  // the last movement is applied too
  EXPECT_EQ(picker.yearScroll(), 873);
  EXPECT_EQ(picker.year, 2004);

  picker.StylusDown(100, kMonthY);
  picker.StylusMove(200, kMonthY);
  picker.StylusMove(300, kMonthY);
  picker.StylusUp(300, kMonthY);
  EXPECT_EQ(picker.monthScroll(), 0);  // clamped at the strip's start
  EXPECT_EQ(picker.month, 5);
}

TEST_F(DatePickerTest, LockedYearNeitherScrollsNorChanges) {
  DatePicker picker = Started(2004, 5, 5, /*locked=*/true);
  Tap(picker, 11, kYearY);
  EXPECT_EQ(picker.year, 2004);
  picker.StylusDown(100, kYearY);
  picker.StylusMove(50, kYearY);
  picker.StylusMove(20, kYearY);
  picker.StylusUp(15, kYearY);
  EXPECT_EQ(picker.yearScroll(), 853);
  EXPECT_EQ(picker.year, 2004);
  // The month strip still works.
  Tap(picker, 11, kMonthY);
  EXPECT_EQ(picker.month, 2);
}

TEST_F(DatePickerTest, DayGridTaps) {
  // May 2004 begins on a Saturday: row 0 holds only the 1st (column 6); row 5 holds the
  // 30th and 31st in columns 0 and 1.
  struct Case {
    int row, column, day;
  };
  const Case cases[] = {
      {0, 0, 5},                                    // empty cell before the 1st: unchanged
      {0, 6, 1}, {1, 0, 2}, {5, 1, 31}, {5, 2, 5},  // empty cell after the 31st: unchanged
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row * 10 + c.column);
    DatePicker picker = Started(2004, 5, 5);
    const std::vector<uint8_t> before = picker.PictureTopDown();
    Tap(picker, DayCellX(c.column), DayCellY(c.row));
    EXPECT_EQ(picker.day, c.day);
    if (c.day == 5) {
      EXPECT_EQ(picker.PictureTopDown(), before);
    }
  }
  // A drag over the grid picks nothing.
  DatePicker picker = Started(2004, 5, 5);
  picker.StylusDown(DayCellX(3), DayCellY(2));
  picker.StylusMove(DayCellX(3) + 20, DayCellY(2));
  picker.StylusUp(DayCellX(3) + 20, DayCellY(2));
  EXPECT_EQ(picker.day, 5);
}

TEST_F(DatePickerTest, TodayAndCaption) {
  DatePicker picker = Started(1980, 1, 1);
  EXPECT_EQ(picker.Caption(), u"1980年 1月 1日");
  picker.SetToday(2004, 5, 7);
  EXPECT_EQ(picker.Caption(), u"2004年 5月 7日");
  EXPECT_EQ(picker.yearScroll(), 853);
  EXPECT_EQ(picker.monthScroll(), 30);
}

TEST_F(DatePickerTest, ReleaseIsOnceAndSafe) {
  DatePicker picker = Started(2004, 5, 5);
  picker.Release();
  picker.Release();
  EXPECT_TRUE(picker.released());
  EXPECT_TRUE(picker.image().empty());
  picker.StylusDown(DayCellX(1), DayCellY(1));
  picker.StylusUp(DayCellX(1), DayCellY(1));
  EXPECT_TRUE(picker.PictureTopDown().empty());
}

// ---- the picture against a reference drawn pixel by pixel here -------------------------

using Pixel = std::array<uint8_t, 3>;

class ReferencePicture {
 public:
  explicit ReferencePicture(const TestSheet& sheet) : sheet_(sheet), pixels_(210 * 180) {
    for (auto& p : pixels_) p = {255, 255, 255};
  }
  Pixel& at(int x, int y) { return pixels_[size_t(y) * 210 + x]; }
  Pixel Sheet(int x, int y) const {
    const uint8_t* p = sheet_.At(x, y);
    return {p[0], p[1], p[2]};
  }
  static Pixel Inverted(Pixel p) {
    return {uint8_t(255 - p[0]), uint8_t(255 - p[1]), uint8_t(255 - p[2])};
  }
  // Glyph column `col` (0..4) of digit `digit` at row `row`.
  Pixel Digit(int digit, int col, int row) const { return Sheet(5 * digit + col, 230 + row); }

  // A strip: cells of `cell` pixels, digits of the value from offset 5, the mark and the end
  // cap in the last five columns, the start cap in the first five.
  void Strip(int top, int cell, int digits, int first, int remainder, int selected, int firstValue,
             int lastValue, int markX) {
    for (int x = 0; x < 210; ++x) {
      const int scratch = x + remainder;
      const int value = first + scratch / cell;
      const int offset = scratch % cell;
      const int markStart = 5 + 5 * digits;
      for (int row = 0; row < 20; ++row) {
        Pixel p = {255, 255, 255};
        if (offset < 5) {
          if (value == firstValue) p = Sheet(50 + offset, 230 + row);
        } else if (offset < markStart) {
          int divisor = 1;
          const int position = (offset - 5) / 5;
          for (int i = position + 1; i < digits; ++i) divisor *= 10;
          p = Digit(value / divisor % 10, (offset - 5) % 5, row);
          if (value == selected) p = Inverted(p);
        } else if (value == lastValue) {
          p = Sheet(55 + offset - markStart, 230 + row);
        } else if (row >= 10) {
          p = Sheet(markX + offset - markStart, 190 + row - 10);
        }
        at(x, top + row) = p;
      }
    }
  }

  void Grid(int firstWeekday, int days, int selected, int holidayDay, int holidayColour) {
    for (int j = 0; j < 7; ++j)
      for (int row = 0; row < 10; ++row) {
        for (int c = 0; c < 15; ++c) at(7 + 30 * j + c, 51 + row) = Sheet(35 + c, 200 + row);
        for (int c = 0; c < 5; ++c) at(12 + 30 * j + c, 51 + row) = Sheet(5 * j + c, 200 + row);
      }
    for (int x = 0; x < 210; ++x) at(x, 50) = {0, 0, 0};
    for (int d = 1; d <= days; ++d) {
      const int cell = firstWeekday + d - 1;
      const int x0 = 30 * (cell % 7), y0 = 60 + 20 * (cell / 7);
      for (int row = 0; row < 20; ++row)
        for (int c = 0; c < 5; ++c) {
          at(x0 + 5 + c, y0 + row) = Digit(d / 10, c, row);
          at(x0 + 10 + c, y0 + row) = Digit(d % 10, c, row);
        }
      int colour = d == holidayDay ? holidayColour : 0;
      if (colour == 0) colour = cell % 7 == 0 ? 1 : cell % 7 == 6 ? 2 : 0;
      if (colour != 0)
        for (int row = 0; row < 20; ++row)
          for (int c = 0; c < 20; ++c) {
            const Pixel tile = Sheet(20 * (colour - 1) + c, 210 + row);
            Pixel& p = at(x0 + 5 + c, y0 + row);
            for (int k = 0; k < 3; ++k) p[k] = uint8_t(p[k] * tile[k] / 255);
          }
      if (d == selected)
        for (int row = 0; row < 20; ++row)
          for (int c = 0; c < 10; ++c)
            at(x0 + 5 + c, y0 + row) = Inverted(at(x0 + 5 + c, y0 + row));
    }
  }

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out;
    for (const Pixel& p : pixels_) out.insert(out.end(), p.begin(), p.end());
    return out;
  }

 private:
  const TestSheet& sheet_;
  std::vector<Pixel> pixels_;
};

void ExpectSamePicture(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) {
    if (actual[i] != expected[i]) {
      const size_t pixel = i / 3;
      ADD_FAILURE() << "first difference at (" << pixel % 210 << ", " << pixel / 210 << ") byte "
                    << i % 3 << ": " << int(actual[i]) << " instead of " << int(expected[i]);
      return;
    }
  }
}

TEST_F(DatePickerTest, MayWithAGreenHolidayMatchesTheReference) {
  // A green holiday on 5 May, already loaded for the year (the file is not read again).
  holidays_.loadedYear = 2004;
  holidays_.count = 1;
  HolidayEntry& entry = holidays_.entries[0];
  entry.month = 5;
  entry.day = 5;
  entry.weekday = -1;
  entry.colour = 3;

  DatePicker picker = Started(2004, 5, 5);
  ReferencePicture expected(sheet_);
  // Years from 1975 + 853 div 30 = 2003, shifted by 853 mod 30 = 13; months from
  // 1 + 30 div 20 = 2, shifted by 10.
  expected.Strip(0, 30, 4, 2003, 13, 2004, 1975, 2036, 51);
  expected.Strip(25, 20, 2, 2, 10, 5, 1, 12, 40);
  expected.Grid(/*firstWeekday=*/6, 31, /*selected=*/5, /*holidayDay=*/5, /*colour=*/3);
  ExpectSamePicture(picker.PictureTopDown(), expected.Bytes());
}

TEST_F(DatePickerTest, StripEndsShowTheirCaps) {
  DatePicker first = Started(1975, 1, 1);
  ReferencePicture expectedFirst(sheet_);
  expectedFirst.Strip(0, 30, 4, 1975, 0, 1975, 1975, 2036, 51);
  expectedFirst.Strip(25, 20, 2, 1, 0, 1, 1, 12, 40);
  expectedFirst.Grid(WeekdayOf(1975, 1, 1), 31, 1, 0, 0);
  ExpectSamePicture(first.PictureTopDown(), expectedFirst.Bytes());

  DatePicker last = Started(2036, 12, 31);
  ReferencePicture expectedLast(sheet_);
  expectedLast.Strip(0, 30, 4, 2030, 0, 2036, 1975, 2036, 51);
  expectedLast.Strip(25, 20, 2, 2, 10, 12, 1, 12, 40);
  expectedLast.Grid(WeekdayOf(2036, 12, 1), 31, 31, 0, 0);
  ExpectSamePicture(last.PictureTopDown(), expectedLast.Bytes());
}

TEST_F(DatePickerTest, HolidayOfAnotherYearDoesNotColourTheGrid) {
  // The table holds 2003's entries and this year's file can't be read: weekend colours only.
  holidays_.loadedYear = 2003;
  holidays_.count = 1;
  holidays_.entries[0].month = 5;
  holidays_.entries[0].day = 5;
  holidays_.entries[0].weekday = -1;
  holidays_.entries[0].colour = 3;
  DatePicker picker = Started(2004, 5, 5);
  ReferencePicture expected(sheet_);
  expected.Strip(0, 30, 4, 2003, 13, 2004, 1975, 2036, 51);
  expected.Strip(25, 20, 2, 2, 10, 5, 1, 12, 40);
  expected.Grid(6, 31, 5, 0, 0);
  ExpectSamePicture(picker.PictureTopDown(), expected.Bytes());
}

}  // namespace
}  // namespace yk
