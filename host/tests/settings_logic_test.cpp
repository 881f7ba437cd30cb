// The rules behind the key assignment, font and dial-up dialogs and the management tool,
// without widgets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/dialup_list.h"
#include "host/font_list.h"
#include "host/key_config_model.h"
#include "host/list_search.h"
#include "host/management_tool.h"
#include "host/tests/key_table_support.h"
#include "platform/message_box.h"
#include "platform/testing/message_recorder.h"
#include "platform/testing/temp_folder.h"
#include "platform/text_codec.h"
#include "platform/virtual_keys.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using platform::testing::MessageRecorder;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::LabelledKeyTable;

std::vector<int> KeysOf(const KeyConfigModel& model) {
  std::vector<int> keys;
  for (const KeyConfigEntry& entry : model.entries()) keys.push_back(entry.key);
  return keys;
}

TEST(KeyConfigModel, LinesShowTheLabelAloneWithoutAKey) {
  LabelledKeyTable fixture({{u"次のウィンドウ", 0, 0},
                            {u"前のウィンドウ", 1, 0},
                            {u"今日へ移動", 2, 0},
                            {u"データ更新", 116, 0},
                            {u"次の日", 255, 0}});
  KeyConfigModel model(fixture.table);
  EXPECT_THAT(model.Lines(), ElementsAre(u"次のウィンドウ", u"前のウィンドウ", u"今日へ移動 : 2",
                                         u"データ更新 : 116", u"次の日 : 255"));
  EXPECT_EQ(model.selected(), 0);
  EXPECT_EQ(model.SelectedKey(), 0);
  EXPECT_FALSE(model.listNeedsRefresh());
}

