// Plugin loading, notifications, requests, timers, key routing and the plugin menu.
#include <gtest/gtest.h>

#include <fstream>

#include "host/tests/core_test_support.h"
#include "host/tests/plugins/call_log.h"
#include "platform/testing/message_recorder.h"

namespace yk {
namespace {

using testing::ClearAnswers;
using testing::HostFixture;
using testing::SetAnswer;
using testing::TakeCalls;
using testing::TestPlugin;
using Calls = std::vector<std::string>;

class PluginHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TakeCalls();
    ClearAnswers();
  }
  void TearDown() override { ClearAnswers(); }

  // Opens one window per plugin file (bottom first) and loads it without redrawing.
  void OpenWithPlugins(const std::vector<std::string>& files) {
    for (const auto& file : files) {
      const int p = host.windows->NewWindow();
      ASSERT_TRUE(host.plugins->LoadPlugin(p, TestPlugin(file), false)) << file;
    }
    TakeCalls();
  }

  HostFixture host;
  platform::testing::MessageRecorder messages;
};

TEST_F(PluginHostTest, FailedLoadsLeaveTheWindowEmptyAndCallNoMoreThanNeeded) {
  const std::string garbage = std::string(YK_TEST_PLUGIN_DIR) + "/not_a_library.plg";
  std::ofstream(garbage) << "this is not a shared object";
  struct Case {
    const char* rule;
    std::u16string path;
    Calls calls;
  } cases[] = {
      {"missing file", TestPlugin("does_not_exist.plg"), {}},
      {"not a library", TestPlugin("not_a_library.plg"), {}},
      {"no plg_valid", TestPlugin("rec_no_valid.plg"), {}},
      {"no plg_info: plg_init never runs", TestPlugin("rec_no_info.plg"), {"NI:valid"}},
      {"plg_init answers 0: freed without plg_destroy",
       TestPlugin("rec_init_zero.plg"),
       {"Z:valid", "Z:init 10 0"}},
  };
  ASSERT_EQ(host.windows->NewWindow(), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    messages.Clear();
    TakeCalls();
    EXPECT_FALSE(host.plugins->LoadPlugin(0, c.path, true));
    EXPECT_EQ(TakeCalls(), c.calls);
    EXPECT_EQ(messages.texts(), std::vector<std::u16string>{kPluginLoadFailedText});
    const PluginSlot& slot = host.SlotAt(0);
    EXPECT_EQ(slot.loaded, 0);
    EXPECT_EQ(slot.name.get(), u"Yomitoki");
    EXPECT_TRUE(slot.path.get().empty());
  }
}

TEST_F(PluginHostTest, APluginAlreadyShownInAnotherWindowIsNotStartedTwice) {
  // The library is loaded once per process: a second plg_init would take the first
  // window's plugin over, and a plg_destroy of either would end both.
  OpenWithPlugins({"rec_a.plg"});
  ASSERT_EQ(host.windows->NewWindow(), 1);
  TakeCalls();
  EXPECT_FALSE(host.plugins->LoadPlugin(1, TestPlugin("rec_a.plg"), true));
  EXPECT_EQ(TakeCalls(), Calls{"A:valid"});
  EXPECT_EQ(messages.texts(), std::vector<std::u16string>{kPluginLoadFailedText});
  EXPECT_EQ(host.SlotAt(1).loaded, 0);
  EXPECT_TRUE(host.SlotAt(1).path.get().empty());

  // The first window keeps its plugin, still loaded.
  EXPECT_TRUE(host.plugins->IsLoaded(0));
  host.plugins->SendNotify(0, kNotifyTick);
  EXPECT_EQ(TakeCalls(), Calls{"A:notify 3"});

  // Loading it again into its own window is a reload, not a second copy.
  EXPECT_TRUE(host.plugins->LoadPlugin(0, TestPlugin("rec_a.plg"), false));
}

