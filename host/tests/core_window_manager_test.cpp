// Window placement, grid moves and resizes, hit testing and stylus routing, focus mode,
// closing, restacking, host keys and the saved layout.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include <functional>

#include "host/tests/core_test_support.h"
#include "host/tests/plugins/call_log.h"
#include "platform/clock.h"
#include "platform/testing/message_recorder.h"
#include "platform/testing/temp_folder.h"

namespace yk {
namespace {

using testing::HostFixture;
using testing::Presented;
using testing::TakeCalls;
using testing::TestPlugin;
using Calls = std::vector<std::string>;
using Rect = std::array<int, 4>;  // left, top, right, bottom

Rect RectOf(const PluginSlot& s) {
  return {s.left, s.top, s.right, s.bottom};
}

class WindowManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TakeCalls();
    testing::ClearAnswers();
  }
  WindowManager& wm() { return *host.windows; }
  HostContext& ctx() { return *host.ctx; }
  void SetMode(bool focus) {
    WindowSettings s = wm().settings();
    s.focusMode = focus;
    wm().SetSettings(s);
  }

  HostFixture host;  // 320 x 240, grid 5
  platform::testing::MessageRecorder messages;
};

TEST_F(WindowManagerTest, NewWindowsCascadeAndTheSixthIsRefused) {
  const Rect expected[] = {{0, 0, 240, 100},
                           {10, 10, 250, 110},
                           {20, 20, 260, 120},
                           {30, 30, 270, 130},
                           {40, 40, 280, 140}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(wm().NewWindow(), i);
    EXPECT_EQ(RectOf(host.SlotAt(i)), expected[i]);
    EXPECT_EQ(ctx().active, i);
    EXPECT_EQ(host.SlotAt(i).name.get(), u"Yomitoki");
  }
  EXPECT_TRUE(messages.texts().empty());
  EXPECT_EQ(wm().NewWindow(), -1);
  EXPECT_EQ(messages.texts(),
            std::vector<std::u16string>{u"一度に開く事の出来るウィンドウは5個までです"});
  EXPECT_EQ(ctx().windowCount, 5);
}

TEST_F(WindowManagerTest, NewWindowOnANarrowViewStaysReachable) {
  HostFixture narrow(200, 120);
  EXPECT_EQ(narrow.windows->NewWindow(), 0);
  EXPECT_EQ(RectOf(narrow.SlotAt(0)), (Rect{0, 0, 200, 70}));
  EXPECT_EQ(narrow.windows->NewWindow(), 1);
  EXPECT_EQ(RectOf(narrow.SlotAt(1)), (Rect{0, 10, 200, 80}));
}

TEST_F(WindowManagerTest, NewWindowTakesTheFirstFreeSlot) {
  wm().NewWindow();
  wm().NewWindow();
  wm().NewWindow();
  wm().CloseWindow(0);  // frees slot 0; positions hold slots 1, 2
  EXPECT_EQ(host.Order(), (std::vector<int>{1, 2}));
  EXPECT_EQ(wm().NewWindow(), 2);
  EXPECT_EQ(host.Order(), (std::vector<int>{1, 2, 0}));
}

TEST_F(WindowManagerTest, MovesFollowTheGridAndStayInsideTheGridArea) {
  // gridWidth 320, gridHeight 240; the window is 100 x 60 at (50, 50).
  struct Case {
    const char* rule;
    int fromX, fromY, toX, toY;
    bool moved;
    int left, top;
  } cases[] = {
      {"inside one grid cell", 12, 60, 14, 60, false, 50, 50},
      {"crossing a grid line", 14, 60, 15, 60, true, 55, 50},
      {"two lines down and left", 60, 60, 50, 71, true, 40, 60},
      {"truncation toward zero around 0", 3, 60, -3, 60, false, 50, 50},
      {"negative crossing", 3, 60, -6, 60, true, 45, 50},
      {"stops at the left and top edges", 300, 200, 0, 0, true, 0, 0},
      {"stops with the right edge on the grid width", 0, 0, 400, 400, true, 220, 180},
  };
  wm().NewWindow();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    PluginSlot& s = host.SlotAt(0);
    s.left = 50, s.top = 50, s.width = 100, s.height = 60, s.right = 150, s.bottom = 110;
    EXPECT_EQ(wm().MoveWindow(0, c.fromX, c.fromY, c.toX, c.toY), c.moved);
    EXPECT_EQ(RectOf(s), (Rect{c.left, c.top, c.left + 100, c.top + 60}));
  }
}

