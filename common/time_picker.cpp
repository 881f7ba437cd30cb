// time_picker.cpp — drawing and stylus rules of the two clock faces.
#include "common/time_picker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace yk {
namespace {

// Parts sheet glyphs (top-down x, y).
constexpr int kFaceX = 0, kFaceY = 250, kFaceSize = 90;
constexpr int kAmX = 90, kAmY = 250, kPmY = 260, kAmPmWidth = 20, kAmPmHeight = 10;
constexpr int kDigitY = 230, kDigitWidth = 5, kDigitHeight = 20;
constexpr int kSeparatorX = 60, kSeparatorWidth = 3;
constexpr int kDayPictureX = 120, kNightPictureX = 150, kSkyY = 250, kSkyWidth = 30;

// Places inside one half of the picture (add the half's row offset).
constexpr int kAmPmLeft = 115, kAmTop = 40, kPmTop = 50;
constexpr int kHourLeft = 135, kSeparatorLeft = 146, kMinuteLeft = 150, kDigitsTop = 40;
constexpr int kRollTop = 20, kRollHeight = 60, kRollStep = 20;
constexpr int kSkyLeft = 180;
constexpr int kCentre = 45, kHandLength = 30;
constexpr uint8_t kHandGrey = 0x55;

// Scratch column for the rolling digits.
constexpr int kScratchX = 210, kScratchRows = 100;

// 180 / π as the clock has always used it; the angles it yields decide the minute steps.
constexpr double kDegreesPerRadian = 57.29577951472;
constexpr double kRadiansPerDegree = 0.0174532958;

int PositiveMod(int value, int modulus) {
  int r = value % modulus;
  return r < 0 ? r + modulus : r;
}

// The dial hour g in the half of the day that the previous hour p keeps, unless the
// hand passes 12.
int HourOfDay(int g, int p) {
  const bool morning = p >= 0 && p <= 11;
  if (g <= 1) {
    if (morning) return p < 10 ? g : g + 12;
    return p >= 18 ? g : g + 12;
  }
  if (g >= 10) {
    if (morning) return p <= 2 ? g + 12 : g;
    return p <= 18 ? g : g + 12;
  }
  return morning ? g : g + 12;
}

}  // namespace

ClockStep StepClock(int dx, int dy, int hour, int minute, int previousHour) {
  if (dx == 0 && dy == 0) return {hour, minute};
  if (dx == 0 && dy < 0) return {(previousHour >= 6 && previousHour < 18) ? 12 : 0, 0};
  if (dx == 0) return {hour > 12 ? 18 : 6, 0};
  if (dy == 0 && dx > 0) return {hour > 12 ? 15 : 3, 0};
  if (dy == 0) return {hour > 12 ? 21 : 9, 0};

  const double ax = std::abs(dx), ay = std::abs(dy);
  int angle;
  if (dx > 0 && dy < 0)
    angle = int(std::atan(ax / ay) * kDegreesPerRadian);
  else if (dx > 0)
    angle = 90 + int(std::atan(ay / ax) * kDegreesPerRadian);
  else if (dy > 0)
    angle = 180 + int(std::atan(ax / ay) * kDegreesPerRadian);
  else
    angle = 270 + int(std::atan(ay / ax) * kDegreesPerRadian);

  const int dialHour = angle / 30;
  const int steppedMinute = ((angle % 30) * 2) / 10 * 10;
  return {HourOfDay(dialHour, previousHour), steppedMinute};
}

bool TimePicker::Start(ConstPixelBuffer parts) {
  parts_ = parts;
  if (!Allocate()) return false;
  startHour = std::clamp(startHour, 0, 23);
  endHour = std::clamp(endHour, 0, 23);
  startMinute = std::clamp(startMinute, 0, 59);
  endMinute = std::clamp(endMinute, 0, 59);
  press_ = kPressNone;
  roll_ = 0;
  DrawAll();
  return true;
}

void TimePicker::SetNow(int hour, int minute) {
  startHour = endHour = std::clamp(hour, 0, 23);
  startMinute = endMinute = std::clamp(minute, 0, 59);
  DrawAll();
}

std::u16string TimePicker::Caption() const {
  char text[32];
  std::snprintf(text, sizeof text, "%.2d:%.2d ", startHour, startMinute);
  std::u16string out(text, text + std::char_traits<char>::length(text));
  out += u"～";
  std::snprintf(text, sizeof text, " %.2d:%.2d", endHour, endMinute);
  out.append(text, text + std::char_traits<char>::length(text));
  return out;
}

void TimePicker::DrawAll() {
  if (released_) return;
  FillWhite(PixelBuffer{image_.data(), kImageWidth, kImageHeight, kImageBytes}, 0, 0, kImageWidth,
            kImageHeight);
  DrawHalf(0);
  DrawHalf(1);
}

