// Start-up, settings, refresh and shutdown of the host, driven headless on a program
// folder and a settings file of their own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "common/bitmap_ops.h"
#include "common/schedule_store.h"
#include "common/utf16_line_file.h"
#include "host/host_session.h"
#include "host/plugin_host.h"
#include "host/tests/app_test_support.h"
#include "host/tests/core_test_support.h"
#include "host/tests/plugins/call_log.h"
#include "host/theme_parts.h"
#include "host/wallpaper.h"
#include "host/window_manager.h"
#include "platform/clock.h"
#include "platform/testing/message_recorder.h"

namespace yk {
namespace {

using platform::testing::MessageRecorder;
using ::testing::ElementsAre;
using testing::ProgramFolder;
using testing::Store;

const ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new testing::QtEnvironment);

std::u16string PluginPath(const char* file) {
  return platform::Utf8ToUtf16(std::string(YK_TEST_PLUGIN_DIR) + "/" + file);
}

// One run of the host on a program folder: creation, initial update, and shutdown when it
// goes out of scope.
struct HostRun {
  HostRun(const ProgramFolder& folder, int width = 800, int height = 600) : session(view) {
    app = folder.OpenApp();
    HostSession::CreateParams params;
    params.clientWidth = width;
    params.clientHeight = height;
    params.appFolder = folder.appFolder();
    params.app = app;
    created = session.Create(params);
    HostSession::Header header;
    header.viewWindow = 1;
    header.clientWidth = width;
    header.clientHeight = height;
    updated = session.InitialUpdate(header);
  }
  ~HostRun() {
    session.Destroy();
    platform::ReleaseApplication(app);
  }
  platform::Profile& profile() { return *platform::ProfileOf(app); }

