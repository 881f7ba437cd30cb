// Tests of the time picker: the clock step, the stylus states and the picture.
#include <gtest/gtest.h>

#include <cstring>

#include "common/tests/picker_test_sheet.h"
#include "common/time_picker.h"

namespace yk {
namespace {

using testing::PixelOf;
using testing::TestSheet;

// Dialog client points: centres of the two clocks, the digit columns and the indicators.
constexpr int kClockX = 55, kStartClockY = 90, kEndClockY = 180;
constexpr int kStartHourDigits[2] = {152, 95}, kStartMinuteDigits[2] = {167, 95};
constexpr int kEndHourDigits[2] = {152, 185}, kEndMinuteDigits[2] = {167, 185};

TEST(ClockStepTest, Table) {
  struct Case {
    const char* rule;
    int dx, dy, hour, minute, previous;
    int expectHour, expectMinute;
  };
  const Case cases[] = {
      {"12 o'clock from 17", 0, -30, 17, 20, 17, 12, 0},
      {"12 o'clock from 19", 0, -30, 19, 20, 19, 0, 0},
      {"12 o'clock from 5", 0, -30, 5, 20, 5, 0, 0},
      {"12 o'clock from 6", 0, -30, 6, 20, 6, 12, 0},
      {"12 o'clock from 18", 0, -30, 18, 0, 18, 0, 0},
      {"6 o'clock in the afternoon", 0, 30, 13, 5, 13, 18, 0},
      {"6 o'clock from noon stays morning", 0, 30, 12, 5, 12, 6, 0},
      {"3 o'clock", 30, 0, 14, 5, 14, 15, 0},
      {"3 o'clock in the morning", 30, 0, 2, 5, 2, 3, 0},
      {"9 o'clock", -30, 0, 20, 5, 20, 21, 0},
      {"9 o'clock in the morning", -30, 0, 0, 5, 0, 9, 0},
      {"centre changes nothing", 0, 0, 7, 33, 7, 7, 33},
      // 45° to the upper right: dial hour 1, minute 30.
      {"45 degrees from 9", 20, -20, 9, 0, 9, 1, 30},
      {"45 degrees from 10", 20, -20, 10, 0, 10, 13, 30},
      {"45 degrees from 17", 20, -20, 17, 0, 17, 13, 30},
      {"45 degrees from 18", 20, -20, 18, 0, 18, 1, 30},
      {"45 degrees from 23", 20, -20, 23, 0, 23, 1, 30},
      // Passing 12 clockwise from 11:50 goes on into the afternoon.
      {"just past 12 from 11", 1, -30, 11, 50, 11, 12, 0},
      {"then 12:10", 4, -30, 12, 0, 12, 12, 10},
      // Passing 12 anticlockwise from 0:10 goes back into the evening.
      {"just before 12 from 0", -2, -30, 0, 10, 0, 23, 50},
      {"11 o'clock from 2", -16, -28, 2, 0, 2, 23, 0},
      {"11 o'clock from 3", -16, -28, 3, 0, 3, 11, 0},
      {"10:30 from 18", -20, -20, 18, 0, 18, 10, 30},
      {"10:30 from 19", -20, -20, 19, 0, 19, 22, 30},
      {"afternoon keeps its half", 15, 26, 14, 0, 14, 17, 0},
      {"lower left", -20, 20, 3, 0, 3, 7, 30},
      {"minutes step by ten", 30, -10, 1, 0, 1, 2, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    const ClockStep step = StepClock(c.dx, c.dy, c.hour, c.minute, c.previous);
    EXPECT_EQ(step.hour, c.expectHour);
    EXPECT_EQ(step.minute, c.expectMinute);
  }
}

class TimePickerTest : public ::testing::Test {
 protected:
  TimePicker Started(int sh, int sm, int eh, int em) {
    TimePicker picker;
    picker.startHour = sh;
    picker.startMinute = sm;
    picker.endHour = eh;
    picker.endMinute = em;
    EXPECT_TRUE(picker.Start(sheet_.view()));
    return picker;
  }
  static void Tap(TimePicker& picker, int x, int y) {
    picker.StylusDown(x, y);
    picker.StylusUp(x, y);
  }
  TestSheet sheet_;
};

TEST_F(TimePickerTest, EntryClampsTheValues) {
  TimePicker picker = Started(25, 70, -3, -1);
  EXPECT_EQ(picker.startHour, 23);
  EXPECT_EQ(picker.startMinute, 59);
  EXPECT_EQ(picker.endHour, 0);
  EXPECT_EQ(picker.endMinute, 0);
  EXPECT_EQ(picker.Caption(), u"23:59 ～ 00:00");
}

TEST_F(TimePickerTest, TapAboveTheClockCentre) {
  for (auto [before, after] : {std::pair{17, 12}, std::pair{19, 0}}) {
    TimePicker picker = Started(before, 40, 8, 0);
    Tap(picker, kClockX, kStartClockY - 30);
    EXPECT_EQ(picker.startHour, after);
    EXPECT_EQ(picker.startMinute, 0);
    EXPECT_EQ(picker.endHour, 8);
    EXPECT_EQ(picker.press(), TimePicker::kPressNone);
  }
}

TEST_F(TimePickerTest, DraggingTheHandPastTwelve) {
  TimePicker picker = Started(11, 50, 0, 10);
  picker.StylusDown(kClockX - 2, kStartClockY - 30);  // 11:50 region
  EXPECT_EQ(picker.startHour, 11);
  EXPECT_EQ(picker.startMinute, 50);
  picker.StylusMove(kClockX + 1, kStartClockY - 30);
  EXPECT_EQ(picker.startHour, 12);
  EXPECT_EQ(picker.startMinute, 0);
  picker.StylusMove(kClockX + 4, kStartClockY - 30);
  picker.StylusUp(kClockX + 4, kStartClockY - 30);
  EXPECT_EQ(picker.startHour, 12);
  EXPECT_EQ(picker.startMinute, 10);
  EXPECT_EQ(picker.Caption(), u"12:10 ～ 00:10");

  // The end clock, anticlockwise from 0:10.
  picker.StylusDown(kClockX + 4, kEndClockY - 30);
  EXPECT_EQ(picker.endHour, 0);
  EXPECT_EQ(picker.endMinute, 10);
  picker.StylusMove(kClockX - 2, kEndClockY - 30);
  picker.StylusUp(kClockX - 2, kEndClockY - 30);
  EXPECT_EQ(picker.endHour, 23);
  EXPECT_EQ(picker.endMinute, 50);
}

TEST_F(TimePickerTest, RollingDigitsRoundToTwentyPixels) {
  struct Case {
    const char* rule;
    const int* point;
    int dy;
    int sh, sm, eh, em;
  };
  // From 10:30 ～ 20:45.
  const Case cases[] = {
      {"up 45 adds 2 to the minute", kStartMinuteDigits, -45, 10, 32, 20, 45},
      {"up 9 adds nothing", kStartMinuteDigits, -9, 10, 30, 20, 45},
      {"up 10 adds one", kStartMinuteDigits, -10, 10, 31, 20, 45},
      {"down 20 lowers by one", kStartMinuteDigits, 20, 10, 29, 20, 45},
      {"down 29 lowers by one", kStartMinuteDigits, 29, 10, 29, 20, 45},
      {"down 30 lowers by two", kStartMinuteDigits, 30, 10, 28, 20, 45},
      {"hours wrap below 0", kStartHourDigits, 220, 23, 30, 20, 45},
      {"end hour up", kEndHourDigits, -60, 10, 30, 23, 45},
      {"end hours wrap past 23", kEndHourDigits, -80, 10, 30, 0, 45},
      {"end minutes wrap past 59", kEndMinuteDigits, -300, 10, 30, 20, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    TimePicker picker = Started(10, 30, 20, 45);
    const int x = c.point[0], y = c.point[1];
    picker.StylusDown(x, y);
    picker.StylusMove(x, y + c.dy);
    EXPECT_EQ(picker.roll(), c.dy);
    picker.StylusUp(x, y + c.dy);
    EXPECT_EQ(picker.startHour, c.sh);
    EXPECT_EQ(picker.startMinute, c.sm);
    EXPECT_EQ(picker.endHour, c.eh);
    EXPECT_EQ(picker.endMinute, c.em);
    EXPECT_EQ(picker.roll(), 0);
  }
}

TEST_F(TimePickerTest, RollingDigitsShowTheNeighbours) {
  // Dragging the start minute digits down by 20 pixels shows 29 where 30 stood before it
  // is let go: the rendered window moves with the stylus.
  TimePicker picker = Started(10, 30, 20, 45);
  picker.StylusDown(kStartMinuteDigits[0], kStartMinuteDigits[1]);
  picker.StylusMove(kStartMinuteDigits[0], kStartMinuteDigits[1] + 20);
  const auto& image = picker.image();
  // Digits "29" at picture (150, 40): '2' from the sheet's (10, 230), '9' from (45, 230).
  for (int row = 0; row < 20; ++row)
    for (int col = 0; col < 5; ++col) {
      const uint8_t* tens = PixelOf(image, 304, 180, 150 + col, 40 + row);
      const uint8_t* ones = PixelOf(image, 304, 180, 155 + col, 40 + row);
      ASSERT_EQ(std::memcmp(tens, sheet_.At(10 + col, 230 + row), 3), 0) << row << "," << col;
      ASSERT_EQ(std::memcmp(ones, sheet_.At(45 + col, 230 + row), 3), 0) << row << "," << col;
    }
}

TEST_F(TimePickerTest, AmPmIndicatorToggles) {
  TimePicker picker = Started(9, 0, 8, 0);
  Tap(picker, 135, 185);
  EXPECT_EQ(picker.endHour, 20);
  Tap(picker, 135, 185);
  EXPECT_EQ(picker.endHour, 8);
  Tap(picker, 135, 95);
  EXPECT_EQ(picker.startHour, 21);
  // Lifted off the indicator: nothing.
  picker.StylusDown(135, 95);
  picker.StylusUp(135, 120);
  EXPECT_EQ(picker.startHour, 21);
}

TEST_F(TimePickerTest, DayAndNightPictures) {
  sheet_.Paint(120, 250, 30, 90, 10, 200, 250);  // day
  sheet_.Paint(150, 250, 30, 90, 90, 20, 10);    // night
  struct Case {
    int hour;
    bool night;
  };
  for (const Case c : {Case{6, true}, Case{7, false}, Case{19, false}, Case{20, true},
                       Case{0, true}, Case{12, false}}) {
    SCOPED_TRACE(c.hour);
    TimePicker picker = Started(c.hour, 0, c.hour, 0);
    for (int top : {0, 90}) {
      const uint8_t* p = PixelOf(picker.image(), 304, 180, 195, top + 45);
      EXPECT_EQ(p[0], c.night ? 90 : 10);
    }
  }
}

TEST_F(TimePickerTest, HandAndIndicatorPlaces) {
  TimePicker picker = Started(0, 0, 15, 0);  // start hand up, end hand right (PM)
  const uint8_t* up = PixelOf(picker.image(), 304, 180, 45, 16);
  EXPECT_EQ(up[0], 0x55);
  EXPECT_EQ(up[2], 0x55);
  const uint8_t* right = PixelOf(picker.image(), 304, 180, 74, 90 + 45);
  EXPECT_EQ(right[1], 0x55);
  // AM indicator in the upper slot for the start, PM in the lower slot for the end.
  EXPECT_EQ(std::memcmp(PixelOf(picker.image(), 304, 180, 115, 40), sheet_.At(90, 250), 3), 0);
  EXPECT_EQ(std::memcmp(PixelOf(picker.image(), 304, 180, 115, 90 + 50), sheet_.At(90, 260), 3), 0);
}

TEST_F(TimePickerTest, NowSetsBothTimes) {
  TimePicker picker = Started(1, 2, 3, 4);
  picker.SetNow(14, 7);
  EXPECT_EQ(picker.Caption(), u"14:07 ～ 14:07");
}

}  // namespace
}  // namespace yk