TEST_F(PluginHostTest, EmptyPathOrBadPositionFailsQuietly) {
  ASSERT_EQ(host.windows->NewWindow(), 0);
  EXPECT_FALSE(host.plugins->LoadPlugin(0, u"", true));
  EXPECT_FALSE(host.plugins->LoadPlugin(1, TestPlugin("rec_a.plg"), true));
  EXPECT_FALSE(host.plugins->LoadPlugin(-1, TestPlugin("rec_a.plg"), true));
  EXPECT_TRUE(messages.texts().empty());
  EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(PluginHostTest, SuccessfulLoadFillsTheSlotAndRedraws) {
  ASSERT_EQ(host.windows->NewWindow(), 0);
  host.view.presents.clear();
  ASSERT_TRUE(host.plugins->LoadPlugin(0, TestPlugin("rec_a.plg"), true));
  EXPECT_EQ(TakeCalls(), (Calls{"A:valid", "A:init 10 0", "A:info", "A:notify 1"}));
  const PluginSlot& slot = host.SlotAt(0);
  EXPECT_EQ(slot.loaded, 1);
  EXPECT_EQ(slot.validResult, 7);
  EXPECT_EQ(slot.name.get(), u"Recorder A");
  EXPECT_EQ(slot.path.get(), TestPlugin("rec_a.plg"));
  EXPECT_NE(slot.module, 0u);
  ASSERT_FALSE(host.view.presents.empty());
  EXPECT_EQ(host.view.presents.back(), (testing::Presented{0, 0, 240, 100}));
  EXPECT_EQ(host.view.titles.back().text, u"Recorder A");
}

TEST_F(PluginHostTest, LoadingOverALoadedPluginDestroysTheOldOneFirst) {
  OpenWithPlugins({"rec_a.plg"});
  host.SlotAt(0).timerOn = 1;
  ASSERT_TRUE(host.plugins->LoadPlugin(0, TestPlugin("rec_b.plg"), false));
  EXPECT_EQ(TakeCalls(), (Calls{"A:destroy", "B:valid", "B:init 10 0", "B:info"}));
  EXPECT_EQ(host.view.stopped, std::vector<int>{kPluginTimerBase + 0});
  EXPECT_EQ(host.SlotAt(0).timerOn, 0);

  // A failing replacement still destroys the old plugin and leaves the window empty.
  EXPECT_FALSE(host.plugins->LoadPlugin(0, TestPlugin("rec_init_zero.plg"), false));
  EXPECT_EQ(TakeCalls(), (Calls{"B:destroy", "Z:valid", "Z:init 10 0"}));
  EXPECT_EQ(host.SlotAt(0).name.get(), u"Yomitoki");
  EXPECT_EQ(host.SlotAt(0).loaded, 0);
}

TEST_F(PluginHostTest, NotifyAnswersAreAppliedOnlyForTickDateAndData) {
  struct Case {
    const char* rule;
    int code;
    int answer;
    Calls calls;
  } cases[] = {
      {"redraw answered 4 changes nothing", kNotifyRedraw, 4, {"A:notify 1"}},
      {"live resize answered 6 changes nothing", kNotifyLiveResize, 6, {"A:notify 5"}},
      {"tick answered 4 reaches everyone, top first, sender included",
       kNotifyTick,
       4,
       {"A:notify 3", "B:notify 4", "A:notify 4"}},
      {"date answered 6 broadcasts data",
       kNotifyDateChanged,
       6,
       {"A:notify 4", "B:notify 6", "A:notify 6"}},
      {"data answered 6 does not recurse",
       kNotifyDataChanged,
       6,
       {"A:notify 6", "B:notify 6", "A:notify 6"}},
      {"date answered repaint stays local", kNotifyDateChanged, 1, {"A:notify 4"}},
  };
  OpenWithPlugins({"rec_a.plg", "rec_b.plg"});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    ClearAnswers();
    SetAnswer("A:notify " + std::to_string(c.code), c.answer);
    host.plugins->SendNotify(0, c.code);
    EXPECT_EQ(TakeCalls(), c.calls);
  }
}