  testing::FakeView view;
  HostSession session;
  platform::Handle app = 0;
  bool created = false;
  bool updated = false;
};

std::optional<std::u16string> Stored(const ProgramFolder& folder, const char16_t* key) {
  (void)folder;
  auto profile = platform::OpenSettingsProfile();
  std::u16string missing = u"\x1(missing)";
  std::u16string value = profile->GetString(kSettingSection, key, missing);
  if (value == missing) return std::nullopt;
  return value;
}

TEST(HostStartup, WithoutAUsableDataFileTheProgramEndsAndNothingIsStored) {
  struct Case {
    const char* rule;
    std::optional<std::vector<uint8_t>> dataFile;  // nullopt: no file at all
  } cases[] = {
      {"missing file", std::nullopt},
      {"empty file", std::vector<uint8_t>{}},
      {"not a picture", std::vector<uint8_t>{'B', 'M', 'x', 'y', 'z'}},
      {"a picture cut short",
       [] {
         auto bytes =
             platform::EncodeBmp24(240, 400, testing::SolidPicture(240, 400, 1, 2, 3).data());
         bytes.resize(200);
         return std::optional<std::vector<uint8_t>>(bytes);
       }()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    ProgramFolder folder;
    if (c.dataFile) testing::WriteBytes(folder.dataFile(), *c.dataFile);
    Store({{u"wingrid", u"7"},
           {u"focuswin", u"0"},
           {u"firsttime", u"1"},
           {u"win_num", u"1"},
           {u"winleft0", u"33"},
           {u"font", u"Sans"}});
    const auto before = testing::ReadBytes(folder.settingsFile());
    ASSERT_FALSE(before.empty());
    const size_t bitmaps = platform::LiveBitmapCount();
    MessageRecorder recorder;
    {
      HostRun run(folder);
      EXPECT_FALSE(run.created);
      EXPECT_FALSE(run.updated);
      EXPECT_FALSE(run.session.ready());
    }
    EXPECT_THAT(recorder.texts(), ElementsAre(std::u16string(kDataFileErrorText)));
    EXPECT_EQ(testing::ReadBytes(folder.settingsFile()), before);
    EXPECT_EQ(platform::LiveBitmapCount(), bitmaps);
  }
}

TEST(HostStartup, BuffersFollowTheClientSizeAtCreation) {
  struct Case {
    int width, height;
    int bufferWidth, gridWidth, gridHeight;  // grid step 5
  } cases[] = {
      {637, 480, 640, 635, 480}, {640, 481, 640, 640, 480}, {641, 300, 648, 640, 300},
      {800, 600, 800, 800, 600}, {1, 1, 8, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    ProgramFolder folder;
    folder.WriteTheme(10, 20, 30);
    MessageRecorder recorder;
    HostRun run(folder, c.width, c.height);
    ASSERT_TRUE(run.updated);
    const HostContext& h = *run.session.host();
    EXPECT_EQ(h.bufferWidth, c.bufferWidth);
    EXPECT_EQ(h.bufferHeight, c.height);
    EXPECT_EQ(h.bufferBytes, c.bufferWidth * c.height * 3);
    EXPECT_EQ(h.partsBytes, 288000);
    EXPECT_EQ(h.clientWidth, c.width);
    EXPECT_EQ(h.gridWidth, c.gridWidth);
    EXPECT_EQ(h.gridHeight, c.gridHeight);
    // Every buffer really is that large.
    for (const PixelBuffer& b :
         {ScreenBuffer(h), BackBuffer(h), SlotBuffer(h, 0), SlotBuffer(h, 4)}) {
      EXPECT_EQ(b.bytes, h.bufferBytes);
    }
    // The theme picture is in the parts sheet.
    EXPECT_EQ(testing::PixelOf(PartsBuffer(h), 239, 399), (testing::Pixel{10, 20, 30}));
  }
}

TEST(HostStartup, FoldersAndClockFillTheHeader) {
  ProgramFolder folder;
  folder.WriteTheme(0, 0, 0);
  platform::SetClockOverride(platform::LocalTime{2004, 5, 7, 13, 45, 0, 5});
  MessageRecorder recorder;
  HostRun run(folder);
  platform::SetClockOverride(std::nullopt);
  const HostContext& h = *run.session.host();
  EXPECT_EQ(std::u16string(h.appFolder), folder.appFolder());
  EXPECT_EQ(std::u16string(h.dataFolder), folder.appFolder() + u"data/");
  EXPECT_EQ(h.todayYear, 2004);
  EXPECT_EQ(h.todayMonth, 5);
  EXPECT_EQ(h.todayDay, 7);
  EXPECT_EQ(h.todayHour, 13);
  EXPECT_EQ(h.todayMinute, 45);
  EXPECT_EQ(h.app, run.app);
  EXPECT_EQ(h.viewWindow, 1u);
  EXPECT_EQ(h.ready, 1);
  // A fresh install opens one empty window.
  EXPECT_EQ(h.windowCount, 1);
  EXPECT_EQ(h.slots[h.order[0]].name.get(), u"Yomitoki");
}

TEST(HostStartup, StoredGridStepOutsideOneToTwentyIsFive) {
  struct Case {
    const char16_t* stored;
    int used;
  } cases[] = {{u"0", 5}, {u"21", 5}, {u"-3", 5}, {u"abc", 5}, {u"1", 1}, {u"20", 20}, {u"7", 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::Utf16ToUtf8(c.stored));
    ProgramFolder folder;
    folder.WriteTheme(0, 0, 0);
    Store({{u"wingrid", c.stored}, {u"firsttime", u"1"}});
    MessageRecorder recorder;
    {
      HostRun run(folder, 637, 480);
      ASSERT_TRUE(run.updated);
      EXPECT_EQ(run.session.windows()->settings().gridStep, c.used);
      EXPECT_EQ(run.session.host()->gridWidth, 637 - 637 % c.used);
    }
    // The corrected value is what shutdown writes back.
    EXPECT_EQ(Stored(folder, u"wingrid"),
              std::u16string(platform::Utf8ToUtf16(std::to_string(c.used))));
  }
}

TEST(HostStartup, GarbledSettingsReadAsDefaults) {
  const std::vector<std::pair<const char*, std::string>> files = {
      {"binary garbage", std::string("\xff\xfe\x00\x01[[[\x80\x81=\n=\x00", 14)},
      {"values that are no numbers",
       "[setting]\nfocuswin=yes\ntranswin=maybe\nwingrid=1e3\nkeytoday=F5\nplugtype=next\n"
       "dialuse=\ndialcheck=on\n"},
      {"numbers out of every range", "[setting]\nwingrid=99999999999999999999\n"},
  };
  for (const auto& [rule, contents] : files) {
    SCOPED_TRACE(rule);
    ProgramFolder folder;
    folder.WriteTheme(0, 0, 0);
    testing::WriteBytes(folder.settingsFile(),
                        std::vector<uint8_t>(contents.begin(), contents.end()));
    MessageRecorder recorder;
    HostRun run(folder);
    ASSERT_TRUE(run.updated);
    const WindowSettings& w = run.session.windows()->settings();
    EXPECT_TRUE(w.focusMode);
    EXPECT_FALSE(w.translucent);
    EXPECT_EQ(w.gridStep, 5);
    EXPECT_EQ(w.pluginButtonAction, kPluginButtonDialog);
    for (int key : w.keys) EXPECT_EQ(key, 0);
    const HostContext& h = *run.session.host();
    EXPECT_EQ(h.fontName.get(), kDefaultFontName);
    EXPECT_EQ(h.dialUse, 0);
    EXPECT_EQ(h.dialCheck, 0);
    EXPECT_TRUE(run.session.settings().wallpaper.empty());
    EXPECT_EQ(h.windowCount, 1);
  }
}

// The six host keys come from section "setting" at the start and go back at shutdown.
TEST(HostStartup, HostKeysAreReadAtTheStartAndWrittenAtShutdown) {
  const std::pair<const char16_t*, HostKeyAction> keys[] = {
      {u"keynextwin", kKeyNextWindow},  {u"keyprevwin", kKeyPreviousWindow},
      {u"keytoday", kKeyToday},         {u"keyplugsel", kKeyPluginSelect},
      {u"keyreflesh", kKeyDataRefresh}, {u"keyplugselnext", kKeyPluginNext},
  };
  ProgramFolder folder;
  folder.WriteTheme(0, 0, 0);
  Store({{u"firsttime", u"1"}});
  int code = 112;
  for (const auto& [name, action] : keys)
    Store({{name, platform::Utf8ToUtf16(std::to_string(code++))}});
  MessageRecorder recorder;
  {
    HostRun run(folder);
    ASSERT_TRUE(run.updated);
    code = 112;
    for (const auto& [name, action] : keys) {
      EXPECT_EQ(run.session.windows()->settings().keys[action], code++)
          << platform::Utf16ToUtf8(name);
    }
    // Shutdown writes every key, the ones it did not change too.
    for (const auto& [name, action] : keys) Store({{name, u""}});
  }
  code = 112;
  for (const auto& [name, action] : keys) {
    EXPECT_EQ(Stored(folder, name), platform::Utf8ToUtf16(std::to_string(code++)))
        << platform::Utf16ToUtf8(name);
  }
}

// "plugtype": 0 opens the selection dialog, any other number switches to the next plugin.
TEST(HostStartup, PluginButtonActionFromTheStoredNumber) {
  struct Case {
    const char16_t* stored;
    PluginButtonAction action;
  } cases[] = {
      {u"0", kPluginButtonDialog}, {u"1", kPluginButtonNext},  {u"2", kPluginButtonNext},
      {u"7", kPluginButtonNext},   {u"-1", kPluginButtonNext}, {u"next", kPluginButtonDialog},
      {u"", kPluginButtonDialog},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::Utf16ToUtf8(c.stored));
    ProgramFolder folder;
    folder.WriteTheme(0, 0, 0);
    Store({{u"plugtype", c.stored}, {u"firsttime", u"1"}});
    MessageRecorder recorder;
    HostRun run(folder);
    ASSERT_TRUE(run.updated);
    EXPECT_EQ(run.session.windows()->settings().pluginButtonAction, c.action);
  }
}

TEST(HostStartup, MissingOptionalPicturesLetStartUpGoOn) {
  ProgramFolder folder;
  folder.WriteTheme(50, 60, 70);
  const std::string missingJpeg = (folder.root() / "none.jpg").string();
  Store({{u"wallpaper", platform::Utf8ToUtf16(missingJpeg)}, {u"firsttime", u"1"}});
  MessageRecorder recorder;
  {
    HostRun run(folder);
    ASSERT_TRUE(run.updated);
    EXPECT_THAT(recorder.texts(), ElementsAre(std::u16string(kWallpaperLoadFailed)));
    const HostContext& h = *run.session.host();
    // No icon image: the sheet keeps the theme's pixels where the icon would go.
    EXPECT_EQ(testing::PixelOf(PartsBuffer(h), 0, 30), (testing::Pixel{50, 60, 70}));
    // No wallpaper: a white background.
    EXPECT_EQ(testing::PixelOf(BackBuffer(h), 400, 300), (testing::Pixel{255, 255, 255}));
  }
  // A wallpaper that failed at start-up is tried again next time.
  EXPECT_EQ(Stored(folder, u"wallpaper"), platform::Utf8ToUtf16(missingJpeg));
}

TEST(HostStartup, IconImageAndWallpaperAreMerged) {
  ProgramFolder folder;
  folder.WriteTheme(50, 60, 70);
  testing::WriteSolidBmp(folder.iconFile(), 230, 95, 1, 2, 3);
  const auto jpeg = folder.root() / "wall.jpg";
  testing::WriteBytes(jpeg, testing::EncodeJpeg(400, 200));
  Store({{u"wallpaper", platform::Utf8ToUtf16(jpeg.string())}, {u"firsttime", u"1"}});
  MessageRecorder recorder;
  HostRun run(folder);
  ASSERT_TRUE(run.updated);
  EXPECT_TRUE(recorder.messages().empty());
  const HostContext& h = *run.session.host();
  PixelBuffer parts = PartsBuffer(h);
  struct Probe {
    int x, y;
    testing::Pixel expected;
  } probes[] = {
      {0, 30, {1, 2, 3}},       {224, 119, {1, 2, 3}},  // the icon at full size
      {225, 30, {50, 60, 70}},                          // beside it the theme stays
      {0, 120, {1, 2, 3}},      {149, 179, {1, 2, 3}},  // its reduction
      {150, 120, {50, 60, 70}}, {0, 29, {50, 60, 70}},
  };
  for (const auto& p : probes) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    EXPECT_EQ(testing::PixelOf(parts, p.x, p.y), p.expected);
  }
  // The wallpaper sits in the middle: a white margin at the top, its picture below.
  PixelBuffer back = BackBuffer(h);
  EXPECT_EQ(testing::PixelOf(back, 400, 50), (testing::Pixel{255, 255, 255}));
  testing::Pixel green = testing::PixelOf(back, 400, 210);
  EXPECT_GT(green[1], 200);
  EXPECT_LT(green[0], 60);
}

TEST(HostStartup, WelcomeMessageOnFirstStartOnly) {
  ProgramFolder folder;
  folder.WriteTheme(0, 0, 0);
  const std::vector<std::pair<const char*, bool>> starts = {
      {"first start", true}, {"second start", false}, {"after firsttime was deleted", true}};
  for (const auto& [rule, welcome] : starts) {
    SCOPED_TRACE(rule);
    if (std::string(rule).find("deleted") != std::string::npos)
      platform::OpenSettingsProfile()->Remove(kSettingSection, u"firsttime");
    MessageRecorder recorder;
    {
      HostRun run(folder);
      ASSERT_TRUE(run.updated);
    }
    if (welcome) {
      ASSERT_EQ(recorder.messages().size(), 1u);
      EXPECT_EQ(recorder.messages()[0].text, kWelcomeText);
      EXPECT_EQ(recorder.messages()[0].flags, unsigned(platform::kMbOk));
    } else {
      EXPECT_TRUE(recorder.messages().empty());
    }
    EXPECT_EQ(Stored(folder, u"firsttime"), u"1");
  }
}

class HostWithPlugins : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteTheme(0, 0, 0);
    Store({{u"firsttime", u"1"},
           {u"win_num", u"3"},
           {u"winleft0", u"0"},
           {u"wintop0", u"0"},
           {u"winwidth0", u"240"},
           {u"winheight0", u"100"},
           {u"winplg0", PluginPath("rec_a.plg")},
           {u"winleft1", u"100"},
           {u"wintop1", u"50"},
           {u"winwidth1", u"200"},
           {u"winheight1", u"120"},
           {u"winplg1", u""},
           {u"winleft2", u"300"},
           {u"wintop2", u"200"},
           {u"winwidth2", u"240"},
           {u"winheight2", u"150"},
           {u"winplg2", PluginPath("rec_b.plg")}});
    (void)yk::testing::TakeCalls();
  }
  void TearDown() override { yk::testing::ClearAnswers(); }

  ProgramFolder folder_;
  MessageRecorder recorder_;
};

