// time_picker.h — the two clock faces of the "時間" dialog, without any widget.
//
// The picture is a 304 × 180 off-screen image (24-bit, blue-green-red, bottom-up, rows not
// padded).  Columns 0..209 are shown at (10, 45) of the dialog's client area; columns 210
// and more are scratch space for the rolling digits.  Rows 0..89 are the start half,
// rows 90..179 the end half.  Each half shows a clock face with its hour hand, the AM/PM
// indicator, the hour and minute digits and a day or night picture.
//
// A time is set by dragging on its clock face (the hand snaps to 10-minute steps), by
// dragging its digits up and down like a drum (20 pixels a step), or by tapping its AM/PM
// indicator.  Stylus coordinates passed in are dialog client pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/bitmap_ops.h"
#include "common/picker_image.h"

namespace yk {

// Dial position of a tap: the hour 0..11 on the dial and the minute in 10-minute steps.
// Exposed for the clock step and its tests.
struct ClockStep {
  int hour;
  int minute;
};

// Hour and minute after a clock step at (dx, dy) from the clock's centre (y grows
// downwards), for the clock's current hour and minute and the hour it had before the
// last step (which keeps the hand in its half of the day unless it passes 12).
ClockStep StepClock(int dx, int dy, int hour, int minute, int previousHour);

class TimePicker : public PickerImage {
 public:
  static constexpr int kImageWidth = 304;
  static constexpr int kImageHeight = 180;
  static constexpr int kImageBytes = kImageWidth * kImageHeight * 3;
  static constexpr int kPictureWidth = 210;
  static constexpr int kPictureLeft = 10;
  static constexpr int kPictureTop = 45;
  static constexpr int kHalfHeight = 90;

  // Release, released, image and PictureTopDown come with the picker image.
  TimePicker() : PickerImage(kImageWidth, kImageHeight, kPictureWidth) {}

  enum Press {
    kPressNone = 0,
    kPressStartClock = 1,
    kPressEndClock = 2,
    kPressStartAmPm = 3,
    kPressEndAmPm = 4,
    kPressStartHourDigits = 5,
    kPressStartMinuteDigits = 6,
    kPressEndHourDigits = 7,
    kPressEndMinuteDigits = 8
  };

  // in/out: 0..23 and 0..59
  int startHour = 0;
  int startMinute = 0;
  int endHour = 0;
  int endMinute = 0;

  // Allocates the picture, clamps the four values and draws everything.  False when the
  // picture can't be allocated: nothing is drawn.
  [[nodiscard]] bool Start(ConstPixelBuffer parts);

  // "現時刻": both times become the given time; everything is drawn again.
  void SetNow(int hour, int minute);

  // Stylus events in dialog client pixels; true when the picture changed.
  bool StylusDown(int x, int y);
  bool StylusMove(int x, int y);
  bool StylusUp(int x, int y);

  // "%.2d:%.2d ～ %.2d:%.2d"
  std::u16string Caption() const;

  int press() const { return press_; }
  int roll() const { return roll_; }

  void DrawAll();
  // half 0 = start, 1 = end
  void DrawHalf(int half);

 private:
  void ClockAt(int half, int dx, int dy);
  void FollowClock(int half, int x, int y);
  void DrawDigits(int value, int x, int y);
  void DrawRollingDigits(int value, int modulus, int x, int top);
  void DrawHand(int top, int hour, int minute);

  ConstPixelBuffer parts_;
  int press_ = kPressNone;
  int previousHour_ = 0;
  int roll_ = 0;
  int lastX_ = 0;
  int lastY_ = 0;
};

}  // namespace yk
