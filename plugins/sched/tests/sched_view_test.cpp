#include "plugins/sched/sched_view.h"

#include <gtest/gtest.h>

#include <memory>

#include "plugins/sched/day_colour.h"
#include "plugins/sched/sched_keys.h"
#include "plugins/sched/tests/sched_test_host.h"

namespace yk::sched {
namespace {

using testing::Line;
using testing::PixelAt;
using testing::RecordingHooks;
using testing::TestHost;

constexpr uint32_t kWhite = 0xFFFFFF;

struct Fixture {
  explicit Fixture(int windowWidth = 244, int windowHeight = 200)
      : host(320, 240, windowWidth, windowHeight) {}
  SchedView& view() {
    if (!view_)
      view_ = std::make_unique<SchedView>(host.ctx(), 0, host.canvas(), host.skin(), &hooks);
    return *view_;
  }
  // Day file of 2004/5/7 with `count` timed records.
  void WriteEntries(int count) {
    std::vector<std::u16string> lines;
    for (int i = 0; i < count; ++i)
      lines.push_back(
          Line(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"entry" + std::u16string(1, u'A' + i)));
    host.WriteDataFile("2004/5/7/sched.txt", lines);
  }
  const testing::DrawnText* LastDrawn(std::u16string_view text) const {
    for (auto it = hooks.drawn.rbegin(); it != hooks.drawn.rend(); ++it)
      if (it->text == text) return &*it;
    return nullptr;
  }