TEST_F(WindowManagerTest, MoveRecomposesTheUnionOfOldAndNewRectangles) {
  wm().NewWindow();
  host.view.presents.clear();
  ASSERT_TRUE(wm().MoveWindow(0, 0, 0, 20, 10));
  EXPECT_EQ(host.view.presents, (std::vector<Presented>{{0, 0, 260, 110}}));
}

TEST_F(WindowManagerTest, ResizeKeepsTheFloorAndTheGridArea) {
  struct Case {
    const char* rule;
    int fromX, fromY, toX, toY;
    int width, height;
  } cases[] = {
      {"shrinking stops at 90 x 50", 200, 100, 0, 0, 90, 50},
      {"grid steps", 100, 60, 111, 56, 110, 55},
      {"growing stops at the grid area", 100, 60, 1000, 1000, 300, 220},
  };
  wm().NewWindow();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    PluginSlot& s = host.SlotAt(0);
    s.left = 20, s.top = 20, s.width = 100, s.height = 60, s.right = 120, s.bottom = 80;
    wm().ResizeWindow(0, c.fromX, c.fromY, c.toX, c.toY, false);
    EXPECT_EQ(s.width, c.width);
    EXPECT_EQ(s.height, c.height);
    EXPECT_EQ(s.right, 20 + c.width);
    EXPECT_EQ(s.bottom, 20 + c.height);
  }
}

TEST_F(WindowManagerTest, ResizeAsksForLiveOrFullRepaint) {
  wm().NewWindow();
  ASSERT_TRUE(host.plugins->LoadPlugin(0, TestPlugin("rec_a.plg"), false));
  TakeCalls();
  wm().ResizeWindow(0, 100, 60, 110, 60, true);
  wm().ResizeWindow(0, 110, 60, 120, 60, false);
  EXPECT_EQ(TakeCalls(), (Calls{"A:notify 5", "A:notify 1"}));
}

TEST_F(WindowManagerTest, PressesSortIntoButtonsTitleContentAndCorner) {
  // One window at (20, 30), 240 x 100: right 260, bottom 130.
  struct Case {
    int x, y;
    int mode;
    int pressed;
    Calls calls;
  } cases[] = {
      {20, 30, kPressPluginButton, 0, {}},
      {40, 50, kPressPluginButton, 0, {}},  // 20 below the top is still title
      {41, 50, kPressTitleBar, 0, {}},
      {219, 40, kPressTitleBar, 0, {}},
      {220, 40, kPressMaximizeButton, 0, {}},
      {239, 40, kPressMaximizeButton, 0, {}},
      {240, 40, kPressCloseButton, 0, {}},
      {260, 40, kPressCloseButton, 0, {}},  // the right edge is inside
      {25, 51, kPressContent, 0, {"A:mouse_down 5 21"}},
      {249, 129, kPressContent, 0, {"A:mouse_down 229 99"}},
      {250, 120, kPressResizeCorner, 0, {}},
      {260, 130, kPressResizeCorner, 0, {}},
      {261, 40, kPressNone, -1, {}},
      {100, 131, kPressNone, -1, {}},
  };
  host.OpenWindows({{20, 30, 240, 100}});
  ASSERT_TRUE(host.plugins->LoadPlugin(0, TestPlugin("rec_a.plg"), false));
  TakeCalls();
  for (const auto& c : cases) {
    wm().StylusDown(c.x, c.y);
    EXPECT_EQ(ctx().pressMode, c.mode) << c.x << "," << c.y;
    EXPECT_EQ(ctx().pressed, c.pressed) << c.x << "," << c.y;
    EXPECT_EQ(TakeCalls(), c.calls) << c.x << "," << c.y;
    EXPECT_EQ(ctx().pressX, c.x);
    EXPECT_EQ(ctx().lastY, c.y);
    ctx().pressMode = kPressNone;  // no release: the next press starts afresh
  }
}