TEST_F(HostWithPlugins, DataRefreshRedrawsEveryWindowBottomFirstAndEmptiesTheCaches) {
  HostRun run(folder_);
  ASSERT_TRUE(run.updated);
  HostContext& h = *run.session.host();
  ASSERT_EQ(h.windowCount, 3);
  h.holidays.count = 4;
  h.holidays.loadedYear = 2004;
  h.schedules.keys[2] = 20040507;
  h.schedules.counts[3] = 9;
  h.furtherCacheKey = 7;
  h.furtherCacheKey2 = 8;
  (void)yk::testing::TakeCalls();
  run.view.presents.clear();

  run.session.DataRefresh();

  EXPECT_THAT(yk::testing::TakeCalls(), ElementsAre("A:notify 1", "B:notify 1"));
  EXPECT_EQ(h.holidays.count, 0);
  EXPECT_EQ(h.holidays.loadedYear, 0);
  EXPECT_EQ(h.schedules.keys[2], 0);
  EXPECT_EQ(h.schedules.counts[3], 0);
  EXPECT_EQ(h.furtherCacheKey, 0);
  EXPECT_EQ(h.furtherCacheKey2, 0);
  ASSERT_FALSE(run.view.presents.empty());
  EXPECT_EQ(run.view.presents.back(), (testing::Presented{0, 0, 800, 600}));
}