  TestHost host;
  RecordingHooks hooks;
  std::unique_ptr<SchedView> view_;
};

// Each large digit cell of the skin painted in its own grey, so that the header can be read
// back from the canvas.
uint32_t DigitShade(int digit) {
  const uint32_t grey = uint32_t(20 + 20 * digit);
  return grey << 16 | grey << 8 | grey;
}
void ShadeLargeDigits(const PixelBuffer& skin) {
  for (int digit = 0; digit < 10; ++digit) {
    for (int y = 60; y < 69; ++y) {
      for (int x = digit * 5; x < digit * 5 + 5; ++x) {
        uint8_t* p = skin.bits + (size_t(skin.height - 1 - y) * size_t(skin.width) + size_t(x)) * 3;
        p[0] = p[1] = p[2] = uint8_t(DigitShade(digit));
      }
    }
  }
}

TEST(SchedView, EmptyDayShowsTheGreyNoScheduleText) {
  Fixture f;
  EXPECT_EQ(f.view().Notify(kNotifyRedraw), kRequestRepaint);
  const auto* drawn = f.LastDrawn(kNoSchedulesText);
  ASSERT_NE(drawn, nullptr);
  EXPECT_EQ(drawn->clip, (Rect{0, 43, 236, 17}));
  EXPECT_EQ(drawn->colour, kNoSchedulesColour);
  EXPECT_EQ(drawn->fontHeight, 12);
  EXPECT_EQ(f.view().contentHeight(), 60);
  // No vertical scrolling on an empty day.
  f.view().MouseDown(100, 150);
  f.view().MouseMove(100, 100);
  f.view().MouseMove(100, 50);
  EXPECT_EQ(f.view().scroll().y, 0);
}

TEST(SchedView, TwentyEntriesAreEachCutToTwentyPixels) {
  Fixture f;
  f.WriteEntries(20);
  f.hooks.measuredHeight = 50;
  f.view().Notify(kNotifyRedraw);
  ASSERT_EQ(f.view().listedCount(), 20);
  EXPECT_EQ(f.view().textHeights(), std::vector<int>(20, 20));
  int texts = 0;
  for (const auto& d : f.hooks.drawn)
    if (d.text.starts_with(u"entry")) {
      EXPECT_EQ(d.clip.height, 20);
      ++texts;
    }
  EXPECT_EQ(texts, 20);
  EXPECT_EQ(f.view().contentHeight(), 10 + 20 * 40 + 40);
}

// Drags the list so that the window row `content` (counted as if nothing were scrolled)
// comes into sight and double-taps it; answers what the view answered to the tap.
int DoubleTapListRow(SchedView& view, int content) {
  const int delta = std::max(0, content - 100) - view.scroll().y;
  view.MouseDown(100, 1000);
  view.MouseMove(100, 991);
  view.MouseMove(100, 991 - delta);
  view.MouseUp(100, 991 - delta);
  view.MouseDoubleDown(50, content - view.scroll().y);
  return view.MouseUp(50, content - view.scroll().y);
}

// A day with more entries than a list holds: twenty at a time, then "ほか5件", whose double
// tap lists the others; every entry opens, and the count says 25 all along.
TEST(SchedView, EveryEntryOfABusyDayCanBeOpened) {
  Fixture f;
  ShadeLargeDigits(f.host.mutableSkin());
  f.WriteEntries(25);
  f.hooks.measuredHeight = 14;  // 20 entries of 34 rows, the list's own line below them
  f.view().Notify(kNotifyRedraw);
  ASSERT_EQ(f.view().dayEntries().size(), 25u);
  EXPECT_EQ(f.view().listedCount(), 20);
  EXPECT_EQ(PixelAt(f.host.canvas(), 76, 24), DigitShade(2)) << "the count is the day's total";
  EXPECT_EQ(PixelAt(f.host.canvas(), 81, 24), DigitShade(5));
  const auto* more = f.LastDrawn(u"ほか5件");
  ASSERT_NE(more, nullptr);
  EXPECT_EQ(more->clip, (Rect{5, 10 + 20 * 34 + 30, 231, 20}));
  EXPECT_EQ(f.view().contentHeight(), 10 + 20 * 34 + 20 + 40);

  for (int k = 0; k < 20; ++k) DoubleTapListRow(f.view(), 60 + k * 34 + 10);
  // The list is scrolled to its end now: the line is 10 rows above the window's bottom.
  const int lineRow = 60 + 20 * 34 + 10 - f.view().scroll().y;
  f.view().MouseDown(50, lineRow);
  EXPECT_EQ(f.view().MouseUp(50, lineRow), kRequestNone) << "a single tap on the line";
  EXPECT_EQ(f.view().firstListed(), 0);
  EXPECT_EQ(DoubleTapListRow(f.view(), 60 + 20 * 34 + 10), kRequestRepaint);
  EXPECT_EQ(f.view().firstListed(), 20);
  EXPECT_EQ(f.view().listedCount(), 5);
  EXPECT_EQ(f.view().scroll().y, 0);
  EXPECT_NE(f.LastDrawn(u"ほか20件"), nullptr);
  for (int k = 0; k < 5; ++k) DoubleTapListRow(f.view(), 60 + k * 34 + 10);

  std::vector<std::u16string> expected;
  for (int i = 0; i < 25; ++i) expected.push_back(u"entry" + std::u16string(1, u'A' + i));
  EXPECT_EQ(f.hooks.openedTexts, expected);

  // From the last entries the line leads back to the first; another day starts at its first.
  EXPECT_EQ(DoubleTapListRow(f.view(), 60 + 5 * 34 + 10), kRequestRepaint);
  EXPECT_EQ(f.view().firstListed(), 0);
  DoubleTapListRow(f.view(), 60 + 20 * 34 + 10);
  ASSERT_EQ(f.view().firstListed(), 20);
  f.host.SetToday(2004, 5, 8);
  f.view().Notify(kNotifyDateChanged);
  EXPECT_EQ(f.view().firstListed(), 0);
}

TEST(SchedView, CountsOfAHundredAndMoreKeepTheirDigits) {
  Fixture f;
  ShadeLargeDigits(f.host.mutableSkin());
  std::vector<std::u16string> lines;
  for (int i = 0; i < 50; ++i) lines.push_back(Line(2004, 5, 7, 9, 0, 2004, 5, 7, 10, 0, -1, u"d"));
  f.host.WriteDataFile("2004/5/7/sched.txt", lines);
  lines.clear();
  for (int i = 0; i < 73; ++i)
    lines.push_back(Line(2004, 5, 1, 9, 0, 2004, 5, 20, 10, 0, -1, u"m"));
  f.host.WriteDataFile("2004/5/sched.txt", lines);
  f.view().Notify(kNotifyRedraw);
  ASSERT_EQ(f.view().dayEntries().size(), 123u);
  EXPECT_EQ(PixelAt(f.host.canvas(), 76, 24), DigitShade(1));
  EXPECT_EQ(PixelAt(f.host.canvas(), 81, 24), DigitShade(2));
  EXPECT_EQ(PixelAt(f.host.canvas(), 86, 24), DigitShade(3));
  EXPECT_NE(f.LastDrawn(u"ほか103件"), nullptr);
  EXPECT_LE(f.view().contentHeight(), 10 + kCanvasHeight);
}

TEST(SchedView, ShortTextsKeepTheirMeasuredHeight) {
  Fixture f;
  f.WriteEntries(2);
  f.hooks.measuredHeight = 14;
  f.view().Notify(kNotifyRedraw);
  EXPECT_EQ(f.view().textHeights(), (std::vector<int>{14, 14}));
  EXPECT_EQ(f.view().contentHeight(), 10 + 2 * 34 + 40);
}

struct KeyFixture : Fixture {
  KeyFixture() {
    for (int i = 0; i < kKeyActionCount; ++i) view().keys()->entries[i].key = 100 + i;
  }
};

// The window reaches every year the edit dialog stores, 1975..2036; at either end a day
// step keeps the date (and still tells the other windows) and a month step does nothing.
TEST(SchedView, DayAndMonthBoundsOfTheYearsStored) {
  struct Case {
    const char* rule;
    YearMonthDay from;
    int dayAction, monthAction;
  } cases[] = {
      {"1 January 1975", {1975, 1, 1}, kKeyPreviousDay, kKeyPreviousMonth},
      {"31 December 2036", {2036, 12, 31}, kKeyNextDay, kKeyNextMonth},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    KeyFixture f;
    f.host.SetToday(c.from.year, c.from.month, c.from.day);
    f.view().Notify(kNotifyDateChanged);
    f.host.ctx()->dateChangeMark = 7;
    EXPECT_EQ(f.view().KeyDown(100 + c.dayAction), kRequestBroadcastDate);
    EXPECT_EQ(f.view().shown(), c.from);
    const HostContext& ctx = *f.host.ctx();
    EXPECT_EQ((YearMonthDay{ctx.todayYear, ctx.todayMonth, ctx.todayDay}), c.from);
    EXPECT_EQ(ctx.dateChangeMark, 0);
    EXPECT_EQ(f.view().KeyDown(100 + c.monthAction), kRequestNone);
    EXPECT_EQ(f.view().shown(), c.from);
  }
}

// A schedule of 2036 (or of 1975) can be reached by stepping there.
TEST(SchedView, SchedulesAtBothEndsCanBeReached) {
  struct Case {
    YearMonthDay from;
    int action;
    YearMonthDay reached;
    const char* file;
  } cases[] = {
      {{2035, 12, 31}, kKeyNextDay, {2036, 1, 1}, "2036/1/1/sched.txt"},
      {{1976, 1, 1}, kKeyPreviousDay, {1975, 12, 31}, "1975/12/31/sched.txt"},
      {{2036, 11, 30}, kKeyNextMonth, {2036, 12, 30}, "2036/12/30/sched.txt"},
  };
  for (const auto& c : cases) {
    KeyFixture f;
    const YearMonthDay d = c.reached;
    f.host.WriteDataFile(
        c.file, {Line(d.year, d.month, d.day, 0, 0, d.year, d.month, d.day, 0, 0, -1, u"far")});
    f.host.SetToday(c.from.year, c.from.month, c.from.day);
    f.view().Notify(kNotifyDateChanged);
    const int answer = f.view().KeyDown(100 + c.action);
    if (answer == kRequestBroadcastDate) f.view().Notify(kNotifyDateChanged);
    EXPECT_EQ(f.view().shown(), c.reached) << c.file;
    EXPECT_EQ(f.view().listedCount(), 1) << c.file;
  }
}

TEST(SchedView, DayStepsWriteTheSharedDate) {
  KeyFixture f;
  struct Case {
    int action;
    YearMonthDay expected;
  } cases[] = {{kKeyPreviousDay, {2004, 5, 6}},
               {kKeyNextDay, {2004, 5, 7}},
               {kKeyNextWeek, {2004, 5, 14}},
               {kKeyPreviousWeek, {2004, 5, 7}}};
  for (const auto& c : cases) {
    EXPECT_EQ(f.view().KeyDown(100 + c.action), kRequestBroadcastDate);
    const HostContext& ctx = *f.host.ctx();
    EXPECT_EQ((YearMonthDay{ctx.todayYear, ctx.todayMonth, ctx.todayDay}), c.expected) << c.action;
  }
}

// Month paging cuts the day to the month's length: the header always names a real day,
// and the shared date, which month steps leave alone, stays valid.
TEST(SchedView, MonthPagingFrom31DecemberShowsRealDays) {
  KeyFixture f;
  ShadeLargeDigits(f.host.mutableSkin());
  f.host.SetToday(2026, 12, 31);
  f.view().Notify(kNotifyDateChanged);
  f.host.WriteDataFile("2027/2/28/sched.txt",
                       {Line(2027, 2, 28, 0, 0, 2027, 2, 28, 0, 0, -1, u"end of February")});
  EXPECT_EQ(f.view().KeyDown(100 + kKeyNextMonth), kRequestRepaint);
  EXPECT_EQ(f.view().shown(), (YearMonthDay{2027, 1, 31}));
  f.hooks.drawn.clear();
  EXPECT_EQ(f.view().KeyDown(100 + kKeyNextMonth), kRequestRepaint);
  EXPECT_EQ(f.view().shown(), (YearMonthDay{2027, 2, 28}));
  EXPECT_EQ(f.view().listedCount(), 1);
  EXPECT_NE(f.LastDrawn(u"end of February"), nullptr);
  const HostContext& ctx = *f.host.ctx();
  EXPECT_EQ((YearMonthDay{ctx.todayYear, ctx.todayMonth, ctx.todayDay}),
            (YearMonthDay{2026, 12, 31}));
  // The header's day digits read 28.
  EXPECT_EQ(PixelAt(f.host.canvas(), 38, 24), DigitShade(2));
  EXPECT_EQ(PixelAt(f.host.canvas(), 43, 24), DigitShade(8));
  // A day step from there goes on from the 28th.
  EXPECT_EQ(f.view().KeyDown(100 + kKeyNextDay), kRequestBroadcastDate);
  EXPECT_EQ((YearMonthDay{ctx.todayYear, ctx.todayMonth, ctx.todayDay}),
            (YearMonthDay{2027, 3, 1}));
}

TEST(SchedView, MonthStepsMoveTheSideScrollToTheirEnd) {
  KeyFixture f;
  f.host.ctx()->slots[0].width = 150;  // content 190 wide: 44 pixels to scroll sideways
  f.view().Notify(kNotifyRedraw);
  EXPECT_EQ(f.view().KeyDown(100 + kKeyPreviousMonth), kRequestRepaint);
  EXPECT_EQ(f.view().scroll().x, 44);
  EXPECT_EQ(f.view().KeyDown(100 + kKeyNextMonth), kRequestRepaint);
  EXPECT_EQ(f.view().scroll().x, 0);
  EXPECT_EQ(f.view().shown(), (YearMonthDay{2004, 5, 7}));
}

TEST(SchedView, KeysActOnlyOnTheirOwnEventAndNeverForKeyZero) {
  KeyFixture f;
  f.view().Notify(kNotifyRedraw);
  EXPECT_EQ(f.view().KeyDown(0), kRequestNone);
  EXPECT_EQ(f.view().KeyUp(100 + kKeyPreviousDay), kRequestNone);  // acts on key down only
  EXPECT_EQ(f.view().KeyDown(100 + kKeySwitchTab), kRequestNone);  // acts on key up only
  EXPECT_EQ(f.view().KeyUp(100 + kKeySwitchTab), kRequestRepaint);
  EXPECT_EQ(f.view().tab(), Tab::kWork);
  EXPECT_EQ(f.view().KeyUp(100 + kKeyNewSchedule), kRequestNone);  // not in the work tab
  EXPECT_EQ(f.hooks.newDialogs, 0);
  EXPECT_EQ(f.view().KeyUp(100 + kKeySwitchTab), kRequestRepaint);
  EXPECT_EQ(f.view().tab(), Tab::kSchedule);
  EXPECT_EQ(f.view().KeyUp(100 + kKeyNewSchedule), kRequestBroadcastData);
  EXPECT_EQ(f.hooks.newDialogs, 1);
}

TEST(SchedView, DragStartsAtNinePixels) {
  struct Case {
    int dx, dy;
    bool drags;
  } cases[] = {{8, 0, false}, {9, 0, true}, {0, 8, false}, {0, -9, true}, {8, 8, false}};
  for (const auto& c : cases) {
    Fixture f;
    f.view().Notify(kNotifyRedraw);
    f.view().MouseDown(100, 100);
    EXPECT_EQ(f.view().MouseMove(100 + c.dx, 100 + c.dy), kRequestNone);
    EXPECT_EQ(f.view().dragging(), c.drags) << c.dx << "," << c.dy;
  }
}

TEST(SchedView, DraggingScrollsTheList) {
  Fixture f(244, 100);
  f.WriteEntries(10);
  f.view().Notify(kNotifyRedraw);  // 10 entries of 14: content height 390
  f.view().MouseDown(100, 80);
  f.view().MouseMove(100, 70);  // starts the drag; no scrolling yet
  EXPECT_EQ(f.view().MouseMove(100, 60), kRequestRepaint);
  EXPECT_EQ(f.view().scroll().y, 10);
  EXPECT_EQ(f.view().MouseUp(100, 55), kRequestRepaint);
  EXPECT_EQ(f.view().scroll().y, 15);
  f.view().MouseDown(100, 80);
  f.view().MouseMove(100, 100);
  f.view().MouseUp(100, 200);  // pulled far down: stops at the top
  EXPECT_EQ(f.view().scroll().y, 0);
}

TEST(SchedView, OnlyADoubleTapOpensTheEntryUnderIt) {
  Fixture f;
  f.WriteEntries(2);
  f.view().Notify(kNotifyRedraw);
  f.view().MouseDown(50, 100);
  EXPECT_EQ(f.view().MouseUp(50, 100), kRequestNone);
  EXPECT_TRUE(f.hooks.openedTexts.empty());

  HostContext& ctx = *f.host.ctx();
  ctx.changeYear = ctx.changeMonth = ctx.changeDay = ctx.changeExtra = 9;
  f.view().MouseDoubleDown(50, 100);  // second entry: 94 <= y < 128
  EXPECT_EQ(f.view().MouseUp(50, 100), kRequestBroadcastData);
  EXPECT_EQ(f.hooks.openedTexts, (std::vector<std::u16string>{u"entryB"}));
  EXPECT_EQ(ctx.changeFlags, kChangeSchedules);
  EXPECT_EQ(ctx.changeYear + ctx.changeMonth + ctx.changeDay + ctx.changeExtra, 0);

  f.hooks.dialogAnswer = false;
  f.view().MouseDoubleDown(50, 70);
  EXPECT_EQ(f.view().MouseUp(50, 70), kRequestNone);
  EXPECT_EQ(f.hooks.openedTexts.back(), u"entryA");
  f.view().MouseDoubleDown(50, 150);  // below the list
  EXPECT_EQ(f.view().MouseUp(50, 150), kRequestNone);
  EXPECT_EQ(f.hooks.openedTexts.size(), 2u);
}

TEST(SchedView, ToolbarTaps) {
  struct Case {
    const char* rule;
    int x, y, request;
    Tab tab;
    int newDialogs;
    int day;
  } cases[] = {
      {"work tab", 50, 30, kRequestRepaint, Tab::kWork, 0, 7},
      {"new schedule", 100, 30, kRequestBroadcastData, Tab::kSchedule, 1, 7},
      {"previous day", 140, 30, kRequestBroadcastDate, Tab::kSchedule, 0, 6},
      {"next day", 171, 30, kRequestBroadcastDate, Tab::kSchedule, 0, 8},
      {"between the buttons", 125, 30, kRequestNone, Tab::kSchedule, 0, 7},
      {"toolbar row is exclusive", 50, 20, kRequestNone, Tab::kSchedule, 0, 7},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.view().Notify(kNotifyRedraw);
    f.view().MouseDown(c.x, c.y);
    EXPECT_EQ(f.view().MouseUp(c.x, c.y), c.request) << c.rule;
    EXPECT_EQ(f.view().tab(), c.tab) << c.rule;
    EXPECT_EQ(f.hooks.newDialogs, c.newDialogs) << c.rule;
    EXPECT_EQ(f.host.ctx()->todayDay, c.day) << c.rule;
  }
}

TEST(SchedView, WorkTabShowsItsText) {
  Fixture f;
  f.view().MouseDown(50, 30);
  f.view().MouseUp(50, 30);
  const auto* drawn = f.LastDrawn(kWorkTabText);
  ASSERT_NE(drawn, nullptr);
  EXPECT_EQ(drawn->clip, (Rect{4, 25, 236, 45}));
}

TEST(SchedView, DayColourTintsTheHeaderBand) {
  struct Case {
    int number;
    uint32_t expected;  // 0xRRGGBB
  } cases[] = {{0, kWhite}, {3, 0xFBFCA6}, {9, 0xD4D4D4}, {12, kWhite}, {-1, kWhite}};
  for (const auto& c : cases) {
    Fixture f;
    std::vector<int32_t> numbers(31, 0);
    numbers[6] = c.number;  // day 7
    f.host.WriteDayColours(2004, 5, numbers);
    f.view().Notify(kNotifyRedraw);
    EXPECT_EQ(PixelAt(f.host.canvas(), 150, 25), c.expected) << c.number;
    EXPECT_EQ(PixelAt(f.host.canvas(), 150, 30), kWhite) << "below the band";
    EXPECT_EQ(PixelAt(f.host.window(), 152, 45), c.expected) << "composed into the window";
  }
}

TEST(SchedView, HeaderDigitsStayWholeNextToTheSeparators) {
  Fixture f;
  FillBlack(f.host.mutableSkin(), 0, 60, 50, 9);  // large digits black, separator cell white
  f.view().Notify(kNotifyRedraw);
  const ConstPixelBuffer canvas = f.host.canvas();
  // The first month digit starts at 24 and the first day digit at 37, under the separators'
  // last two columns.
  for (int x : {24, 25, 28, 37, 38, 41}) EXPECT_EQ(PixelAt(canvas, x, 24), 0u) << x;
  for (int x : {21, 23, 34, 36}) EXPECT_EQ(PixelAt(canvas, x, 24), kWhite) << x;
}

TEST(DayColour, ShortOrOddFilesReadAsNoColour) {
  // Day 1 = 5, day 2 = 10 (out of range), day 3 = 0x01000002 (out of range), day 4 cut short.
  const std::vector<uint8_t> bytes = {5, 0, 0, 0, 10, 0, 0, 0, 2, 0, 0, 1, 4, 0, 0};
  const auto colours = ParseDayColours(bytes);
  EXPECT_EQ(colours[0], 5);
  EXPECT_EQ(colours[1], 0);
  EXPECT_EQ(colours[2], 0);
  EXPECT_EQ(colours[3], 0);
  EXPECT_EQ(DayColourNumber("/nonexistent-folder/", 2004, 5, 7), 0);
}

TEST(SchedView, DataChangedRedrawsWhenItConcernsTheShownDay) {
  struct Case {
    const char* rule;
    bool workTab;
    int flags, year, month, day;
    int expected;
  } cases[] = {
      {"any date", false, 1, 0, 0, 0, kRequestRepaint},
      {"holiday bit on the shown date", false, 0x100, 2004, 5, 7, kRequestRepaint},
      {"another date", false, 1, 2004, 5, 8, kRequestNone},
      {"weather icons only", false, 8, 0, 0, 0, kRequestNone},
      {"work tab", true, 1, 0, 0, 0, kRequestNone},
  };
  for (const auto& c : cases) {
    Fixture f;
    if (c.workTab) {
      f.view().MouseDown(50, 30);
      f.view().MouseUp(50, 30);
    }
    f.view().Notify(kNotifyRedraw);
    HostContext& ctx = *f.host.ctx();
    ctx.changeFlags = c.flags;
    ctx.changeYear = c.year, ctx.changeMonth = c.month, ctx.changeDay = c.day;
    const size_t before = f.hooks.drawn.size();
    EXPECT_EQ(f.view().Notify(kNotifyDataChanged), c.expected) << c.rule;
    EXPECT_EQ(f.hooks.drawn.size() > before, c.expected == kRequestRepaint) << c.rule;
  }
}

TEST(SchedView, DataChangedShowsARecordAddedElsewhere) {
  Fixture f;
  f.view().Notify(kNotifyRedraw);
  ASSERT_EQ(f.view().listedCount(), 0);
  ScheduleRecord record{};
  record.startYear = record.endYear = 2004;
  record.startMonth = record.endMonth = 5;
  record.startDay = record.endDay = 7;
  record.period = -1;
  SetRecordText(&record, u"new");
  ASSERT_TRUE(
      AddSchedule(f.host.dataFolder().u16string() + u"/", record, &f.host.ctx()->schedules));
  f.host.ctx()->changeFlags = kChangeSchedules;
  f.host.ctx()->changeDay = 0;
  EXPECT_EQ(f.view().Notify(kNotifyDataChanged), kRequestRepaint);
  EXPECT_EQ(f.view().listedCount(), 1);
}

TEST(SchedView, DrawingStaysInsideTheContentArea) {
  Fixture f(200, 100);
  f.WriteEntries(3);
  const PixelBuffer win = f.host.window();
  FillBlack(win, 0, 0, win.width, win.height);
  f.view().Notify(kNotifyRedraw);
  // The content area (2, 20)..(198, 98) was painted; the chrome and the rest stay black.
  EXPECT_EQ(PixelAt(win, 150, 80), kWhite);
  for (auto [x, y] : {std::pair{1, 50}, {198, 50}, {100, 19}, {100, 98}, {250, 50}, {100, 150}})
    EXPECT_EQ(PixelAt(win, x, y), 0u) << x << "," << y;
}

TEST(SchedView, HostFolderStopsAtTheFieldsEnd) {
  YkChar folder[260];
  std::fill(std::begin(folder), std::end(folder), u'a');  // no terminator at all
  EXPECT_EQ(HostFolder(folder).u16string(), std::u16string(260, u'a'));
  folder[3] = 0;
  EXPECT_EQ(HostFolder(folder).u16string(), u"aaa");
}

}  // namespace
}  // namespace yk::sched
