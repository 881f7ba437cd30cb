// Plugin scan, SelectPlugin in its three modes, the next-plugin rule and the quick menu,
// with the recording test plugins copied under several names into a temporary plugin folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/plugin_catalog.h"
#include "host/plugin_selection.h"
#include "host/tests/core_test_support.h"
#include "host/tests/plugins/call_log.h"
#include "platform/testing/message_recorder.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using testing::HostFixture;
using testing::TakeCalls;

class SelectionTest : public ::testing::Test {
 protected:
  SelectionTest() {
    folder_ = fs::temp_directory_path() /
              ("yk_dialogs_sel_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "plugin");
    const std::u16string app = platform::Utf8ToUtf16(folder_.string() + "/");
    std::copy(app.begin(), app.end(), fix_.ctx->appFolder);
    TakeCalls();
    testing::ClearAnswers();
  }
  ~SelectionTest() override {
    // Unload while the files still exist.
    for (int p = 0; p < fix_.ctx->windowCount; ++p) fix_.plugins->UnloadPlugin(p, false);
    fs::remove_all(folder_);
  }

  // Copies the built test plugin `built` ("rec_a.plg") into the plugin folder as `name`.
  std::u16string Install(const std::string& built, const std::string& name) {
    const fs::path target = folder_ / "plugin" / name;
    fs::copy_file(fs::path(YK_TEST_PLUGIN_DIR) / built, target,
                  fs::copy_options::overwrite_existing);
    return platform::Utf8ToUtf16(target.string());
  }

  std::u16string PathAt(int p) { return fix_.SlotAt(p).path.get(); }
  std::u16string NameAt(int p) { return fix_.SlotAt(p).name.get(); }

  PluginSelection Selection(SelectionDialogRunner runner = {}) {
    return PluginSelection(*fix_.ctx, *fix_.plugins, *fix_.windows, std::move(runner));
  }

  HostFixture fix_;
  fs::path folder_;
  platform::testing::MessageRecorder messages_;
};

// Three plugins P1, P2, P3 (file-name order) and two windows.
TEST_F(SelectionTest, NextPluginFollowsFileOrderAndSkipsShownPlugins) {
  const std::u16string p1 = Install("rec_a.plg", "p1.plg");
  const std::u16string p2 = Install("rec_b.plg", "p2.plg");
  const std::u16string p3 = Install("rec_c.plg", "p3.plg");
  struct Case {
    const char* rule;
    std::u16string inWindow;   // plugin of window 0 before the switch ("" = empty window)
    std::u16string elsewhere;  // plugin of window 1 ("" = none)
    std::u16string expected;
  };
  const std::vector<Case> cases = {
      {"P2 goes to P3", p2, u"", p3},
      {"P3 wraps to P1", p3, u"", p1},
      {"P1 skips P2 shown elsewhere", p1, p2, p3},
      {"P3 skips P1 shown elsewhere, wraps to P2", p3, p1, p2},
      {"empty window takes the first", u"", u"", p1},
      {"empty window takes the first free one", u"", p1, p2},
  };
  fix_.windows->NewWindow();
  fix_.windows->NewWindow();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    fix_.plugins->UnloadPlugin(0, false);
    fix_.plugins->UnloadPlugin(1, false);
    if (!c.inWindow.empty()) {
      ASSERT_TRUE(fix_.plugins->LoadPlugin(0, c.inWindow, false));
    }
    if (!c.elsewhere.empty()) {
      ASSERT_TRUE(fix_.plugins->LoadPlugin(1, c.elsewhere, false));
    }
    Selection().SelectPlugin(0, 1);
    EXPECT_EQ(PathAt(0), c.expected);
    EXPECT_EQ(PathAt(1), c.elsewhere);
  }
  EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(SelectionTest, NextPluginRules) {
  HostContext& host = *fix_.ctx;
  EXPECT_EQ(NextPlugin(host, u"/x/p9.plg"), u"/x/p9.plg") << "no candidates: previous kept";
  const std::u16string p1 = Install("rec_a.plg", "p1.plg");
  const std::u16string p2 = Install("rec_b.plg", "p2.plg");
  std::u16string upper = p1;
  upper.replace(upper.size() - 6, 2, u"P1");
  EXPECT_EQ(NextPlugin(host, upper), p2) << "letter case is not compared";
  EXPECT_EQ(NextPlugin(host, u"/elsewhere/p1.plg"), p1) << "unknown path: the first";
}

TEST_F(SelectionTest, ProbeTakesOnlyPluginsWithValidAndInfoAndNeverStartsThem) {
  Install("rec_a.plg", "a.plg");
  Install("rec_no_valid.plg", "b.plg");
  Install("rec_no_info.plg", "c.plg");
  Install("rec_init_zero.plg", "d.plg");
  Install("rec_b.plg", "e.PLG");
  Install("rec_c.plg", "f.plg.bak");
  fs::create_directories(folder_ / "plugin" / "g.plg");
  std::ofstream(folder_ / "plugin" / "h.plg") << "not a library";
  TakeCalls();
  const std::vector<PluginCandidate> found = ScanPlugins(*fix_.ctx);
  std::vector<std::u16string> names;
  for (const auto& c : found) names.push_back(c.name);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Recorder A", u"Recorder Z", u"Recorder B"}));
  for (const std::string& call : TakeCalls()) {
    EXPECT_EQ(call.find(":init"), std::string::npos) << call;
    EXPECT_EQ(call.find(":valid"), std::string::npos) << call;
  }
  EXPECT_TRUE(messages_.texts().empty()) << "refused files are left out silently";
  EXPECT_FALSE(ProbePlugin(*fix_.ctx, u"").has_value());
}

TEST_F(SelectionTest, AtMostFiftyCandidatesAndShownPluginsDoNotCount) {
  std::vector<std::u16string> paths;
  for (int i = 0; i < 51; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "p%02d.plg", i);
    paths.push_back(Install("rec_a.plg", name));
  }
  auto listed = [&] {
    std::vector<std::u16string> out;
    for (const auto& c : ScanPlugins(*fix_.ctx)) out.push_back(c.path);
    return out;
  };
  std::vector<std::u16string> first50(paths.begin(), paths.begin() + 50);
  EXPECT_EQ(listed(), first50) << "the 51st file is not listed";