TEST_F(HostWithPlugins, ShutdownSavesSettingsAndLayoutThenUnloadsEveryPlugin) {
  {
    HostRun run(folder_);
    ASSERT_TRUE(run.updated);
    run.session.ApplyWindowSettings(false, true, 10, 1);
    EXPECT_TRUE(run.session.ToggleDialUse());
    (void)yk::testing::TakeCalls();
  }
  std::vector<std::string> calls = yk::testing::TakeCalls();
  EXPECT_THAT(calls, ::testing::Contains("A:destroy"));
  EXPECT_THAT(calls, ::testing::Contains("B:destroy"));
  const std::pair<const char16_t*, std::u16string> expected[] = {
      {u"focuswin", u"0"},         {u"transwin", u"1"},
      {u"wingrid", u"10"},         {u"plugtype", u"1"},
      {u"dialuse", u"1"},          {u"dialcheck", u"0"},
      {u"font", kDefaultFontName}, {u"win_num", u"3"},
      {u"winleft1", u"100"},       {u"wintop2", u"200"},
      {u"winheight2", u"150"},     {u"winplg0", PluginPath("rec_a.plg")},
      {u"winplg1", u""},           {u"winplg2", PluginPath("rec_b.plg")},
      {u"keytoday", u"0"},
  };
  for (const auto& [key, value] : expected) {
    SCOPED_TRACE(platform::Utf16ToUtf8(key));
    EXPECT_EQ(Stored(folder_, key), value);
  }
  // The next start reads back what was saved.
  HostRun again(folder_);
  ASSERT_TRUE(again.updated);
  const WindowSettings& w = again.session.windows()->settings();
  EXPECT_FALSE(w.focusMode);
  EXPECT_TRUE(w.translucent);
  EXPECT_EQ(w.gridStep, 10);
  EXPECT_EQ(w.pluginButtonAction, kPluginButtonNext);
  EXPECT_EQ(again.session.host()->dialUse, 1);
}

