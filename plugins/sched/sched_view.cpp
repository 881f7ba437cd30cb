#include "plugins/sched/sched_view.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "common/holiday.h"
#include "common/u16_format.h"
#include "plugins/sched/day_colour.h"
#include "plugins/sched/day_navigation.h"
#include "plugins/sched/glyph_line.h"
#include "plugins/sched/sched_keys.h"

namespace yk::sched {
namespace {

// Where the toolbar pieces come from in the host's parts sheet.
struct ToolbarPiece {
  int x, width;  // on the canvas, rows 0..19
  int sheetX, sheetY;
};
constexpr int kToolbarHeight = 20;
constexpr int kTabInactiveX = 0, kTabActiveX = 40, kToolbarSheetY = 340;
constexpr ToolbarPiece kNewButton = {80, 40, 80, 340};
constexpr ToolbarPiece kDayButtons[] = {
    {130, 20, 180, 340},  // previous day
    {150, 20, 70, 230},   // between the arrows
    {170, 20, 200, 340},  // next day
};

// The date header: large digits on canvas row 20.
constexpr int kHeaderRow = 20;
constexpr int kYearDigitX[] = {1, 6, 11, 16};
constexpr int kFirstSeparatorX = 21;
constexpr int kMonthDigitX[] = {24, 29};
constexpr int kSecondSeparatorX = 34;
constexpr int kDayDigitX[] = {37, 42};
constexpr int kWeekdayBracketX = 47;
constexpr int kWeekdayNameX = 52;
constexpr int kCountOpenX = 70;
constexpr int kCountFirstDigitX = 75;
constexpr int kCountMinDigits = 2;
constexpr int kLargeDigitWidth = 5;
constexpr Rect kHolidayRectFrom = {100, 20, 0, 10};  // reaches to the content width
constexpr int kColourBandRow = 20, kColourBandHeight = 10;

constexpr Rect kWorkTextRect = {4, 25, 236, 45};  // (4, 25)-(240, 70)
constexpr int kNoSchedulesTop = 43, kNoSchedulesBottom = 60;
constexpr int kTextRightMargin = 4;
constexpr int kMeasureMargin = 9;

// Stylus areas, window coordinates.
constexpr int kToolbarTop = 20, kToolbarBottom = 40;  // exclusive both
constexpr int kScheduleTabEnd = 40, kWorkTabEnd = 80, kNewButtonEnd = 120;
constexpr int kPreviousDayFirst = 131, kPreviousDayLast = 149;
constexpr int kNextDayFirst = 171, kNextDayLast = 189;

constexpr int kDaysInWeek = 7;

int Digit(int value, int position, int count) {
  int v = value < 0 ? -value : value;
  for (int i = count - 1; i > position; --i) v /= 10;
  return v % 10;
}

int DigitCount(int value) {
  int count = 1;
  for (; value >= 10; value /= 10) ++count;
  return count;
}

}  // namespace

std::u16string MoreEntriesText(int count) {
  return Format16(kMoreEntriesFormat, {count});
}

std::filesystem::path HostFolder(const YkChar (&folder)[260]) {
  const YkChar* end = std::find(std::begin(folder), std::end(folder), YkChar(0));
  return std::filesystem::path(std::u16string(std::begin(folder), end));
}

SchedView::SchedView(HostContext* host, int slot, PixelBuffer canvas, ConstPixelBuffer skin,
                     SchedHooks* hooks)
    : host_(host),
      slot_(std::clamp(slot, 0, kMaxWindows - 1)),
      canvas_(canvas),
      canvasWidth_(canvas.width),
      skin_(skin),
      hooks_(hooks),
      shown_{host->todayYear, host->todayMonth, host->todayDay},
      contentWidth_(ContentWidth(host->slots[slot_].width)) {
  FillKeyLabels(&keys_);
}

SchedView::~SchedView() {
  ReleaseKeyLabels(&keys_);
}

// ---- drawing ------------------------------------------------------------------------------

void SchedView::FullRedraw() {
  const PluginSlot& s = slot();
  FillWhite(window(), kContentLeft, kContentTop, s.width - kChromeWidth, s.height - kChromeHeight);
  FillWhite(canvas_, 0, 0, canvas_.width, canvas_.height);
  DrawToolbar();
  if (tab_ == Tab::kWork) {
    hooks_->DrawCanvasText(kWorkTabText, kWorkTextRect, face(), kListFontHeight, kTextBlack);
  } else {
    DrawDay();
  }
  Compose();
}

void SchedView::DrawToolbar() {
  const PixelBuffer parts = PartsBuffer(*host_);
  auto copy = [&](const ToolbarPiece& piece) {
    CopyRop(canvas_, piece.x, 0, piece.width, kToolbarHeight, parts, piece.sheetX, piece.sheetY,
            kSrcCopy);
  };
  const bool schedule = tab_ == Tab::kSchedule;
  copy({0, 40, schedule ? kTabActiveX : kTabInactiveX, kToolbarSheetY});
  copy({40, 40, schedule ? kTabInactiveX : kTabActiveX, kToolbarSheetY});
  copy(kNewButton);
  for (const auto& piece : kDayButtons) copy(piece);
  const CellRect labels = CellOf(SkinCell::kToolbarLabels);
  Blend(canvas_, 0, 0, labels.width, labels.height, skin_, labels.x, labels.y, kBlendMultiply);
}

void SchedView::PutGlyph(SkinCell cell, int x, int y) {
  const CellRect c = CellOf(cell);
  CopyRop(canvas_, x, y, c.width, c.height, skin_, c.x, c.y, kSrcCopy);
}

void SchedView::DrawDay() {
  contentWidth_ = ContentWidth(slot().width);
  contentHeight_ = kInitialContentHeight;
  const int weekday = WeekdayOf(shown_.year, shown_.month, shown_.day);
  DrawDateHeader(weekday);
  DrawHoliday(weekday);

  entries_ = CollectAllDaySchedules(dataFolder(), shown_.year, shown_.month, shown_.day, weekday,
                                    &host_->schedules);
  // Entries deleted since the list was paged on: back to the first ones.
  if (first_ >= int(entries_.size())) first_ = 0;
  textHeights_.clear();
  if (!entries_.empty()) {
    DrawEntries();
  } else {
    hooks_->DrawCanvasText(kNoSchedulesText,
                           {0, kNoSchedulesTop, contentWidth_ - kTextRightMargin,
                            kNoSchedulesBottom - kNoSchedulesTop},
                           face(), kListFontHeight, kNoSchedulesColour);
    contentHeight_ = kEmptyDayContentHeight;
  }
  TintDayColour();
}

void SchedView::DrawDateHeader(int weekday) {
  // Each separator cell reaches two columns into the digit after it: the digits go on top.
  PutGlyph(SkinCell::kDateSeparator, kFirstSeparatorX, kHeaderRow);
  PutGlyph(SkinCell::kDateSeparator, kSecondSeparatorX, kHeaderRow);
  for (int i = 0; i < 4; ++i)
    PutGlyph(LargeDigit(Digit(shown_.year, i, 4)), kYearDigitX[i], kHeaderRow);
  for (int i = 0; i < 2; ++i) {
    PutGlyph(LargeDigit(Digit(shown_.month, i, 2)), kMonthDigitX[i], kHeaderRow);
    PutGlyph(LargeDigit(Digit(shown_.day, i, 2)), kDayDigitX[i], kHeaderRow);
  }
  PutGlyph(SkinCell::kBracketPair, kWeekdayBracketX, kHeaderRow);
  PutGlyph(WeekdayName(weekday), kWeekdayNameX, kHeaderRow);
}

void SchedView::DrawHoliday(int weekday) {
  ReadHolidays(shown_.year, dataFolder(), &host_->holidays, false);
  const HolidayEntry* holiday = FindHoliday(host_->holidays, shown_.month, shown_.day, weekday);
  if (holiday == nullptr) return;
  Rect rect = kHolidayRectFrom;
  rect.width = contentWidth_ - rect.x;
  hooks_->DrawCanvasText(HolidayName(*holiday), rect, face(), kHolidayFontHeight, kTextBlack);
}

int SchedView::listedCount() const {
  return std::clamp(int(entries_.size()) - first_, 0, kListPageSize);
}

// The number of the day's entries after the date, in brackets: all of them, also when the
// list holds only some.
void SchedView::DrawCount(int count) {
  const int digits = std::max(kCountMinDigits, DigitCount(count));
  PutGlyph(SkinCell::kOpeningBracket, kCountOpenX, kHeaderRow);
  for (int i = 0; i < digits; ++i)
    PutGlyph(LargeDigit(Digit(count, i, digits)), kCountFirstDigitX + i * kLargeDigitWidth,
             kHeaderRow);
  PutGlyph(SkinCell::kClosingBracket, kCountFirstDigitX + digits * kLargeDigitWidth, kHeaderRow);
}

void SchedView::DrawEntries() {
  const int total = int(entries_.size());
  const int n = listedCount();
  const bool more = n < total;
  DrawCount(total);

  const int cap = TextHeightCap(n, more);
  const std::u16string fontFace = face();
  for (int k = 0; k < n; ++k) {
    const DayEntry& entry = entries_[size_t(first_ + k)];
    const int measured = hooks_->MeasureTextHeight(entry.displayText, fontFace, kListFontHeight,
                                                   contentWidth_ - kMeasureMargin);
    textHeights_.push_back(std::min(measured, cap));
  }
  const DayLayout layout = LayOutDay(textHeights_, contentWidth_, more);
  for (int k = 0; k < n; ++k) {
    const DayEntry& entry = entries_[size_t(first_ + k)];
    for (const GlyphPlacement& g :
         BuildGlyphLine(entry.record, entry.allDay != 0, layout.glyphRows[k]))
      PutGlyph(g.cell, g.x, g.y);
    hooks_->DrawCanvasText(entry.displayText, layout.textRects[k], fontFace, kListFontHeight,
                           kTextBlack);
  }
  if (more) {
    hooks_->DrawCanvasText(MoreEntriesText(total - n), layout.moreRect, fontFace, kListFontHeight,
                           kTextBlack);
  }
  contentHeight_ = layout.contentHeight;
}

void SchedView::TintDayColour() {
  const int number = DayColourNumber(dataFolder(), shown_.year, shown_.month, shown_.day);
  if (number == 0) return;
  // Multiply the band by a solid source of the colour (0x00BBGGRR into blue-green-red bytes).
  const uint32_t colour = kDayColours[number];
  const int width = std::max(contentWidth_, 0);
  std::vector<uint8_t> solid(size_t(width) * kColourBandHeight * 3);
  for (size_t i = 0; i + 2 < solid.size(); i += 3) {
    solid[i] = uint8_t(colour >> 16);
    solid[i + 1] = uint8_t(colour >> 8);
    solid[i + 2] = uint8_t(colour);
  }
  const ConstPixelBuffer source(solid.data(), width, kColourBandHeight, int(solid.size()));
  Blend(canvas_, 0, kColourBandRow, width, kColourBandHeight, source, 0, 0, kBlendMultiply);
}

void SchedView::Compose() {
  const PluginSlot& s = slot();
  ComposePlan plan;
  if (tab_ == Tab::kWork) {
    scroll_ = ClampScroll(scroll_, kWorkTabContentWidth, kWorkTabContentHeight, s.width, s.height);
    plan = PlanWorkCompose(scroll_, canvasWidth_, s.width, s.height);
  } else {
    scroll_ = ClampScroll(scroll_, contentWidth_, contentHeight_, s.width, s.height);
    plan = PlanDayCompose(scroll_, contentWidth_, contentHeight_, s.width, s.height);
  }
  const PixelBuffer win = window();
  CopyRop(win, plan.fixedDestX, plan.fixedDestY, plan.fixedSource.width, plan.fixedSource.height,
          canvas_, plan.fixedSource.x, plan.fixedSource.y, kSrcCopy);
  if (plan.hasContent)
    CopyRop(win, plan.contentDestX, plan.contentDestY, plan.contentSource.width,
            plan.contentSource.height, canvas_, plan.contentSource.x, plan.contentSource.y,
            kSrcCopy);
}

// ---- notifications ------------------------------------------------------------------------

int SchedView::Notify(int code) {
  switch (code) {
    case kNotifyRedraw:
      FullRedraw();
      return kRequestRepaint;
    case kNotifyDateChanged:
      ShowDate({host_->todayYear, host_->todayMonth, host_->todayDay});
      FullRedraw();
      return kRequestRepaint;
    case kNotifyLiveResize:
      Compose();
      return kRequestNone;
    case kNotifyDataChanged: {
      if (tab_ != Tab::kSchedule || (host_->changeFlags & kRedrawOnChangeFlags) == 0)
        return kRequestNone;
      const YearMonthDay changed{host_->changeYear, host_->changeMonth, host_->changeDay};
      if (changed != shown_ && host_->changeDay != 0) return kRequestNone;
      FullRedraw();
      return kRequestRepaint;
    }
    default:
      return kRequestNone;
  }
}

// ---- stylus -------------------------------------------------------------------------------

int SchedView::PressAt(int x, int y, bool isDouble) {
  downX_ = lastX_ = x;
  downY_ = lastY_ = y;
  dragging_ = false;
  double_ = isDouble;
  return kRequestNone;
}

int SchedView::MouseDown(int x, int y) {
  return PressAt(x, y, false);
}
int SchedView::MouseDoubleDown(int x, int y) {
  return PressAt(x, y, true);
}

int SchedView::MouseMove(int x, int y) {
  if (dragging_) {
    scroll_.x += lastX_ - x;
    scroll_.y += lastY_ - y;
    lastX_ = x;
    lastY_ = y;
    Compose();
    return kRequestRepaint;
  }
  if (std::abs(x - downX_) >= kDragThreshold || std::abs(y - downY_) >= kDragThreshold) {
    dragging_ = true;
    lastX_ = x;
    lastY_ = y;
  }
  return kRequestNone;
}

int SchedView::MouseUp(int x, int y) {
  if (dragging_) {
    scroll_.x += lastX_ - x;
    scroll_.y += lastY_ - y;
    dragging_ = false;
    Compose();
    return kRequestRepaint;
  }
  if (y > kToolbarTop && y < kToolbarBottom) {
    if (x < kScheduleTabEnd) return ShowTab(Tab::kSchedule);
    if (x < kWorkTabEnd) return ShowTab(Tab::kWork);
    if (x < kNewButtonEnd) return NewSchedule();
    if (x >= kPreviousDayFirst && x <= kPreviousDayLast) return StepShownDays(-1);
    if (x >= kNextDayFirst && x <= kNextDayLast) return StepShownDays(1);
    return kRequestNone;
  }
  if (tab_ == Tab::kSchedule) return OpenEntryAt(x, y);
  return kRequestNone;
}

// ---- keys ---------------------------------------------------------------------------------

int SchedView::KeyDown(int key) {
  switch (FindKeyAction(keys_, key, kKeyPreviousDay, kKeyNextMonth)) {
    case kKeyPreviousDay:
      return StepShownDays(-1);
    case kKeyNextDay:
      return StepShownDays(1);
    case kKeyPreviousWeek:
      return StepShownDays(-kDaysInWeek);
    case kKeyNextWeek:
      return StepShownDays(kDaysInWeek);
    case kKeyPreviousMonth:
      return StepShownMonth(false);
    case kKeyNextMonth:
      return StepShownMonth(true);
    default:
      return kRequestNone;
  }
}

int SchedView::KeyUp(int key) {
  switch (FindKeyAction(keys_, key, kKeyScheduleTab, kKeySwitchTab)) {
    case kKeyScheduleTab:
      return ShowTab(Tab::kSchedule);
    case kKeyWorkTab:
      return ShowTab(Tab::kWork);
    case kKeyNewSchedule:
      return tab_ == Tab::kSchedule ? NewSchedule() : kRequestNone;
    case kKeySwitchTab:
      return ShowTab(tab_ == Tab::kWork ? Tab::kSchedule : Tab::kWork);
    default:
      return kRequestNone;
  }
}

// ---- actions ------------------------------------------------------------------------------

int SchedView::ShowTab(Tab tab) {
  tab_ = tab;
  FullRedraw();
  return kRequestRepaint;
}

void SchedView::ShowDate(YearMonthDay date) {
  // Another day's list starts with its first entries.
  if (date != shown_) first_ = 0;
  shown_ = date;
}

int SchedView::StepShownDays(int days) {
  ShowDate(StepDays(shown_, days));
  // Written even when a bound kept the date: every window then redraws the same day.
  host_->todayYear = shown_.year;
  host_->todayMonth = shown_.month;
  host_->todayDay = shown_.day;
  host_->dateChangeMark = 0;
  return kRequestBroadcastDate;
}

int SchedView::StepShownMonth(bool forward) {
  const auto next = forward ? NextMonth(shown_) : PreviousMonth(shown_);
  if (!next) return kRequestNone;
  ShowDate(*next);
  // Going back shows the right end of the content (the compose clamps it), forward the left.
  scroll_.x = forward ? 0 : canvasWidth_;
  FullRedraw();
  return kRequestRepaint;
}

int SchedView::NewSchedule() {
  if (!hooks_->EditNewSchedule(host_->todayYear, host_->todayMonth, host_->todayDay))
    return kRequestNone;
  return ReportScheduleChange();
}

int SchedView::OpenEntryAt(int x, int y) {
  if (!double_ || entries_.empty()) return kRequestNone;
  const int listed = listedCount();
  std::vector<int> rows = textHeights_;
  const bool more = listed < int(entries_.size());
  if (more) rows.push_back(0);  // the line of the entries not listed
  const int k = EntryAt(rows, x, y, scroll_.y);
  if (more && k == listed) return ListNextEntries();
  if (k >= 0 && k < listed && hooks_->EditSchedule(entries_[size_t(first_ + k)]))
    return ReportScheduleChange();
  double_ = false;
  return kRequestNone;
}

int SchedView::ListNextEntries() {
  first_ += kListPageSize;
  if (first_ >= int(entries_.size())) first_ = 0;
  scroll_.y = 0;
  double_ = false;
  FullRedraw();
  return kRequestRepaint;
}

int SchedView::ReportScheduleChange() {
  host_->changeFlags = kChangeSchedules;
  host_->changeYear = host_->changeMonth = host_->changeDay = host_->changeExtra = 0;
  return kRequestBroadcastData;
}

}  // namespace yk::sched