  fix_.windows->NewWindow();
  ASSERT_TRUE(fix_.plugins->LoadPlugin(0, paths[0], false));
  std::vector<std::u16string> rest(paths.begin() + 1, paths.end());
  EXPECT_EQ(listed(), rest) << "a plugin shown in a window leaves room for the 51st";
}

TEST_F(SelectionTest, DialogModeOutcomes) {
  const std::u16string p1 = Install("rec_a.plg", "p1.plg");
  const std::u16string p2 = Install("rec_b.plg", "p2.plg");
  // A plugin loaded from outside the plugin folder (a saved layout can name one): with P1
  // and P2 shown in the other windows, the list is empty although the window had a plugin.
  const std::u16string outside = testing::TestPlugin("rec_c.plg");
  struct Case {
    const char* rule;
    bool othersShowEverything;
    bool accepted;
    int pick;  // index into the scanned list, -1 = none
    std::u16string expected;
    std::vector<std::string> calls;  // calls into the plugins after the dialog
  };
  const std::vector<Case> cases = {
      {"OK loads the chosen plugin",
       false,
       true,
       1,
       p2,
       {"B:valid", "B:init 10 0", "B:info", "B:notify 1"}},
      {"cancel re-creates the previous plugin",
       false,
       false,
       0,
       p1,
       {"A:valid", "A:init 10 0", "A:info", "A:notify 1"}},
      {"OK on an empty list leaves the window empty", true, true, -1, u"", {}},
      {"cancel on an empty list re-creates the previous plugin",
       true,
       false,
       -1,
       outside,
       {"C:valid", "C:init 10 0", "C:info", "C:notify 1"}},
  };
  fix_.windows->NewWindow();
  fix_.windows->NewWindow();
  fix_.windows->NewWindow();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    for (int p = 0; p < 3; ++p) fix_.plugins->UnloadPlugin(p, false);
    const std::u16string previous = c.othersShowEverything ? outside : p1;
    ASSERT_TRUE(fix_.plugins->LoadPlugin(0, previous, false));
    if (c.othersShowEverything) {
      ASSERT_TRUE(fix_.plugins->LoadPlugin(1, p1, false));
      ASSERT_TRUE(fix_.plugins->LoadPlugin(2, p2, false));
    }
    TakeCalls();
    size_t listed = 99;
    std::vector<std::string> beforeDialog;
    Selection([&](HostContext& host) {
      beforeDialog = TakeCalls();
      const std::vector<PluginCandidate> candidates = ScanPlugins(host);
      listed = candidates.size();
      TakeCalls();  // the probes' plg_info calls
      PluginChoice choice;
      choice.accepted = c.accepted;
      if (c.pick >= 0) {
        choice.index = c.pick;
        choice.path = candidates.at(size_t(c.pick)).path;
      }
      return choice;
    }).SelectPlugin(0, 0);
    EXPECT_EQ(listed, c.othersShowEverything ? 0u : 2u) << "the window's own plugin is free";
    EXPECT_EQ(PathAt(0), c.expected);
    if (c.expected.empty()) {
      EXPECT_EQ(NameAt(0), u"Yomitoki");
    }
    const std::string old = c.othersShowEverything ? "C" : "A";
    EXPECT_EQ(beforeDialog, std::vector<std::string>{old + ":destroy"})
        << "the old instance is destroyed before the dialog opens";
    EXPECT_EQ(TakeCalls(), c.calls);
  }
}