TEST_F(HostWithPlugins, DestroyRunsOnceAndReleasesEveryBuffer) {
  const size_t bitmaps = platform::LiveBitmapCount();
  const size_t dcs = platform::LiveDCCount();
  {
    HostRun run(folder_);
    ASSERT_TRUE(run.updated);
    EXPECT_EQ(platform::LiveBitmapCount(), bitmaps + 8);  // sheet, screen, back, 5 windows
    run.session.Destroy();
    EXPECT_EQ(run.session.host(), nullptr);
    EXPECT_EQ(platform::LiveBitmapCount(), bitmaps);
    EXPECT_EQ(platform::LiveDCCount(), dcs);
    (void)yk::testing::TakeCalls();
    run.session.Destroy();
    EXPECT_TRUE(yk::testing::TakeCalls().empty());
  }
}

TEST(HostThemes, ThemeFolderListsAtMostFiftyPictures) {
  testing::TempFolder folder("themes");
  for (int i = 0; i < 55; ++i) {
    // Appended, not "t" + number: GCC 12 at -O3 warns (-Wrestrict) about the latter.
    std::string name(1, 't');
    name += std::to_string(i);
    name += ".bmp";
    testing::WriteBytes(folder.path() / name, {1});
  }
  testing::WriteBytes(folder.path() / "notes.txt", {1});
  std::filesystem::create_directories(folder.path() / "sub.bmp");
  auto names = ListThemeFiles(folder.path());
  EXPECT_EQ(names.size(), 50u);
  for (const auto& name : names) EXPECT_EQ(name.substr(name.size() - 4), u".bmp");
  EXPECT_TRUE(ListThemeFiles(folder.path() / "missing").empty());

  // Pictures named in capitals (as cameras and the handheld write them) are themes too.
  testing::TempFolder few("themes_case");
  for (const char* name : {"A.BMP", "b.Bmp", "c.bmp", "d.bmpx", "e.BM", "BMP"})
    testing::WriteBytes(few.path() / name, {1});
  auto listed = ListThemeFiles(few.path());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::u16string>{u"A.BMP", u"b.Bmp", u"c.bmp"}));
}