void TimePicker::DrawDigits(int value, int x, int y) {
  PixelBuffer dst{image_.data(), kImageWidth, kImageHeight, kImageBytes};
  const int digits[2] = {(value / 10) % 10, value % 10};
  for (int i = 0; i < 2; ++i)
    CopyRop(dst, x + i * kDigitWidth, y, kDigitWidth, kDigitHeight, parts_, digits[i] * kDigitWidth,
            kDigitY, kSrcCopy);
}

// Five values around the current one, 20 pixels apart in the scratch column, then the
// 60-pixel window that the drag has moved to, with the current value in its middle.
void TimePicker::DrawRollingDigits(int value, int modulus, int x, int top) {
  PixelBuffer dst{image_.data(), kImageWidth, kImageHeight, kImageBytes};
  FillWhite(dst, kScratchX, 0, kRollStep, kScratchRows);
  for (int k = 0; k < 5; ++k)
    DrawDigits(PositiveMod(value - roll_ / kRollStep - 2 + k, modulus), kScratchX, kRollStep * k);
  CopyRop(dst, x, top + kRollTop, kRollStep, kRollHeight, dst, kScratchX,
          kRollStep - roll_ % kRollStep, kSrcCopy);
}

void TimePicker::DrawHand(int top, int hour, int minute) {
  const int v = (hour % 12) * 60 + minute;
  int endX, endY;
  switch (v) {
    case 0:
      endX = kCentre, endY = top + kCentre - kHandLength;
      break;
    case 180:
      endX = kCentre + kHandLength, endY = top + kCentre;
      break;
    case 360:
      endX = kCentre, endY = top + kCentre + kHandLength;
      break;
    case 540:
      endX = kCentre - kHandLength, endY = top + kCentre;
      break;
    default: {
      const double theta = v * 0.5 * kRadiansPerDegree;
      endX = int(kHandLength * std::sin(theta) + kCentre);
      endY = int(top + kCentre - kHandLength * std::cos(theta));
    }
  }

  // A 2-pixel pen: every point of the line is a 2 × 2 dot.
  auto plot = [this](int x, int y) {
    for (int oy = 0; oy < 2; ++oy)
      for (int ox = 0; ox < 2; ++ox) {
        const int px = x + ox, py = y + oy;
        if (px < 0 || px >= kImageWidth || py < 0 || py >= kImageHeight) continue;
        uint8_t* p = image_.data() + (size_t(kImageHeight - 1 - py) * kImageWidth + px) * 3;
        p[0] = p[1] = p[2] = kHandGrey;
      }
  };
  int x = kCentre, y = top + kCentre;
  const int sx = endX > x ? 1 : -1, sy = endY > y ? 1 : -1;
  const int adx = std::abs(endX - x), ady = -std::abs(endY - y);
  int err = adx + ady;
  for (;;) {
    plot(x, y);
    if (x == endX && y == endY) break;
    const int e2 = 2 * err;
    if (e2 >= ady) err += ady, x += sx;
    if (e2 <= adx) err += adx, y += sy;
  }
}

void TimePicker::DrawHalf(int half) {
  if (released_) return;
  PixelBuffer dst{image_.data(), kImageWidth, kImageHeight, kImageBytes};
  const int top = half == 0 ? 0 : kHalfHeight;
  const int hour = half == 0 ? startHour : endHour;
  const int minute = half == 0 ? startMinute : endMinute;
  const int hourPress = half == 0 ? kPressStartHourDigits : kPressEndHourDigits;
  const int minutePress = half == 0 ? kPressStartMinuteDigits : kPressEndMinuteDigits;

  FillWhite(dst, 0, top, kPictureWidth, kHalfHeight);
  CopyRop(dst, 0, top, kFaceSize, kFaceSize, parts_, kFaceX, kFaceY, kSrcCopy);
  if (hour < 12)
    CopyRop(dst, kAmPmLeft, top + kAmTop, kAmPmWidth, kAmPmHeight, parts_, kAmX, kAmY, kSrcCopy);
  else
    CopyRop(dst, kAmPmLeft, top + kPmTop, kAmPmWidth, kAmPmHeight, parts_, kAmX, kPmY, kSrcCopy);

  if (press_ == hourPress)
    DrawRollingDigits(hour, 24, kHourLeft, top);
  else
    DrawDigits(hour, kHourLeft, top + kDigitsTop);
  CopyRop(dst, kSeparatorLeft, top + kDigitsTop, kSeparatorWidth, kDigitHeight, parts_, kSeparatorX,
          kDigitY, kSrcCopy);
  if (press_ == minutePress)
    DrawRollingDigits(minute, 60, kMinuteLeft, top);
  else
    DrawDigits(minute, kMinuteLeft, top + kDigitsTop);

  DrawHand(top, hour, minute);

  const int skyX = (hour < 7 || hour > 19) ? kNightPictureX : kDayPictureX;
  CopyRop(dst, kSkyLeft, top, kSkyWidth, kHalfHeight, parts_, skyX, kSkyY, kSrcCopy);
}