TEST_F(SelectionTest, PluginButtonFollowsTheSetting) {
  const std::u16string p1 = Install("rec_a.plg", "p1.plg");
  const std::u16string p2 = Install("rec_b.plg", "p2.plg");
  fix_.windows->NewWindow();
  ASSERT_TRUE(fix_.plugins->LoadPlugin(0, p1, false));
  int dialogs = 0;
  auto selection = Selection([&](HostContext&) {
    ++dialogs;
    return PluginChoice{};
  });
  WindowSettings settings = fix_.windows->settings();
  settings.pluginButtonAction = kPluginButtonNext;
  fix_.windows->SetSettings(settings);
  selection.SelectPlugin(0, -1);
  EXPECT_EQ(PathAt(0), p2);
  EXPECT_EQ(dialogs, 0);

  settings.pluginButtonAction = kPluginButtonDialog;
  fix_.windows->SetSettings(settings);
  selection.SelectPlugin(0, -1);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(PathAt(0), p2) << "cancelled: the same plugin again";

  selection.SelectPlugin(1, 1);  // no window at position 1: nothing
  selection.SelectPlugin(-1, 1);
  EXPECT_EQ(fix_.ctx->windowCount, 1);
  EXPECT_EQ(PathAt(0), p2);
}

TEST_F(SelectionTest, QuickMenuMaximisesTheWindowThatShowsThePlugin) {
  const std::u16string pa = Install("rec_a.plg", "qa.plg");
  const std::u16string pb = Install("rec_b.plg", "qb.plg");
  fix_.OpenWindows({{0, 0, 100, 60}, {10, 10, 100, 60}, {20, 20, 100, 60}});
  ASSERT_TRUE(fix_.plugins->LoadPlugin(0, pa, false));
  ASSERT_TRUE(fix_.plugins->LoadPlugin(2, pb, false));
  HostContext& h = *fix_.ctx;
  const int slotA = h.order[0];
  const int slotB = h.order[2];
  fix_.windows->ToggleMaximize(2, false);  // B is maximised
  ASSERT_EQ(h.maximized, 2);

  Selection().OpenQuickPlugin(u"Recorder A", pa);
  EXPECT_EQ(h.windowCount, 3) << "no second window for a plugin already shown";
  EXPECT_EQ(h.order[2], slotA) << "raised to the top";
  EXPECT_EQ(h.maximized, 2);
  EXPECT_EQ(h.active, 2);
  EXPECT_EQ(h.slots[slotA].width, h.clientWidth);
  EXPECT_EQ(h.order[1], slotB);
  EXPECT_EQ(h.slots[slotB].left, 20) << "the window maximised before is restored";
  EXPECT_EQ(h.slots[slotB].width, 100);

  // The command toggles: on the maximised window it restores it.
  Selection().OpenQuickPlugin(u"Recorder A", pa);
  EXPECT_EQ(h.maximized, -1);
  EXPECT_EQ(h.slots[slotA].left, 0);
  EXPECT_EQ(h.slots[slotA].width, 100);
  EXPECT_TRUE(messages_.texts().empty());
}

// A quick menu command that raises a window while the title of another is being dragged
// (a key bound to it, pressed mid-drag): the drag goes on with the window it started on.
TEST_F(SelectionTest, QuickMenuRaisingAWindowMidDragKeepsTheDrag) {
  const std::u16string pa = Install("rec_a.plg", "qa.plg");
  HostContext& h = *fix_.ctx;
  WindowSettings settings = fix_.windows->settings();
  settings.focusMode = false;
  fix_.windows->SetSettings(settings);
  fix_.OpenWindows({{0, 0, 100, 60}, {105, 100, 100, 60}, {210, 100, 100, 60}});
  ASSERT_TRUE(fix_.plugins->LoadPlugin(0, pa, false));
  const int draggedSlot = h.order[1];
  fix_.windows->StylusDown(155, 105);  // the middle window's title
  ASSERT_EQ(h.pressed, 1);
  Selection().OpenQuickPlugin(u"Recorder A", pa);
  ASSERT_EQ(h.order[2], h.order[h.windowCount - 1]);
  EXPECT_EQ(h.order[h.pressed], draggedSlot);
  Selection().OpenQuickPlugin(u"Recorder A", pa);  // restores it again
  fix_.windows->StylusMove(165, 115);
  EXPECT_EQ(h.slots[draggedSlot].left, 115) << "the dragged window moved";
  EXPECT_EQ(h.slots[0].left, 0) << "the raised window stayed";
  EXPECT_EQ(h.slots[2].left, 210) << "the third window stayed";
}