TEST(HostThemes, ChoosingAThemeReplacesTheDataFileOnlyWithALoadablePicture) {
  ProgramFolder folder;
  folder.WriteTheme(9, 9, 9);
  testing::WriteSolidBmp(folder.themeFolder() / "blue.bmp", 240, 400, 200, 0, 0);
  testing::WriteBytes(folder.themeFolder() / "broken.bmp", {'B', 'M', 0, 0});
  testing::WriteSolidBmp(folder.root() / "outside.bmp", 240, 400, 0, 0, 200);
  Store({{u"firsttime", u"1"}});
  MessageRecorder recorder;
  HostRun run(folder);
  ASSERT_TRUE(run.updated);
  const auto original = testing::ReadBytes(folder.dataFile());
  testing::WriteBytes(folder.themeFolder() / "photo.bmp", testing::EncodeJpeg(240, 400));
  struct Case {
    const char16_t* name;
    bool applied;
  } cases[] = {
      {u"broken.bmp", false},     {u"photo.bmp", false}, {u"missing.bmp", false},
      {u"../outside.bmp", false}, {u"", false},          {u"blue.bmp", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::Utf16ToUtf8(c.name));
    recorder.Clear();
    EXPECT_EQ(run.session.ApplyTheme(c.name), c.applied);
    if (!c.applied) {
      EXPECT_EQ(testing::ReadBytes(folder.dataFile()), original);
      // The theme on screen stays as it was, and the user is told.
      EXPECT_EQ(testing::PixelOf(PartsBuffer(*run.session.host()), 100, 300),
                (testing::Pixel{9, 9, 9}));
      EXPECT_THAT(recorder.texts(), ElementsAre(std::u16string(kDataFileErrorText)));
    } else {
      EXPECT_TRUE(recorder.texts().empty());
    }
  }
  EXPECT_EQ(testing::ReadBytes(folder.dataFile()),
            testing::ReadBytes(folder.themeFolder() / "blue.bmp"));
  EXPECT_EQ(testing::PixelOf(PartsBuffer(*run.session.host()), 100, 300),
            (testing::Pixel{200, 0, 0}));
}