TEST_F(WindowManagerTest, ButtonsActOnlyWhenReleasedOnTheirOwnPlace) {
  struct Case {
    const char* rule;
    int pressX, releaseX;
    int windowsAfter;
    bool maximized;
    int selects;
  } cases[] = {
      {"close released inside closes", 250, 255, 0, false, 0},
      {"close released on the title fill does nothing", 250, 150, 1, false, 0},
      {"maximise released over close maximises", 230, 255, 1, true, 0},
      {"plugin button released on it chooses a plugin", 10, 15, 1, false, 1},
      {"plugin button released on the title does nothing", 10, 100, 1, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    HostFixture h;
    int selects = 0;
    h.windows->selectPlugin = [&](int p, int mode) {
      EXPECT_EQ(p, 0);
      EXPECT_EQ(mode, -1);
      ++selects;
    };
    h.OpenWindows({{0, 0, 260, 100}});
    h.windows->StylusDown(c.pressX, 10);
    h.windows->StylusUp(c.releaseX, 10);
    EXPECT_EQ(h.ctx->windowCount, c.windowsAfter);
    EXPECT_EQ(h.ctx->maximized >= 0, c.maximized);
    EXPECT_EQ(selects, c.selects);
    EXPECT_EQ(h.view.captures, 1);
    EXPECT_EQ(h.view.releases, 1);
  }
}

TEST_F(WindowManagerTest, ContentDragGoesToThePluginInWindowCoordinates) {
  host.OpenWindows({{20, 30, 240, 100}});
  ASSERT_TRUE(host.plugins->LoadPlugin(0, TestPlugin("rec_a.plg"), false));
  TakeCalls();
  wm().StylusDoubleDown(40, 60);
  wm().StylusMove(10, 20);
  wm().StylusUp(300, 200);
  EXPECT_EQ(TakeCalls(),
            (Calls{"A:mouse_doubledown 20 30", "A:mouse_move -10 -10", "A:mouse_up 280 170"}));
}

TEST_F(WindowManagerTest, TitleDragMovesTheWindowByGridSteps) {
  host.OpenWindows({{20, 30, 240, 100}});
  wm().StylusDown(100, 40);
  wm().StylusMove(103, 40);  // no grid line crossed
  EXPECT_EQ(host.SlotAt(0).left, 20);
  wm().StylusMove(106, 47);
  EXPECT_EQ(RectOf(host.SlotAt(0)), (Rect{25, 35, 265, 135}));
  EXPECT_EQ(ctx().lastX, 106);
  wm().StylusUp(111, 47);  // the release moves once more
  EXPECT_EQ(host.SlotAt(0).left, 30);
}

TEST_F(WindowManagerTest, ARestackDuringADragKeepsDraggingThePressedWindow) {
  struct Case {
    int command;
    int pressedAfter;  // the position the dragged window ends up at
  } cases[] = {{kCommandUpOne, 2}, {kCommandToTop, 2}, {kCommandDownOne, 0}, {kCommandToBottom, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    HostFixture h;
    WindowSettings s;
    s.focusMode = false;
    h.windows->SetSettings(s);
    h.OpenWindows({{0, 100, 100, 100}, {105, 100, 100, 100}, {210, 100, 100, 100}});
    h.windows->StylusDown(155, 105);  // the title bar of the middle window
    ASSERT_EQ(h.ctx->pressed, 1);
    ASSERT_EQ(h.ctx->pressMode, kPressTitleBar);
    h.windows->HandleCommand(c.command);
    EXPECT_EQ(h.ctx->pressed, c.pressedAfter);
    h.windows->StylusMove(165, 115);
    EXPECT_EQ(RectOf(h.ctx->slots[1]), (Rect{115, 110, 215, 210}));
    EXPECT_EQ(RectOf(h.ctx->slots[0]), (Rect{0, 100, 100, 200}));
    EXPECT_EQ(RectOf(h.ctx->slots[2]), (Rect{210, 100, 310, 200}));
  }
}

// Whoever moves a window in the stack (the restacking commands, focus mode, the quick
// menu), the active and maximised windows and a drag in progress stay with their windows.
TEST_F(WindowManagerTest, MovingAWindowInTheStackKeepsEveryPositionWithItsWindow) {
  struct Case {
    const char* rule;
    int from, to;
    int active, maximized, pressed;                 // positions before
    int activeAfter, maximizedAfter, pressedAfter;  // after
    std::vector<int> order;                         // slots bottom to top, after
  } cases[] = {
      {"the moved window", 1, 3, 1, 1, 1, 3, 3, 3, {0, 2, 3, 1}},
      {"windows it passes go down", 0, 3, 3, 2, 1, 2, 1, 0, {1, 2, 3, 0}},
      {"windows it passes go up", 3, 0, 0, 2, 1, 1, 3, 2, {3, 0, 1, 2}},
      {"windows outside the move stay", 1, 2, 0, 3, -1, 0, 3, -1, {0, 2, 1, 3}},
      {"an invalid position moves nothing", 1, 4, 1, -1, 2, 1, -1, 2, {0, 1, 2, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    HostFixture h;
    h.OpenWindows({{0, 0, 100, 60}, {10, 10, 100, 60}, {20, 20, 100, 60}, {30, 30, 100, 60}});
    h.ctx->active = c.active;
    h.ctx->maximized = c.maximized;
    h.ctx->pressed = c.pressed;
    h.windows->MovePosition(c.from, c.to);
    EXPECT_EQ(h.Order(), c.order);
    EXPECT_EQ(h.ctx->active, c.activeAfter);
    EXPECT_EQ(h.ctx->maximized, c.maximizedAfter);
    EXPECT_EQ(h.ctx->pressed, c.pressedAfter);
  }
}

TEST_F(WindowManagerTest, TappingALowerWindowRaisesItOnlyInFocusMode) {
  for (bool focus : {true, false}) {
    SCOPED_TRACE(focus ? "focus mode" : "normal mode");
    HostFixture h;
    WindowSettings s;
    s.focusMode = focus;
    h.windows->SetSettings(s);
    h.OpenWindows({{0, 0, 100, 100}, {50, 0, 100, 100}, {100, 0, 100, 100}});
    ASSERT_EQ(h.ctx->active, 2);
    h.windows->StylusDown(10, 50);  // only window 0 is there
    h.windows->StylusUp(10, 50);
    if (focus) {
      EXPECT_EQ(h.Order(), (std::vector<int>{1, 2, 0}));
      EXPECT_EQ(h.ctx->active, 2);
      EXPECT_EQ(h.ctx->pressed, 2);
    } else {
      EXPECT_EQ(h.Order(), (std::vector<int>{0, 1, 2}));
      EXPECT_EQ(h.ctx->active, 0);
      EXPECT_EQ(h.ctx->pressed, 0);
    }
  }
}

TEST_F(WindowManagerTest, AMaximisedWindowTakesEveryPress) {
  host.OpenWindows({{0, 0, 100, 100}, {150, 100, 100, 100}});
  wm().ToggleMaximize(0, true);
  EXPECT_EQ(ctx().maximized, 0);
  EXPECT_EQ(ctx().active, 0);
  EXPECT_EQ(RectOf(host.SlotAt(0)), (Rect{0, 0, 320, 240}));
  EXPECT_EQ(wm().HitTest(200, 150), 0);
  EXPECT_EQ(wm().HitTest(-50, 900), 0);
  // Restacking does nothing while a window is maximised.
  for (int command : {kCommandUpOne, kCommandToTop, kCommandDownOne, kCommandToBottom}) {
    wm().HandleCommand(command);
    EXPECT_EQ(host.Order(), (std::vector<int>{0, 1}));
  }
  wm().ToggleMaximize(0, true);
  EXPECT_EQ(ctx().maximized, -1);
  EXPECT_EQ(RectOf(host.SlotAt(0)), (Rect{0, 0, 100, 100}));
}

TEST_F(WindowManagerTest, ClosingAMaximisedWindowRecomposesTheWholeView) {
  host.OpenWindows({{0, 0, 100, 100}, {150, 100, 100, 100}, {40, 40, 100, 60}});
  host.view.presents.clear();
  wm().CloseWindow(1);
  EXPECT_EQ(host.Order(), (std::vector<int>{0, 2}));
  EXPECT_EQ(ctx().active, 1);
  ASSERT_FALSE(host.view.presents.empty());
  EXPECT_EQ(host.view.presents.back(), (Presented{150, 100, 100, 100}));

  wm().ToggleMaximize(0, true);
  host.view.presents.clear();
  wm().HandleCommand(kCommandCloseWindow);  // closes the maximised window
  EXPECT_EQ(ctx().maximized, -1);
  EXPECT_EQ(ctx().windowCount, 1);
  EXPECT_EQ(ctx().active, 0);
  ASSERT_FALSE(host.view.presents.empty());
  EXPECT_EQ(host.view.presents.back(), (Presented{0, 0, 320, 240}));
}

TEST_F(WindowManagerTest, ClosingAWindowBelowTheMaximisedOneKeepsItMaximised) {
  host.OpenWindows({{0, 0, 100, 100}, {150, 100, 100, 100}});
  wm().ToggleMaximize(1, true);
  wm().CloseWindow(0);
  EXPECT_EQ(ctx().maximized, 0);
  EXPECT_EQ(ctx().active, 0);
}

TEST_F(WindowManagerTest, RestackingCommandsMoveTheActiveWindow) {
  struct Case {
    int command;
    int active;
    std::vector<int> order;
    int activeAfter;
  } cases[] = {
      {kCommandUpOne, 1, {0, 2, 1, 3}, 2},      {kCommandUpOne, 3, {0, 1, 2, 3}, 3},
      {kCommandToTop, 0, {1, 2, 3, 0}, 3},      {kCommandDownOne, 2, {0, 2, 1, 3}, 1},
      {kCommandDownOne, 0, {0, 1, 2, 3}, 0},    {kCommandToBottom, 3, {3, 0, 1, 2}, 0},
      {kCommandToBottom, -1, {0, 1, 2, 3}, -1},
  };
  for (const auto& c : cases) {
    HostFixture h;
    h.OpenWindows({{0, 0, 100, 100}, {10, 0, 100, 100}, {20, 0, 100, 100}, {30, 0, 100, 100}});
    h.ctx->active = c.active;
    h.windows->HandleCommand(c.command);
    EXPECT_EQ(h.Order(), c.order) << c.command << " from " << c.active;
    EXPECT_EQ(h.ctx->active, c.activeAfter) << c.command << " from " << c.active;
  }
}

TEST_F(WindowManagerTest, NextAndPreviousWindow) {
  struct Case {
    bool focus;
    bool next;
    int active;
    std::vector<int> order;
    int activeAfter;
  } cases[] = {
      {false, true, 2, {0, 1, 2}, 1},  {false, true, 0, {0, 1, 2}, 2},
      {false, false, 2, {0, 1, 2}, 0}, {false, false, 1, {0, 1, 2}, 2},
      {true, true, 2, {2, 0, 1}, 2},   {true, false, 2, {1, 2, 0}, 2},
  };
  for (const auto& c : cases) {
    HostFixture h;
    WindowSettings s;
    s.focusMode = c.focus;
    h.windows->SetSettings(s);
    h.OpenWindows({{0, 0, 100, 100}, {10, 0, 100, 100}, {20, 0, 100, 100}});
    h.ctx->active = c.active;
    if (c.next) {
      h.windows->NextWindow();
    } else {
      h.windows->PreviousWindow();
    }
    EXPECT_EQ(h.Order(), c.order) << c.focus << c.next << c.active;
    EXPECT_EQ(h.ctx->active, c.activeAfter) << c.focus << c.next << c.active;
  }
}

// Maximising a window while another is maximised restores the other with the title fill
// of an inactive window (cut from the sheet at x = 30, the active one at x = 120).
TEST_F(WindowManagerTest, MaximisingAnotherWindowRedrawsTheOldOneInactive) {
  host.OpenWindows({{0, 0, 100, 100}, {110, 0, 100, 100}});
  wm().ToggleMaximize(1, false);
  wm().ToggleMaximize(0, true);
  EXPECT_EQ(ctx().maximized, 0);
  EXPECT_EQ(ctx().active, 0);
  EXPECT_EQ(testing::PixelOf(host.WindowBuffer(1), 25, 5), testing::PixelOf(host.Parts(), 35, 5));
  EXPECT_EQ(testing::PixelOf(host.WindowBuffer(0), 25, 5), testing::PixelOf(host.Parts(), 125, 5));
}

TEST_F(WindowManagerTest, NextWindowWhileMaximisedMaximisesTheNextOne) {
  host.OpenWindows({{0, 0, 100, 100}, {10, 0, 100, 100}});
  SetMode(false);
  wm().ToggleMaximize(1, true);
  wm().NextWindow();
  EXPECT_EQ(ctx().maximized, 0);
  EXPECT_EQ(ctx().active, 0);
  EXPECT_EQ(RectOf(host.SlotAt(1)), (Rect{10, 0, 110, 100}));
  EXPECT_EQ(RectOf(host.SlotAt(0)), (Rect{0, 0, 320, 240}));
}

TEST_F(WindowManagerTest, HostKeysActOnRelease) {
  WindowSettings s;
  s.keys = {101, 102, 103, 104, 105, 106};
  wm().SetSettings(s);
  host.OpenWindows({{0, 0, 100, 100}, {10, 0, 100, 100}});
  ASSERT_TRUE(host.plugins->LoadPlugin(1, TestPlugin("rec_a.plg"), false));
  std::vector<std::pair<int, int>> selects;
  int refreshes = 0;
  wm().selectPlugin = [&](int p, int mode) { selects.push_back({p, mode}); };
  wm().dataRefresh = [&] { ++refreshes; };
  TakeCalls();

  wm().KeyUp(104);
  wm().KeyUp(106);
  wm().KeyUp(105);
  EXPECT_EQ(selects, (std::vector<std::pair<int, int>>{{1, 0}, {1, 1}}));
  EXPECT_EQ(refreshes, 1);

  platform::SetClockOverride(platform::LocalTime{2026, 3, 14, 9, 26, 0, 6});
  wm().KeyUp(103);
  platform::SetClockOverride(std::nullopt);
  EXPECT_EQ(ctx().todayYear, 2026);
  EXPECT_EQ(ctx().todayMonth, 3);
  EXPECT_EQ(ctx().todayDay, 14);
  EXPECT_EQ(ctx().todayHour, 9);
  EXPECT_EQ(ctx().todayMinute, 26);
  EXPECT_EQ(TakeCalls(), Calls{"A:notify 4"});

  SetMode(false);
  wm().KeyUp(101);  // next window: from the top to the one below
  EXPECT_EQ(ctx().active, 0);
  EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(WindowManagerTest, LayoutRoundTrip) {
  host.OpenWindows({{5, 10, 100, 60}, {-30, 400, 150, 70}, {50, 20, 200, 90}});
  ASSERT_TRUE(host.plugins->LoadPlugin(2, TestPlugin("rec_a.plg"), false));
  wm().ToggleMaximize(2, true);
  wm().SaveLayout();
  EXPECT_EQ(host.profile().GetInt(u"setting", u"win_num", -1), 3);
  EXPECT_EQ(host.profile().GetInt(u"setting", u"winwidth2", -1), 200);  // not the client size
  host.plugins->UnloadPlugin(2, false);
  TakeCalls();

  HostFixture restored(320, 240, host.ctx->app);
  restored.windows->RestoreLayout();
  EXPECT_EQ(restored.ctx->windowCount, 3);
  EXPECT_EQ(restored.ctx->active, 2);
  EXPECT_EQ(restored.ctx->maximized, -1);
  EXPECT_EQ(RectOf(restored.SlotAt(0)), (Rect{5, 10, 105, 70}));
  // Saved out of reach: it opens within reach, and keeps the saved rectangle for later.
  EXPECT_EQ(RectOf(restored.SlotAt(1)), (Rect{0, 170, 150, 240}));
  EXPECT_EQ(RectOf(restored.SlotAt(2)), (Rect{50, 20, 250, 110}));
  EXPECT_EQ(restored.SlotAt(0).loaded, 0);
  EXPECT_EQ(restored.SlotAt(2).loaded, 1);
  EXPECT_EQ(restored.SlotAt(2).name.get(), u"Recorder A");
  EXPECT_EQ(TakeCalls(), (Calls{"A:valid", "A:init 10 2", "A:info", "A:notify 1"}));
  EXPECT_EQ(restored.view.presents.back(), (Presented{0, 0, 320, 240}));
  restored.windows->SaveLayout();
  EXPECT_EQ(restored.profile().GetInt(u"setting", u"winleft1", 0), -30);
  EXPECT_EQ(restored.profile().GetInt(u"setting", u"wintop1", 0), 400);
}

// ---- The view's size ------------------------------------------------------------------------

TEST_F(WindowManagerTest, ShrinkingTheViewBringsWindowsIntoReachAndGrowingLetsThemBack) {
  struct Case {
    const char* rule;
    std::array<int, 4> window;  // left, top, width, height in the 320 x 240 view
    int clientWidth, clientHeight;
    Rect shrunk;  // left, top, right, bottom in the smaller view
  } cases[] = {
      {"inside: stays", {10, 10, 100, 60}, 200, 150, {10, 10, 110, 70}},
      {"past the right edge: moves left", {150, 20, 100, 60}, 200, 150, {100, 20, 200, 80}},
      {"past the bottom: moves up", {20, 120, 100, 60}, 200, 150, {20, 90, 120, 150}},
      {"past both", {250, 200, 60, 40}, 200, 150, {140, 110, 200, 150}},
      {"the grid area is what counts", {150, 20, 100, 60}, 204, 152, {100, 20, 200, 80}},
      {"wider than the view: as wide as it", {10, 0, 300, 60}, 200, 150, {0, 0, 200, 60}},
      {"taller than the view: as tall as it", {0, 10, 100, 230}, 200, 150, {0, 0, 100, 150}},
      {"a view below the smallest window", {30, 30, 120, 80}, 60, 40, {0, 0, 60, 40}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    HostFixture h;
    h.OpenWindows({c.window});
    h.windows->SetClientSize(c.clientWidth, c.clientHeight);
    EXPECT_EQ(h.ctx->clientWidth, c.clientWidth);
    EXPECT_EQ(h.ctx->gridWidth, c.clientWidth - c.clientWidth % 5);
    EXPECT_EQ(h.ctx->gridHeight, c.clientHeight - c.clientHeight % 5);
    EXPECT_EQ(RectOf(h.SlotAt(0)), c.shrunk);
    EXPECT_EQ(h.view.presents.back(), (Presented{0, 0, c.clientWidth, c.clientHeight}));
    // Back at full size the window is where the user had it.
    h.windows->SetClientSize(320, 240);
    const auto& w = c.window;
    EXPECT_EQ(RectOf(h.SlotAt(0)), (Rect{w[0], w[1], w[0] + w[2], w[1] + w[3]}));
  }
}

TEST_F(WindowManagerTest, OnlyWindowsThatChangeSizeAreDrawnAgain) {
  host.OpenWindows({{0, 0, 100, 60}, {150, 20, 100, 60}, {0, 100, 300, 60}});
  ASSERT_TRUE(host.plugins->LoadPlugin(1, TestPlugin("rec_a.plg"), false));
  ASSERT_TRUE(host.plugins->LoadPlugin(2, TestPlugin("rec_b.plg"), false));
  TakeCalls();
  wm().SetClientSize(200, 200);  // window 1 moves, window 2 narrows
  EXPECT_EQ(TakeCalls(), (Calls{"B:notify 1"}));
  EXPECT_EQ(RectOf(host.SlotAt(1)), (Rect{100, 20, 200, 80}));
  EXPECT_EQ(RectOf(host.SlotAt(2)), (Rect{0, 100, 200, 160}));
  wm().SetClientSize(200, 200);  // no change: nothing happens
  EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(WindowManagerTest, TheUserPlacingAWindowForgetsWhereItWas) {
  struct Case {
    const char* rule;
    std::function<void(WindowManager&)> act;
    Rect afterGrowing;
  } cases[] = {
      {"untouched: back where it was", [](WindowManager&) {}, {190, 20, 310, 80}},
      {"moved: stays", [](WindowManager& w) { w.MoveWindow(0, 10, 10, 0, 10); }, {70, 20, 190, 80}},
      {"resized: stays",
       [](WindowManager& w) { w.ResizeWindow(0, 195, 75, 185, 75, false); },
       {80, 20, 190, 80}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    HostFixture h;
    h.OpenWindows({{190, 20, 120, 60}});
    h.windows->SetClientSize(200, 150);
    ASSERT_EQ(RectOf(h.SlotAt(0)), (Rect{80, 20, 200, 80}));
    c.act(*h.windows);
    h.windows->SetClientSize(320, 240);
    EXPECT_EQ(RectOf(h.SlotAt(0)), c.afterGrowing);
  }
}

TEST_F(WindowManagerTest, TheMaximisedWindowFollowsTheViewAndReturnsWithinReach) {
  host.OpenWindows({{200, 150, 100, 80}});
  ASSERT_TRUE(host.plugins->LoadPlugin(0, TestPlugin("rec_a.plg"), false));
  wm().ToggleMaximize(0, true);
  TakeCalls();
  wm().SetClientSize(160, 120);
  EXPECT_EQ(RectOf(host.SlotAt(0)), (Rect{0, 0, 160, 120}));
  EXPECT_EQ(host.SlotAt(0).width, 160);
  EXPECT_EQ(TakeCalls(), (Calls{"A:notify 1"}));
  wm().ToggleMaximize(0, true);
  EXPECT_EQ(RectOf(host.SlotAt(0)), (Rect{60, 40, 160, 120}));
}

TEST_F(WindowManagerTest, TheViewNeverShowsMoreThanTheBuffers) {
  wm().SetClientSize(5000, 4000);
  EXPECT_EQ(ctx().clientWidth, 320);
  EXPECT_EQ(ctx().clientHeight, 240);
  wm().SetClientSize(0, -5);
  EXPECT_EQ(ctx().clientWidth, 1);
  EXPECT_EQ(ctx().clientHeight, 1);
}

TEST_F(WindowManagerTest, ANewWindowOpensWithinTheView) {
  wm().SetClientSize(250, 110);
  for (int i = 0; i < 3; ++i) wm().NewWindow();
  // The cascade steps 10 pixels; the third would reach past the view.
  const Rect expected[] = {{0, 0, 240, 100}, {10, 10, 250, 110}, {10, 10, 250, 110}};
  for (int p = 0; p < 3; ++p) {
    SCOPED_TRACE(p);
    EXPECT_EQ(RectOf(host.SlotAt(p)), expected[p]);
  }
}

// The layout names each plugin by its full path; after the program folder was moved, a
// plugin whose stored file is gone is found by name in this run's plugin folder and saved
// under its new path.
TEST_F(WindowManagerTest, RestoreFindsThePluginsOfAMovedProgramFolder) {
  namespace fs = std::filesystem;
  const platform::testing::TempFolder root("core_moved");
  const fs::path program = root.path() / "program/";
  fs::create_directories(program / "plugin");
  fs::copy_file(fs::path(YK_TEST_PLUGIN_DIR) / "rec_a.plg", program / "plugin" / "rec_a.plg");
  const std::u16string here = platform::Utf8ToUtf16((program / "plugin" / "rec_a.plg").string());
  const std::u16string elsewhere = TestPlugin("rec_b.plg");  // exists where it is stored
  struct Case {
    const char* rule;
    std::u16string stored;
    std::u16string loaded;  // the path the window holds, empty when it stays empty
    size_t messages;
  } cases[] = {
      {"moved folder", u"/gone/old-program/plugin/rec_a.plg", here, 0},
      {"stored on the handheld", u"\\Program Files\\Tavik\\plugin\\rec_a.plg", here, 0},
      {"a file that still exists is kept", elsewhere, elsewhere, 0},
      {"not in this plugin folder either", u"/gone/plugin/rec_c.plg", u"", 1},
      {"no file name", u"/gone/plugin/", u"", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    HostFixture h;
    const std::u16string app = platform::Utf8ToUtf16(program.string());
    std::copy(app.begin(), app.end(), h.ctx->appFolder);
    h.profile().WriteInt(u"setting", u"win_num", 1);
    h.profile().WriteString(u"setting", u"winplg0", c.stored);
    platform::testing::MessageRecorder recorder;
    h.windows->RestoreLayout();
    EXPECT_EQ(h.SlotAt(0).loaded, c.loaded.empty() ? 0 : 1);
    EXPECT_EQ(h.SlotAt(0).path.get(), c.loaded);
    EXPECT_EQ(recorder.texts().size(), c.messages);
    h.windows->SaveLayout();
    EXPECT_EQ(h.profile().GetString(u"setting", u"winplg0", u"?"), c.loaded);
    h.plugins->UnloadPlugin(0, false);
  }
}

TEST_F(WindowManagerTest, RestoreWithoutOrWithBadSavedLayout) {
  struct Case {
    int winNum;
    int windows;
  } cases[] = {{0, 1}, {-4, 1}, {2, 2}, {9, 5}};
  for (const auto& c : cases) {
    HostFixture h;
    h.profile().WriteInt(u"setting", u"win_num", c.winNum);
    h.profile().WriteInt(u"setting", u"winleft0", 2000000000);
    h.profile().WriteInt(u"setting", u"winwidth0", 2000000000);
    h.windows->RestoreLayout();
    EXPECT_EQ(h.ctx->windowCount, c.windows) << c.winNum;
    EXPECT_EQ(h.ctx->active, c.windows - 1) << c.winNum;
    if (c.winNum <= 0) {
      EXPECT_EQ(RectOf(h.SlotAt(0)), (Rect{0, 0, 240, 100}));
    } else {
      EXPECT_EQ(RectOf(h.SlotAt(1 % c.windows)).size(), 4u);
      EXPECT_LE(h.SlotAt(0).right, 1 << 17);  // no overflow from garbage values
    }
  }
}

TEST_F(WindowManagerTest, StoredGridStepsOutsideTheRangeReadAsFive) {
  struct Case {
    int stored;
    int step;
  } cases[] = {{0, 5}, {21, 5}, {-3, 5}, {1, 1}, {20, 20}, {7, 7}};
  for (const auto& c : cases) {
    EXPECT_EQ(GridStepFromStored(c.stored), c.step) << c.stored;
    WindowSettings settings;
    settings.gridStep = c.stored;
    host.windows->SetSettings(settings);
    EXPECT_EQ(host.windows->settings().gridStep, c.step) << c.stored;
  }
  const WindowSettings defaults;
  EXPECT_TRUE(defaults.focusMode);
  EXPECT_FALSE(defaults.translucent);
}

TEST_F(WindowManagerTest, HostKeyTableCarriesTheSixActionsBothWays) {
  WindowSettings settings;
  settings.keys = {11, 12, 13, 14, 15, 16};
  KeyTable table;
  FillHostKeyTable(settings, table);
  ASSERT_EQ(table.count, 6);
  EXPECT_EQ(table.entries[0].label.get(), u"次のウィンドウ");
  EXPECT_EQ(table.entries[4].label.get(), u"データ更新");
  EXPECT_EQ(table.entries[4].key, 15);
  table.entries[2].key = 0;  // the dialog cleared "今日へ移動"
  table.entries[5].key = 99;
  TakeHostKeys(table, settings);
  EXPECT_EQ(settings.keys, (std::array<int, kHostKeyCount>{11, 12, 0, 14, 15, 99}));
  ReleaseHostKeyTable(table);
  EXPECT_TRUE(table.entries[0].label.empty());
}

}  // namespace
}  // namespace yk