// Whether the window at p shows the active title fill (cut from the sheet at x = 120) or the
// other one (x = 30): the pixel five columns into the fill.
bool ShowsActiveTitle(HostFixture& fix, int p) {
  const testing::Pixel title = testing::PixelOf(fix.WindowBuffer(p), 25, 5);
  const testing::Pixel active = testing::PixelOf(fix.Parts(), 125, 5);
  const testing::Pixel other = testing::PixelOf(fix.Parts(), 35, 5);
  EXPECT_TRUE(title == active || title == other) << "position " << p << " shows no title fill";
  return title == active;
}

// The quick menu moves `active` to the window it opens or raises: the window that was
// active, or maximised, is redrawn with the other title fill, so one title shows active.
TEST_F(SelectionTest, QuickMenuLeavesOneActiveTitle) {
  const std::u16string pa = Install("rec_a.plg", "qa.plg");
  const std::u16string pc = Install("rec_c.plg", "qc.plg");
  struct Case {
    const char* rule;
    bool maximiseFirst;
    bool raise;  // raise the window of A rather than open C
  } cases[] = {
      {"a new window over a maximised one", true, false},
      {"a new window over an active one", false, false},
      {"a raised window over a maximised one", true, true},
      {"a raised window over an active one", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    HostFixture fix;
    const std::u16string app = platform::Utf8ToUtf16(folder_.string() + "/");
    std::copy(app.begin(), app.end(), fix.ctx->appFolder);
    fix.OpenWindows({{0, 0, 100, 60}, {110, 0, 100, 60}});
    ASSERT_TRUE(fix.plugins->LoadPlugin(0, pa, false));
    if (c.maximiseFirst) fix.windows->ToggleMaximize(1, false);
    PluginSelection selection(*fix.ctx, *fix.plugins, *fix.windows, {});
    if (c.raise) {
      selection.OpenQuickPlugin(u"Recorder A", pa);
    } else {
      selection.OpenQuickPlugin(u"Recorder C", pc);
    }
    const HostContext& h = *fix.ctx;
    ASSERT_EQ(h.active, h.windowCount - 1);
    ASSERT_EQ(h.maximized, h.active);
    for (int p = 0; p < h.windowCount; ++p)
      EXPECT_EQ(ShowsActiveTitle(fix, p), p == h.active) << "position " << p;
    for (int p = 0; p < h.windowCount; ++p) fix.plugins->UnloadPlugin(p, false);
  }
}

TEST_F(SelectionTest, QuickPluginsAreInstalledWhenTheirFileIsInThePluginFolder) {
  Install("rec_a.plg", "tvk_cal_hpc2karm.plg");
  fs::create_directories(folder_ / "plugin" / "tvk_memo_hpc2karm.plg");  // a folder, no file
  struct Case {
    int command;
    bool installed;
  } cases[] = {{32797, true}, {32799, false}, {32794, false}, {32781, false}, {0, false}};
  for (const auto& c : cases)
    EXPECT_EQ(QuickPluginInstalled(*fix_.ctx, c.command), c.installed) << c.command;
  EXPECT_EQ(QuickPluginPath(*fix_.ctx, kQuickPlugins[2]),
            platform::Utf8ToUtf16((folder_ / "plugin" / "tvk_cal_hpc2karm.plg").string()));
}

TEST_F(SelectionTest, QuickMenuOpensANewMaximisedWindowOrClosesItOnFailure) {
  const std::u16string pc = Install("rec_c.plg", "qc.plg");
  HostContext& h = *fix_.ctx;
  fix_.OpenWindows({{0, 0, 100, 60}});
  Selection().OpenQuickPlugin(u"Recorder C", pc);
  ASSERT_EQ(h.windowCount, 2);
  EXPECT_EQ(PathAt(1), pc);
  EXPECT_EQ(h.maximized, 1);
  EXPECT_EQ(h.active, 1);

  Selection().OpenQuickPlugin(u"Recorder X",
                              platform::Utf8ToUtf16(folder_.string()) + u"/plugin/missing.plg");
  EXPECT_EQ(h.windowCount, 2) << "the new window is closed again";
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{kPluginLoadFailedText});
  EXPECT_EQ(h.maximized, 1) << "a failed open leaves the maximised window as it was";

  messages_.Clear();
  EXPECT_TRUE(Selection().RunQuickCommand(32796));  // "天気予報": its file is not installed
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{kPluginLoadFailedText});
  EXPECT_FALSE(Selection().RunQuickCommand(32781));
}

}  // namespace
}  // namespace yk