// A schedule moved to another file when the program was killed, between storing the new
// line and taking out the old one: the start finishes the move, and the day's other equal
// record stays.
TEST(HostStartup, AScheduleMoveCutShortIsFinished) {
  ProgramFolder folder;
  folder.WriteTheme(0, 0, 0);
  const std::filesystem::path data = folder.root() / "data";
  auto write = [](const std::filesystem::path& file,
                  std::initializer_list<std::u16string_view> lines) {
    std::string bytes;
    for (std::u16string_view line : lines) bytes += EncodeUtf16Line(line);
    std::filesystem::create_directories(file.parent_path());
    testing::WriteBytes(file, std::vector<uint8_t>(bytes.begin(), bytes.end()));
  };
  const std::u16string_view x = u"(2004,05,07,10,00 2004,05,07,11,00 -1)(x)";
  const std::u16string_view a = u"(2004,05,07,12,00 2004,05,07,13,00 -1)(a)";
  const std::u16string_view moved = u"(2004,05,07,10,00 2004,05,09,11,00 -1)(x)";
  write(data / "2004/5/7/sched.txt", {x, a, x});
  write(data / "2004/5/sched.txt", {moved});
  write(MoveIntentPath(data), {u"schedule move 1", u"2004/5/7/sched.txt", x, u"2",
                               u"2004/5/sched.txt", moved, u"0", u"0", u"end"});
  MessageRecorder recorder;
  HostRun run(folder);
  ASSERT_TRUE(run.created);
  EXPECT_EQ(ReadUtf16Lines(data / "2004/5/7/sched.txt"),
            (std::vector<std::u16string>{std::u16string(a), std::u16string(x)}));
  EXPECT_FALSE(std::filesystem::exists(MoveIntentPath(data)));
}

// A picture that does not load leaves the wallpaper on screen and the stored one as they
// were (the next start shows what is on screen now); "壁紙なし" clears both.
TEST(HostWallpaper, ScreenAndSettingStayTogether) {
  ProgramFolder folder;
  folder.WriteTheme(0, 0, 0);
  Store({{u"firsttime", u"1"}});
  const auto good = folder.root() / "good.jpg";
  testing::WriteBytes(good, testing::EncodeJpeg(64, 48));
  const auto broken = folder.root() / "broken.jpg";
  testing::WriteBytes(broken, {0xFF, 0xD8, 0x00});
  MessageRecorder recorder;
  HostRun run(folder);
  ASSERT_TRUE(run.updated);
  const PixelBuffer back = BackBuffer(*run.session.host());
  auto backBytes = [&] { return std::vector<uint8_t>(back.bits, back.bits + back.bytes); };
  const std::vector<uint8_t> white = backBytes();

  EXPECT_TRUE(run.session.ApplyWallpaper(platform::Utf8ToUtf16(good.string())));
  EXPECT_EQ(Stored(folder, u"wallpaper"), platform::Utf8ToUtf16(good.string()));
  const std::vector<uint8_t> shown = backBytes();
  ASSERT_NE(shown, white);
  EXPECT_TRUE(recorder.messages().empty());

  for (const auto& failing : {broken, folder.root() / "missing.jpg"}) {
    SCOPED_TRACE(failing.string());
    recorder.Clear();
    EXPECT_FALSE(run.session.ApplyWallpaper(platform::Utf8ToUtf16(failing.string())));
    EXPECT_FALSE(recorder.messages().empty()) << "the user is told";
    EXPECT_EQ(backBytes(), shown) << "the picture stays";
    EXPECT_EQ(run.session.settings().wallpaper, platform::Utf8ToUtf16(good.string()));
    EXPECT_EQ(Stored(folder, u"wallpaper"), platform::Utf8ToUtf16(good.string()));
  }

  recorder.Clear();
  run.view.presents.clear();
  run.session.RemoveWallpaper();
  EXPECT_EQ(backBytes(), white);
  EXPECT_TRUE(run.session.settings().wallpaper.empty());
  EXPECT_EQ(Stored(folder, u"wallpaper"), u"");
  ASSERT_FALSE(run.view.presents.empty());
  EXPECT_EQ(run.view.presents.back(), (testing::Presented{0, 0, 800, 600}));
  EXPECT_TRUE(recorder.messages().empty());
}

}  // namespace
}  // namespace yk
