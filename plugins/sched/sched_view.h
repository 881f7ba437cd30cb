// sched_view.h — the schedule window: its state, drawing, stylus, keys and notifications.
//
// One SchedView per loaded copy of the plugin.  It draws the toolbar, the date header and
// the day list into its own canvas (canvas width x 840) and copies the visible part into
// the window buffer of its slot in the Host context.  It reads the shared current date,
// the holiday table and the schedule cache from the Host context and answers every call
// with a request code:
//   0 nothing, 1 this window was redrawn, 4 the shared date moved, 6 schedules changed.
//
// Text drawing and measuring and the edit dialog live outside this class (they need the
// GUI); they reach it through SchedHooks, which tests replace.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/bitmap_ops.h"
#include "common/date_util.h"
#include "common/plugin_interface.h"
#include "common/schedule_store.h"
#include "plugins/sched/day_layout.h"
#include "plugins/sched/skin_cells.h"

namespace yk::sched {

inline constexpr char16_t kNoSchedulesText[] = u"予定無し";
// The last line of a list that does not hold every entry of the day, with the number of
// entries it leaves out.  A double tap on it lists the next entries (after the last ones,
// the first again).
inline constexpr char16_t kMoreEntriesFormat[] = u"ほか%d件";
std::u16string MoreEntriesText(int count);
inline constexpr char16_t kWorkTabText[] = u"仕事は開発中 (^-^;";
inline constexpr uint32_t kNoSchedulesColour = 0xBBBBBB;
inline constexpr int kListFontHeight = 12;
inline constexpr int kHolidayFontHeight = 8;
inline constexpr int kDragThreshold = 9;  // pixels in x or y before a press becomes a drag
// changeFlags bits after which a schedule window shows its day again: schedules (1), and
// 0x100, which the window honours as a schedule change as well.
inline constexpr int kRedrawOnChangeFlags = kChangeSchedules | 0x100;

// A folder of the Host context (appFolder, dataFolder) as a path; the text ends at its
// first NUL and never reads past the 260 units of the field.
std::filesystem::path HostFolder(const YkChar (&folder)[260]);

class SchedHooks {
 public:
  virtual ~SchedHooks() = default;
  // Height of `text` laid out in a box `width` wide, line breaks honoured, no word wrap.
  virtual int MeasureTextHeight(std::u16string_view text, std::u16string_view face, int fontHeight,
                                int width) = 0;
  // Draws `text` on the canvas, clipped to `clip`, transparent background, no word wrap.
  virtual void DrawCanvasText(std::u16string_view text, Rect clip, std::u16string_view face,
                              int fontHeight, uint32_t colour) = 0;
  // The edit dialog for a new schedule on the given date / for an entry of the list.
  // True when the dialog stored a change (closed with OK).
  virtual bool EditNewSchedule(int year, int month, int day) = 0;
  virtual bool EditSchedule(const DayEntry& entry) = 0;
};

enum class Tab : int { kSchedule = 0, kWork = 1 };

class SchedView {
 public:
  // `canvas` must be CanvasWidth(host->bufferWidth) x 840; `skin` the 160 x 100 picture.
  // Both must outlive the view.  The shown date starts at the shared current date.
  SchedView(HostContext* host, int slot, PixelBuffer canvas, ConstPixelBuffer skin,
            SchedHooks* hooks);
  ~SchedView();
  SchedView(const SchedView&) = delete;
  SchedView& operator=(const SchedView&) = delete;

  int Notify(int code);
  int MouseDown(int x, int y);
  int MouseDoubleDown(int x, int y);
  int MouseMove(int x, int y);
  int MouseUp(int x, int y);
  int KeyDown(int key);
  int KeyUp(int key);
  KeyTable* keys() { return &keys_; }

  void FullRedraw();
  void Compose();

  // State, for the plugin's own bookkeeping and for tests.
  YearMonthDay shown() const { return shown_; }
  Tab tab() const { return tab_; }
  Scroll scroll() const { return scroll_; }
  int contentWidth() const { return contentWidth_; }
  int contentHeight() const { return contentHeight_; }
  // Every entry of the shown day in display order; the list shows listedCount() of them
  // from firstListed().
  const std::vector<DayEntry>& dayEntries() const { return entries_; }
  int firstListed() const { return first_; }
  int listedCount() const;
  const std::vector<int>& textHeights() const { return textHeights_; }
  bool dragging() const { return dragging_; }

 private:
  const PluginSlot& slot() const { return host_->slots[slot_]; }
  PixelBuffer window() const { return SlotBuffer(*host_, slot_); }
  std::u16string face() const { return host_->fontName.get(); }
  std::filesystem::path dataFolder() const { return HostFolder(host_->dataFolder); }

  void DrawToolbar();
  void DrawDay();
  void DrawDateHeader(int weekday);
  void DrawHoliday(int weekday);
  void DrawEntries();
  void DrawCount(int count);
  void TintDayColour();
  void PutGlyph(SkinCell cell, int x, int y);

  int PressAt(int x, int y, bool isDouble);
  int ShowTab(Tab tab);
  void ShowDate(YearMonthDay date);
  int StepShownDays(int days);
  int StepShownMonth(bool forward);
  int NewSchedule();
  int OpenEntryAt(int x, int y);
  int ListNextEntries();
  int ReportScheduleChange();

  HostContext* host_;
  int slot_;
  PixelBuffer canvas_;
  int canvasWidth_;
  ConstPixelBuffer skin_;
  SchedHooks* hooks_;

  YearMonthDay shown_;
  Tab tab_ = Tab::kSchedule;
  Scroll scroll_;
  int downX_ = 0, downY_ = 0;  // where the stylus went down
  int lastX_ = 0, lastY_ = 0;  // the point last taken into account while dragging
  bool dragging_ = false;
  bool double_ = false;
  int contentWidth_;
  int contentHeight_ = kInitialContentHeight;
  std::vector<DayEntry> entries_;  // the whole day, display order
  int first_ = 0;                  // index of the first listed entry
  std::vector<int> textHeights_;   // one per listed entry, display order
  KeyTable keys_{};
};

}  // namespace yk::sched