TEST_F(PluginHostTest, RepaintAnswerRedrawsChromeAndPresentsTheWindow) {
  OpenWithPlugins({"rec_a.plg"});
  SetAnswer("A:notify 4", kRequestRepaint);
  host.view.presents.clear();
  host.view.titles.clear();
  host.plugins->SendNotify(0, kNotifyDateChanged);
  EXPECT_EQ(host.view.titles.size(), 1u);
  EXPECT_EQ(host.view.presents, (std::vector<testing::Presented>{{0, 0, 240, 100}}));
}

TEST_F(PluginHostTest, ExceptionsFromAPluginStayInThePlugin) {
  OpenWithPlugins({"rec_a.plg"});
  SetAnswer("A:mouse_down", testing::kThrowAnswer);
  SetAnswer("A:notify 3", testing::kThrowAnswer);
  EXPECT_NO_THROW(host.plugins->MouseDown(0, 5, 30));
  EXPECT_NO_THROW(host.plugins->SendNotify(0, kNotifyTick));
  EXPECT_EQ(TakeCalls(), (Calls{"A:mouse_down 5 30", "A:notify 3"}));
}

TEST_F(PluginHostTest, TimerTicksUntilItsPositionNamesAWindowBeyondTheCount) {
  OpenWithPlugins({"rec_a.plg", "rec_b.plg", "rec_c.plg"});
  HostContext& ctx = *host.ctx;
  ctx.requestCode = kRequestTimer;
  ctx.requestWindow = 2;
  ctx.timerInterval = 1000;
  host.plugins->HandleRequestMessage();
  EXPECT_EQ(host.view.timers, (std::map<int, int>{{12, 1000}}));

  host.plugins->HandleTimer(12);
  EXPECT_EQ(TakeCalls(), Calls{"C:notify 3"});

  // Closing the bottom window moves C to position 1; position 2 still names C's slot,
  // which is in use but lies beyond the window count: the timer is stopped.
  host.windows->CloseWindow(0);
  TakeCalls();
  host.plugins->HandleTimer(12);
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_EQ(host.view.timers.count(12), 0u);

  // Ids past the five windows are stopped; ids below 10 are not plugin timers.
  host.view.stopped.clear();
  host.plugins->HandleTimer(15);
  host.plugins->HandleTimer(3);
  EXPECT_EQ(host.view.stopped, std::vector<int>{15});

  // Interval 0 stops the timer of the position.
  ctx.requestWindow = 1;
  host.plugins->HandleRequestMessage();
  ASSERT_EQ(host.view.timers.count(11), 1u);
  ctx.timerInterval = 0;
  host.plugins->HandleRequestMessage();
  EXPECT_EQ(host.view.timers.count(11), 0u);
}

TEST_F(PluginHostTest, RequestMessageActsLikeTheAnswerForItsPosition) {
  OpenWithPlugins({"rec_a.plg", "rec_b.plg"});
  HostContext& ctx = *host.ctx;
  struct Case {
    int code;
    int window;
    Calls calls;
  } cases[] = {
      {kRequestBroadcastDate, 0, {"B:notify 4", "A:notify 4"}},
      {kRequestBroadcastData, 1, {"B:notify 6", "A:notify 6"}},
      {kRequestBroadcastData, 2, {}},  // no window at position 2
      {7, 0, {}},                      // unknown codes do nothing
  };
  for (const auto& c : cases) {
    ctx.requestCode = c.code;
    ctx.requestWindow = c.window;
    host.plugins->HandleRequestMessage();
    EXPECT_EQ(TakeCalls(), c.calls) << c.code << " at " << c.window;
  }
}

