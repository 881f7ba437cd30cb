// date_picker.h — the month calendar of the "日付" dialog, without any widget.
//
// The picker draws itself pixel by pixel from the glyphs of the parts sheet into a
// 456 × 180 off-screen image (24-bit, blue-green-red, bottom-up, rows not padded).
// Columns 0..209 hold the composed picture that the dialog shows at (10, 45) of its
// client area; columns 210..455 are scratch space where each strip or the grid is
// rendered before it is copied, shifted by its scroll remainder, into the left half.
//
// Picture rows: year strip 0..19, month strip 25..44, day grid 50..179 (header and six
// weeks).  Stylus coordinates passed in are dialog client pixels.  Years run 1975..2036.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/bitmap_ops.h"
#include "common/date_util.h"
#include "common/picker_image.h"
#include "common/plugin_interface.h"

namespace yk {

class DatePicker : public PickerImage {
 public:
  static constexpr int kImageWidth = 456;
  static constexpr int kImageHeight = 180;
  static constexpr int kImageBytes = kImageWidth * kImageHeight * 3;
  static constexpr int kPictureWidth = 210;  // the shown part of the image
  static constexpr int kPictureLeft = 10;    // where it lies in the dialog
  static constexpr int kPictureTop = 45;
  static constexpr int kMaxYearScroll = 1650;  // 62 cells of 30 pixels less the 210 shown
  static constexpr int kMaxMonthScroll = 30;   // 12 cells of 20 pixels less the 210 shown
  static constexpr int kDragThreshold = 8;     // more than this many pixels is a drag

  // Release, released, image and PictureTopDown come with the picker image.
  DatePicker() : PickerImage(kImageWidth, kImageHeight, kPictureWidth) {}

  enum Zone { kZoneNone = 0, kZoneYear = 1, kZoneMonth = 2, kZoneDays = 3 };

  // Where the picker finds its glyphs and the holidays.  holidays may be null (weekend
  // colouring only); the table is the views' shared one and is reloaded per year.
  struct Sources {
    ConstPixelBuffer parts;  // the 240 × 400 parts sheet
    std::filesystem::path dataFolder;
    HolidayTable* holidays = nullptr;
  };

  // in/out
  int year = yk::kFirstYear;
  int month = 1;
  int day = 1;
  bool yearLocked = false;

  // Allocates the off-screen image, clamps the date, sets the scroll positions and
  // renders everything.  False when the image can't be allocated: nothing is rendered.
  [[nodiscard]] bool Start(const Sources& sources);

  // "今日": takes the given date, recomputes the scrolls and renders everything.
  void SetToday(int todayYear, int todayMonth, int todayDay);

  // Stylus events in dialog client pixels.  Each returns true when the picture changed
  // and must be painted again.
  bool StylusDown(int x, int y);
  bool StylusMove(int x, int y);
  bool StylusUp(int x, int y);

  // "%d年 %d月 %d日"
  std::u16string Caption() const;

  int yearScroll() const { return yearScroll_; }
  int monthScroll() const { return monthScroll_; }
  int pressZone() const { return pressZone_; }
  bool dragging() const { return dragging_; }

  void RenderYearStrip();
  void RenderMonthStrip();
  void RenderDayGrid();
  void RenderAll();

  struct Strip;  // the layout of the year or the month strip

 private:
  void RenderStrip(const Strip& strip, int scroll, int chosen);
  void ResetScrolls();
  void DrawNumber(int value, int digits, int x, int y);
  // Day held by the grid cell, or 0 when the cell is empty.
  int DayInCell(int row, int column) const;

  Sources sources_;
  int yearScroll_ = 0;
  int monthScroll_ = 0;
  int pressZone_ = kZoneNone;
  bool dragging_ = false;
  int lastX_ = 0;
  int lastY_ = 0;
};

}  // namespace yk