void TimePicker::ClockAt(int half, int dx, int dy) {
  int& hour = half == 0 ? startHour : endHour;
  int& minute = half == 0 ? startMinute : endMinute;
  const ClockStep step = StepClock(dx, dy, hour, minute, previousHour_);
  hour = step.hour;
  minute = step.minute;
  previousHour_ = hour;
}

// The hand of a half follows the stylus: its clock's centre lies at (55, 90) of the
// dialog, 90 pixels lower for the end half.
void TimePicker::FollowClock(int half, int x, int y) {
  ClockAt(half, x - kPictureLeft - kCentre, y - kPictureTop - kCentre - half * kHalfHeight);
  DrawHalf(half);
}

bool TimePicker::StylusDown(int x, int y) {
  lastX_ = x;
  lastY_ = y;
  roll_ = 0;
  if (10 < x && x < 100 && 45 < y && y < 135) {
    press_ = kPressStartClock;
    previousHour_ = startHour;
    FollowClock(0, x, y);
    return true;
  }
  if (10 < x && x < 100 && 135 < y && y <= 224) {
    press_ = kPressEndClock;
    previousHour_ = endHour;
    FollowClock(1, x, y);
    return true;
  }
  if (125 < x && x <= 144 && 86 <= y && y <= 104) {
    press_ = kPressStartAmPm;
    return false;
  }
  if (125 < x && x <= 144 && 176 <= y && y <= 194) {
    press_ = kPressEndAmPm;
    return false;
  }
  const bool hourColumn = 145 < x && x < 160, minuteColumn = 160 < x && x < 175;
  const bool startRows = 65 < y && y < 125, endRows = 155 < y && y < 215;
  if ((hourColumn || minuteColumn) && (startRows || endRows)) {
    if (startRows)
      press_ = hourColumn ? kPressStartHourDigits : kPressStartMinuteDigits;
    else
      press_ = hourColumn ? kPressEndHourDigits : kPressEndMinuteDigits;
    DrawHalf(startRows ? 0 : 1);
    return true;
  }
  return false;
}

bool TimePicker::StylusMove(int x, int y) {
  bool changed = false;
  switch (press_) {
    case kPressStartClock:
    case kPressEndClock:
      FollowClock(press_ == kPressStartClock ? 0 : 1, x, y);
      changed = true;
      break;
    case kPressStartHourDigits:
    case kPressStartMinuteDigits:
    case kPressEndHourDigits:
    case kPressEndMinuteDigits:
      roll_ += y - lastY_;
      DrawHalf(press_ <= kPressStartMinuteDigits ? 0 : 1);
      changed = true;
      break;
    default:
      break;
  }
  lastX_ = x;
  lastY_ = y;
  return changed;
}

bool TimePicker::StylusUp(int x, int y) {
  bool changed = false;
  switch (press_) {
    case kPressStartClock:
    case kPressEndClock: {
      const int half = press_ == kPressStartClock ? 0 : 1;
      press_ = kPressNone;
      FollowClock(half, x, y);
      changed = true;
      break;
    }
    case kPressStartAmPm:
    case kPressEndAmPm: {
      // The indicator switches only when the stylus is lifted on it.
      const int half = press_ == kPressStartAmPm ? 0 : 1;
      const int top = 85 + half * kHalfHeight;
      if (125 < x && x < 145 && top < y && y < top + 20) {
        int& hour = half == 0 ? startHour : endHour;
        hour = (hour + 12) % 24;
        press_ = kPressNone;
        DrawHalf(half);
        changed = true;
      }
      break;
    }
    case kPressStartHourDigits:
    case kPressStartMinuteDigits:
    case kPressEndHourDigits:
    case kPressEndMinuteDigits: {
      // Round the drag to the nearest 20 pixels, in the direction it went so far.
      roll_ += (roll_ < 0 ? -10 : 10) + (y - lastY_);
      const int steps = roll_ / kRollStep;
      const int which = press_;
      if (which == kPressStartHourDigits) startHour = PositiveMod(startHour - steps, 24);
      if (which == kPressEndHourDigits) endHour = PositiveMod(endHour - steps, 24);
      if (which == kPressStartMinuteDigits) startMinute = PositiveMod(startMinute - steps, 60);
      if (which == kPressEndMinuteDigits) endMinute = PositiveMod(endMinute - steps, 60);
      press_ = kPressNone;
      roll_ = 0;
      DrawHalf(which <= kPressStartMinuteDigits ? 0 : 1);
      changed = true;
      break;
    }
    default:
      break;
  }
  press_ = kPressNone;
  roll_ = 0;
  return changed;
}

}  // namespace yk