TEST_F(PluginHostTest, GarbageUpdateRectanglesStayInsideTheWindow) {
  OpenWithPlugins({"rec_a.plg"});  // window at (0, 0), 240 x 100
  HostContext& ctx = *host.ctx;
  struct Case {
    int code;
    int left, top, right, bottom;
    testing::Presented presented;
  } cases[] = {
      {kRequestRepaintRect, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, {0, 0, 240, 100}},
      {kRequestPresentRect, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, {0, 0, 240, 100}},
      {kRequestPresentRect, -50, 10, 60, 2000000000, {0, 10, 60, 90}},
      {kRequestPresentRect, 20, 30, 40, 50, {20, 30, 20, 20}},  // inside: as asked
  };
  for (const auto& c : cases) {
    ctx.requestCode = c.code;
    ctx.requestWindow = 0;
    ctx.updateLeft = c.left;
    ctx.updateTop = c.top;
    ctx.updateRight = c.right;
    ctx.updateBottom = c.bottom;
    host.view.presents.clear();
    host.plugins->HandleRequestMessage();
    EXPECT_EQ(host.view.presents, std::vector<testing::Presented>{c.presented})
        << c.code << " " << c.left << "," << c.top << "," << c.right << "," << c.bottom;
  }
}

TEST_F(PluginHostTest, KeysReachOnlyTheActivePluginAndNeverAsHostKeys) {
  OpenWithPlugins({"rec_a.plg", "rec_b.plg"});
  WindowSettings settings;
  settings.keys = {101, 102, 103, 104, 105, 106};
  host.windows->SetSettings(settings);
  struct Case {
    int active;
    bool down;
    int key;
    Calls calls;
  } cases[] = {
      {1, true, 65, {"B:key_down 65"}},
      {0, true, 65, {"A:key_down 65"}},
      {0, false, 66, {"A:key_up 66"}},
      {1, true, 101, {}},  // next window key
      {1, true, 106, {}},  // next plugin key
      {-1, true, 65, {}},
      {-1, false, 65, {}},
  };
  for (const auto& c : cases) {
    host.ctx->active = c.active;
    if (c.down) {
      host.windows->KeyDown(c.key);
    } else {
      host.windows->KeyUp(c.key);
    }
    EXPECT_EQ(TakeCalls(), c.calls) << c.key << " active " << c.active;
  }
}

TEST_F(PluginHostTest, PluginMenuCommandsNeedTheirExports) {
  OpenWithPlugins({"rec_a.plg", "rec_no_config.plg"});
  KeyTable* shown = nullptr;
  host.plugins->SetKeyAssignmentRunner([&](KeyTable& table) { shown = &table; });

  host.ctx->active = 1;
  host.plugins->ConfigureActivePlugin();
  host.plugins->ConfigureActivePluginKeys();
  EXPECT_EQ(messages.texts(),
            (std::vector<std::u16string>{kNoPluginSettingsText, kNoPluginKeySettingsText}));
  EXPECT_EQ(shown, nullptr);

  messages.Clear();
  TakeCalls();
  host.ctx->active = 0;
  SetAnswer("A:config", kRequestBroadcastDate);
  host.plugins->ConfigureActivePlugin();
  host.plugins->ConfigureActivePluginKeys();
  EXPECT_TRUE(messages.texts().empty());
  EXPECT_EQ(TakeCalls(), (Calls{"A:config", "N:notify 4", "A:notify 4", "A:keyconfig"}));
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->count, 3);
  EXPECT_EQ(shown->entries[0].key, 65);
}

TEST_F(PluginHostTest, UnloadCallsDestroyAndEmptiesTheSlot) {
  OpenWithPlugins({"rec_a.plg"});
  host.plugins->UnloadPlugin(0, true);
  EXPECT_EQ(TakeCalls(), Calls{"A:destroy"});
  EXPECT_EQ(host.SlotAt(0).loaded, 0);
  EXPECT_EQ(host.SlotAt(0).name.get(), u"Yomitoki");
  EXPECT_TRUE(host.SlotAt(0).path.get().empty());
  // A second unload and events to the empty window do nothing.
  host.plugins->UnloadPlugin(0, true);
  host.plugins->MouseDown(0, 3, 30);
  host.plugins->SendNotify(0, kNotifyRedraw);
  EXPECT_TRUE(TakeCalls().empty());
}

}  // namespace
}  // namespace yk