// A table's count is the plugin's word: a garbage count never reads past the 20 entries.
TEST(KeyConfigModel, CountIsCutToTheTable) {
  struct Case {
    int count;
    int copied;
    int selected;
  } cases[] = {{0, 0, -1}, {-5, 0, -1}, {20, 20, 0}, {21, 20, 0}, {1 << 30, 20, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    KeyTable table{};
    for (int i = 0; i < kKeyTableCapacity; ++i) table.entries[i].key = 100 + i;
    table.count = c.count;
    KeyConfigModel model(table);
    EXPECT_EQ(model.count(), c.copied);
    EXPECT_EQ(model.selected(), c.selected);
    model.TypeKey(7);  // does nothing without a selection
    KeyTable written{};
    model.WriteBack(written);
    EXPECT_EQ(written.entries[0].key, c.copied > 0 ? 7 : 0);
    EXPECT_EQ(written.count, 0) << "the count is never written";
  }
}

// 自動取得 moves a key: entries holding the same code lose it when their group is the
// selected entry's group or 0; other non-zero groups may share it.
TEST(KeyConfigModel, CapturedKeyMovesWithinItsGroup) {
  struct Case {
    const char* rule;
    std::vector<int> groups;
    std::vector<int> keys;
    int selected;
    int captured;
    std::vector<int> after;
    bool changed;
  } cases[] = {
      {"moved between two entries of group 0", {0, 0, 0}, {50, 0, 0}, 1, 50, {0, 50, 0}, true},
      {"group 2 keeps it when group 3 takes it", {2, 3}, {50, 0}, 1, 50, {50, 50}, true},
      {"group 0 loses it to group 3", {0, 3}, {50, 0}, 1, 50, {0, 50}, true},
      {"same non-zero group loses it", {2, 2, 3}, {50, 0, 50}, 1, 50, {0, 50, 50}, true},
      {"a selected group 0 leaves group 2 alone", {2, 0}, {50, 0}, 1, 50, {50, 50}, true},
      {"other codes stay", {0, 0}, {49, 0}, 1, 50, {49, 50}, true},
      {"captured again onto the same entry", {0, 0}, {0, 50}, 1, 50, {0, 50}, true},
      {"0 changes nothing", {0, 0}, {50, 7}, 1, 0, {50, 7}, false},
      {"1 (nothing captured) changes nothing", {0, 0}, {50, 7}, 1, 1, {50, 7}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    KeyTable table{};
    table.count = int(c.keys.size());
    for (size_t i = 0; i < c.keys.size(); ++i) {
      table.entries[i].key = c.keys[i];
      table.entries[i].group = c.groups[i];
    }
    KeyConfigModel model(table);
    model.Select(c.selected);
    EXPECT_EQ(model.AssignCaptured(c.captured), c.changed);
    EXPECT_EQ(KeysOf(model), c.after);
    EXPECT_EQ(model.listNeedsRefresh(), c.changed);
    EXPECT_EQ(table.entries[0].key, c.keys[0]) << "the table changes only on OK";
  }
}

TEST(KeyConfigModel, TypingAndClearingChangeTheSelectedEntryOnly) {
  LabelledKeyTable fixture({{u"次のウィンドウ", 37, 0}, {u"前のウィンドウ", 39, 0}});
  KeyConfigModel model(fixture.table);
  model.Select(1);
  model.TypeKey(37);  // another entry's code: both keep it
  EXPECT_THAT(model.Lines(), ElementsAre(u"次のウィンドウ : 37", u"前のウィンドウ : 37"));
  EXPECT_TRUE(model.listNeedsRefresh());
  model.ListRebuilt();
  model.TypeKey(0);
  EXPECT_THAT(model.Lines(), ElementsAre(u"次のウィンドウ : 37", u"前のウィンドウ"));
  model.Select(0);
  model.ClearSelectedKey();
  EXPECT_THAT(KeysOf(model), ElementsAre(0, 0));
  model.Select(5);  // outside: the selection stays
  EXPECT_EQ(model.selected(), 0);
  model.WriteBack(fixture.table);
  EXPECT_THAT(fixture.Keys(), ElementsAre(0, 0));
  EXPECT_EQ(fixture.table.entries[0].label.get(), u"次のウィンドウ") << "labels are never written";
}

// Key releases in the capture dialog: the answer and whether the dialog closes.
TEST(KeyCapture, TakesTheFirstReleaseExceptTheTwoPrefixKeys) {
  struct Case {
    const char* name;
    std::vector<int> releases;
    std::vector<bool> closes;  // after each release
    int answer;
  } cases[] = {
      {"a plain key closes at once", {50}, {true}, 50},
      {"134 waits, then 50", {134, 50}, {false, true}, 50},
      {"135 waits, then 134 waits, then 13", {135, 134, 13}, {false, false, true}, 13},
      {"a key without a code is not taken", {0, 65}, {false, true}, 65},
      {"134 alone stays the answer", {134}, {false}, 134},
      {"closed without a key", {}, {}, kNothingCaptured},
      {"only keys without a code", {0}, {false}, kNothingCaptured},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyCapture capture;
    std::vector<bool> closes;
    for (int code : c.releases) closes.push_back(capture.KeyReleased(code));
    capture.Closed();
    EXPECT_EQ(closes, c.closes);
    EXPECT_EQ(capture.capturedKey(), c.answer);
  }
}

TEST(StoredKeyCodes, OutsideABytesRangeMeanNoKey) {
  const std::pair<int, int> cases[] = {{0, 0},  {1, 1},     {65, 65},       {255, 255},    {256, 0},
                                       {-1, 0}, {70000, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}};
  for (const auto& [stored, used] : cases)
    EXPECT_EQ(platform::KeyCodeFromStored(stored), used) << stored;
}

TEST(ListSearch, PrefixAndExactIgnoreLetterCase) {
  const std::vector<std::u16string> lines = {u"DejaVu Sans", u"IPAGothic", u"IPAPGothic",
                                             u"ＭＳ Ｐゴシック", u"ゴシック"};
  struct Case {
    std::u16string text;
    int prefix;
    int exact;
  } cases[] = {
      {u"ipa", 1, -1},     {u"IPAP", 2, -1},           {u"ipapgothic", 2, 2},
      {u"ｍｓ ｐ", 3, -1}, {u"ＭＳ Ｐゴシック", 3, 3}, {u"ゴ", 4, -1},
      {u"", 0, -1},        {u"Noto", -1, -1},          {u"IPAGothic2", -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::Utf16ToUtf8(c.text));
    EXPECT_EQ(FindLineStartingWith(lines, c.text), c.prefix);
    EXPECT_EQ(FindLineEqualTo(lines, c.text), c.exact);
  }
  EXPECT_EQ(FindLineStartingWith({}, u""), -1);
}

TEST(FontList, FirstSelection) {
  const std::vector<std::u16string> families = {u"DejaVu Sans", u"IPAGothic", u"IPAPGothic"};
  struct Case {
    const char* name;
    std::u16string face;
    std::u16string drawnWith;
    int line;
  } cases[] = {
      {"the face itself", u"IPAPGothic", u"IPAPGothic", 2},
      {"a prefix, ignoring case", u"ipag", u"IPAPGothic", 1},
      {"the default face shows the family it is drawn with", u"ＭＳ Ｐゴシック", u"IPAPGothic", 2},
      {"an unknown face without a family of its own", u"Nothing", u"", 0},
      {"an unknown face whose family is not listed", u"Nothing", u"Other", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(InitialFontLine(families, c.face, c.drawnWith), c.line);
  }
  EXPECT_EQ(InitialFontLine({}, u"IPAGothic", u"IPAGothic"), -1);
}

TEST(DialupList, BackquotedNamesAreNeverListed) {
  EXPECT_THAT(ListedDialupEntries({u"`Sys", u"Home", u"a`b", u"Office", u"`"}),
              ElementsAre(u"Home", u"Office"));
  EXPECT_THAT(ListedDialupEntries({}), IsEmpty());
}

TEST(DialupList, FirstSelection) {
  const std::vector<std::u16string> lines = {u"Home2", u"Home", u"Office"};
  struct Case {
    std::u16string dialName;
    int line;
  } cases[] = {{u"Home", 1}, {u"home", 1}, {u"Hom", 0}, {u"Off", 2}, {u"", 0}, {u"Mobile", -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::Utf16ToUtf8(c.dialName));
    EXPECT_EQ(InitialDialupLine(lines, c.dialName), c.line);
  }
  EXPECT_EQ(InitialDialupLine({}, u""), -1);
}

// A program folder with a stand-in updater that writes its working folder and arguments.
class UpdaterStandIn {
 public:
  explicit UpdaterStandIn(bool present) {
    if (!present) return;
    std::ofstream(root_ / "tavik_upd_hpc2k")
        << "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$PWD\" \"$#\" \"$*\" >> updater.log\n";
    fs::permissions(root_ / "tavik_upd_hpc2k", fs::perms::owner_all);
  }
  std::u16string appFolder() const { return platform::Utf8ToUtf16(root_.string() + "/"); }
  fs::path log() const { return root_ / "updater.log"; }
  const fs::path& root() const { return root_; }

 private:
  platform::testing::TempFolder folder_{"tool"};
  const fs::path& root_ = folder_.path();
};

TEST(ManagementTool, AsksThenStartsTheUpdaterAndClosesTheHost) {
  struct Case {
    const char* name;
    bool updaterPresent;
    int answer;
    ManagementToolResult result;
    std::vector<std::u16string> messages;
    int closes;
  } cases[] = {
      {"No starts nothing",
       true,
       platform::kIdNo,
       ManagementToolResult::kDeclined,
       {kManagementToolQuestion},
       0},
      {"Yes starts the updater and closes",
       true,
       platform::kIdYes,
       ManagementToolResult::kStarted,
       {kManagementToolQuestion},
       1},
      {"Yes without an updater keeps the host",
       false,
       platform::kIdYes,
       ManagementToolResult::kNotStarted,
       {kManagementToolQuestion, kStartErrorText},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdaterStandIn folder(c.updaterPresent);
    MessageRecorder recorder;
    recorder.Answer(c.answer);
    int closes = 0;
    EXPECT_EQ(RunManagementTool(folder.appFolder(), [&] { ++closes; }), c.result);
    EXPECT_EQ(recorder.texts(), c.messages);
    EXPECT_EQ(closes, c.closes);
    ASSERT_FALSE(recorder.messages().empty());
    EXPECT_EQ(recorder.messages()[0].flags & platform::kMbButtonMask, platform::kMbYesNo);
    if (c.result == ManagementToolResult::kStarted) {
      for (int i = 0; i < 2000 && !fs::exists(folder.log()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      std::ifstream log(folder.log());
      std::string line;
      std::getline(log, line);
      EXPECT_EQ(line, folder.root().string() + "|1|102");
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      EXPECT_FALSE(fs::exists(folder.log()));
    }
  }
}

}  // namespace
}  // namespace yk
