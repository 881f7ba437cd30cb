// The Qt layer of the host: the application object, the frame's menu, tool bar and
// accelerators, the view's painting and input, the request message and plugin timers, and
// the settings and about dialogs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "host/about_dialog.h"
#include "host/main_frame.h"
#include "host/plugin_host.h"
#include "host/settings_dialog.h"
#include "host/tavik_app.h"
#include "host/tavik_view.h"
#include "host/tests/app_test_support.h"
#include "host/tests/plugins/call_log.h"
#include "host/theme_dialog.h"
#include "host/window_manager.h"
#include "platform/messages.h"
#include "platform/qt_data_exchange.h"
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

// One saved window showing the recording plugin A.
void StoreOneWindow(int left, int top, int width, int height) {
  auto text = [](int n) { return platform::Utf8ToUtf16(std::to_string(n)); };
  Store({{u"win_num", u"1"},
         {u"winleft0", text(left)},
         {u"wintop0", text(top)},
         {u"winwidth0", text(width)},
         {u"winheight0", text(height)},
         {u"winplg0", PluginPath("rec_a.plg")}});
}

class HostApp : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteTheme(0, 0, 0);
    Store({{u"firsttime", u"1"}});
    (void)yk::testing::TakeCalls();
  }
  void TearDown() override {
    app_.reset();
    yk::testing::ClearAnswers();
    (void)yk::testing::TakeCalls();
  }
  // A screen whose available area is `area` (the offscreen screen's when empty).
  bool Start(QSize size = kDefaultClientSize, QSize area = {}) {
    app_ = std::make_unique<CTavikApp>();
    CTavikApp::Options options;
    options.clientSize = size;
    options.availableArea = area;
    options.appFolder = folder_.appFolder();
    options.singleInstance = false;
    return app_->InitInstance(options);
  }
  CMainFrame& frame() { return *app_->frame(); }
  CTavikView& view() { return *app_->view(); }
  HostContext& host() { return *view().session().host(); }

  ProgramFolder folder_;
  MessageRecorder recorder_;
  std::unique_ptr<CTavikApp> app_;
};

TEST_F(HostApp, AMissingDataFileEndsTheProgramWithItsMessage) {
  std::filesystem::remove(folder_.dataFile());
  EXPECT_FALSE(Start());
  EXPECT_THAT(recorder_.texts(), ElementsAre(u"データファイルの読み込みに失敗しました"));
  EXPECT_FALSE(view().session().ready());
}

TEST_F(HostApp, MenuHoldsEveryCommandAndEnablesWhatIsBuilt) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(frame().windowTitle(), "Yomitoki");
  struct Case {
    int id;
    const char* text;
    bool enabled;
  } cases[] = {
      {32783, "今日(&T)", true},
      {32785, "休日データ(&H)", false},
      {32786, "キー設定(&K)", true},
      {32780, "ウィンドウ(&W)", true},
      {32784, "テーマ(&T)", true},
      {32788, "フォント(&F)", true},
      {32792, "ダイヤルアップ(&D)", true},
      {32791, "データフォルダ(&F)", false},
      {32790, "データ更新(&D)", true},
      {32793, "ﾀﾞｲﾔﾙｱｯﾌﾟ(&U)", true},
      {32782, "壁紙(&R)", true},
      {32801, "壁紙なし(&N)", false},  // no wallpaper to remove
      {32789, "管理ツール(&M)", true},
      {57664, "情報(&A)", true},
      {57665, "終了(&X)", true},
      {32773, "新規作成", true},
      {32774, "最大化", true},
      {32772, "閉じる", true},
      {32777, "最前面へ", true},
      {32775, "前面へ", true},
      {32776, "背面へ", true},
      {32778, "最背面へ", true},
      {32781, "選択(&L)", false},
      {32779, "設定(&S)", true},
      {32787, "キー設定(&K)", true},
      {32794, "メモ(&M)", false},
      {32795, "検索(&S)", false},
      {32797, "カレンダー(&C)", false},
      {32798, "予定・仕事(&S)", false},
      {32799, "日記・メモ(&D)", false},
      {32796, "天気予報(&T)", false},
      {32800, "アイコン(&I)", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    QAction* action = frame().Command(c.id);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QString::fromUtf8(c.text));
    EXPECT_EQ(action->isEnabled(), c.enabled);
  }
  QStringList menus;
  for (QAction* a : frame().menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus,
            QStringList({"Yomitoki(&F)", "ウィンドウ(&W)", "プラグイン(&P)", "クイック(&Q)"}));
}

TEST_F(HostApp, ToolBarAndAccelerators) {
  ASSERT_TRUE(Start());
  auto* bar = frame().findChild<QToolBar*>("128");
  ASSERT_NE(bar, nullptr);
  QList<int> ids;
  for (QAction* a : bar->actions()) ids << (a->isSeparator() ? 0 : a->data().toInt());
  EXPECT_EQ(ids, QList<int>({32773, 32774, 32772, 0, 32781}));
  struct Case {
    int id;
    QKeySequence keys;
  } cases[] = {
      {32772, QKeySequence("Ctrl+C")},    {32773, QKeySequence("Ctrl+N")},
      {32781, QKeySequence("Ctrl+P")},    {32794, QKeySequence("Ctrl+Q")},
      {32783, QKeySequence("Ctrl+T")},    {32778, QKeySequence("Ctrl+Down")},
      {32776, QKeySequence("Ctrl+Left")}, {32775, QKeySequence("Ctrl+Right")},
      {32777, QKeySequence("Ctrl+Up")},   {32774, QKeySequence("Ctrl+X")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(frame().Command(c.id)->shortcut(), c.keys);
  }
}

TEST_F(HostApp, LaterModulesEnableTheirCommandsThroughHandlers) {
  int ran = 0;
  app_ = std::make_unique<CTavikApp>();
  app_->AddExtension([&ran](CMainFrame& frame, CTavikView&) {
    frame.SetCommandHandler(kCommandHolidays, [&ran] { ++ran; });
  });
  CTavikApp::Options options;
  options.appFolder = folder_.appFolder();
  options.singleInstance = false;
  ASSERT_TRUE(app_->InitInstance(options));
  EXPECT_TRUE(frame().Command(kCommandHolidays)->isEnabled());
  frame().Command(kCommandHolidays)->trigger();
  EXPECT_EQ(ran, 1);
  frame().SetCommandHandler(kCommandHolidays, nullptr);
  EXPECT_FALSE(frame().Command(kCommandHolidays)->isEnabled());
  EXPECT_FALSE(frame().RunCommand(kCommandHolidays));
  EXPECT_FALSE(frame().RunCommand(kCommandDataFolder));
}

// A command with an update function is greyed while it answers false: asked as its menu
// opens, and again when the command is run by an accelerator.
TEST_F(HostApp, UpdateFunctionsGreyCommandsThatCannotRunNow) {
  ASSERT_TRUE(Start());
  bool possible = false;
  int ran = 0;
  frame().SetCommandHandler(kCommandFont, [&ran] { ++ran; });
  frame().SetCommandUpdate(kCommandFont, [&possible] { return possible; });
  QAction* font = frame().Command(kCommandFont);
  EXPECT_FALSE(font->isEnabled());
  possible = true;
  QMenu* settings = nullptr;
  for (QMenu* menu : frame().menuBar()->findChildren<QMenu*>())
    if (menu->title() == QStringLiteral("設定(&S)") && menu->actions().contains(font))
      settings = menu;
  ASSERT_NE(settings, nullptr);
  Q_EMIT settings->aboutToShow();
  EXPECT_TRUE(font->isEnabled());
  EXPECT_TRUE(frame().RunCommand(kCommandFont));
  EXPECT_EQ(ran, 1);
  possible = false;
  EXPECT_FALSE(frame().RunCommand(kCommandFont));
  EXPECT_FALSE(font->isEnabled());
  EXPECT_EQ(ran, 1);
  frame().SetCommandUpdate(kCommandFont, nullptr);
  EXPECT_TRUE(font->isEnabled());
}

// "壁紙なし" is there to use while a wallpaper is shown, and clears it.
TEST_F(HostApp, WallpaperNoneClearsTheWallpaper) {
  const auto picture = folder_.root() / "w.jpg";
  testing::WriteBytes(picture, testing::EncodeJpeg(32, 32));
  Store({{u"wallpaper", platform::Utf8ToUtf16(picture.string())}});
  ASSERT_TRUE(Start());
  QAction* none = frame().Command(kCommandWallpaperNone);
  ASSERT_NE(none, nullptr);
  EXPECT_TRUE(none->isEnabled());
  none->trigger();
  EXPECT_TRUE(view().session().settings().wallpaper.empty());
  EXPECT_EQ(platform::OpenSettingsProfile()->GetString(u"setting", u"wallpaper", u"?"), u"");
  frame().UpdateCommands();
  EXPECT_FALSE(none->isEnabled());
}

// The check mark shows the stored "dialuse" from the start, and two toggles bring mark and
// setting back to where they were.
TEST_F(HostApp, DialupToggleTwiceRestoresCheckAndSetting) {
  for (const bool stored : {false, true}) {
    SCOPED_TRACE(stored);
    Store({{u"dialuse", stored ? u"1" : u"0"}});
    ASSERT_TRUE(Start());
    QAction* toggle = frame().Command(kCommandDialupToggle);
    ASSERT_EQ(toggle->isChecked(), stored) << "the check mark at start-up";
    for (const bool expected : {!stored, stored}) {
      toggle->trigger();
      EXPECT_EQ(toggle->isChecked(), expected);
      EXPECT_EQ(host().dialUse, expected ? 1 : 0);
      EXPECT_EQ(platform::OpenSettingsProfile()->GetInt(u"setting", u"dialuse", -1),
                expected ? 1 : 0);
    }
    app_.reset();
  }
}

TEST_F(HostApp, BuffersHoldTheScreensAvailableAreaAndTheViewShowsItsOwnSize) {
  ASSERT_TRUE(Start(QSize(637, 400), QSize(1021, 700)));
  EXPECT_EQ(view().size(), QSize(637, 400));
  EXPECT_EQ(host().bufferWidth, 1024);  // rounded up to a multiple of 8
  EXPECT_EQ(host().bufferHeight, 700);
  EXPECT_EQ(host().clientWidth, 637);
  EXPECT_EQ(host().clientHeight, 400);
  EXPECT_EQ(host().gridWidth, 635);
  EXPECT_EQ(host().viewWindow, view().windowHandle());
  EXPECT_EQ(host().mainWnd, frame().windowHandle());
}

TEST_F(HostApp, ViewShowsTheCompositionBufferUpright) {
  ASSERT_TRUE(Start());
  QImage shown = view().grab().toImage();
  ASSERT_EQ(shown.size(), QSize(800, 600));
  // The fresh window at (0, 0) 240 x 100: black left border from y = 20, white content,
  // black bottom border at y = 98..99; the view is white below it.
  struct Probe {
    int x, y;
    QRgb colour;
  } probes[] = {
      {0, 50, qRgb(0, 0, 0)},          {120, 60, qRgb(255, 255, 255)},  {120, 99, qRgb(0, 0, 0)},
      {120, 101, qRgb(255, 255, 255)}, {600, 500, qRgb(255, 255, 255)},
  };
  for (const auto& p : probes) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    EXPECT_EQ(shown.pixel(p.x, p.y) & 0xFFFFFF, p.colour & 0xFFFFFF);
  }
  // Repainting a part shows the same pixels as the whole.
  const QRect part(0, 40, 130, 70);
  QImage partial(view().size(), QImage::Format_RGB32);
  partial.fill(Qt::red);
  // render() puts the region's top-left corner at the offset given.
  view().render(&partial, part.topLeft(), QRegion(part));
  int differing = 0;
  for (int y = part.top(); y <= part.bottom(); ++y) {
    for (int x = part.left(); x <= part.right(); ++x) {
      if ((partial.pixel(x, y) & 0xFFFFFF) != (shown.pixel(x, y) & 0xFFFFFF) && differing++ < 3)
        ADD_FAILURE() << x << "," << y << " " << std::hex << partial.pixel(x, y) << " vs "
                      << shown.pixel(x, y);
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST_F(HostApp, StylusAndKeysReachTheWindowManager) {
  Store({{u"win_num", u"1"},
         {u"winwidth0", u"240"},
         {u"winheight0", u"100"},
         {u"winplg0", PluginPath("rec_a.plg")},
         {u"keytoday", u"116"}});
  ASSERT_TRUE(Start());
  ASSERT_EQ(host().windowCount, 1);
  (void)yk::testing::TakeCalls();
  QTest::mouseClick(&view(), Qt::LeftButton, {}, QPoint(50, 60));
  QTest::keyClick(&view(), Qt::Key_A);
  QTest::keyClick(&view(), Qt::Key_F5);  // the "today" host key never reaches the plugin
  EXPECT_THAT(yk::testing::TakeCalls(), ElementsAre("A:mouse_down 50 60", "A:mouse_up 50 60",
                                                    "A:key_down 65", "A:key_up 65", "A:notify 4"));
  // A click on the close button closes the window.
  QTest::mouseClick(&view(), Qt::LeftButton, {}, QPoint(235, 5));
  EXPECT_EQ(host().windowCount, 0);
}

TEST_F(HostApp, RequestMessageStartsAndStopsThePluginTimer) {
  Store({{u"win_num", u"1"}, {u"winplg0", PluginPath("rec_a.plg")}});
  ASSERT_TRUE(Start());
  (void)platform::DeliverPostedMessages();
  (void)yk::testing::TakeCalls();
  host().requestCode = kRequestTimer;
  host().requestWindow = 0;
  host().timerInterval = 1000;
  ASSERT_TRUE(platform::PostMessage(host().viewWindow, kRequestMessage));
  EXPECT_EQ(platform::DeliverPostedMessages(), 1u);
  EXPECT_EQ(platform::TimerPeriod(host().viewWindow, 10), 1000u);
  EXPECT_TRUE(platform::FireTimer(host().viewWindow, 10));
  EXPECT_THAT(yk::testing::TakeCalls(), ElementsAre("A:notify 3"));
  host().timerInterval = 0;
  ASSERT_TRUE(platform::PostMessage(host().viewWindow, kRequestMessage));
  (void)platform::DeliverPostedMessages();
  EXPECT_FALSE(platform::TimerRunning(host().viewWindow, 10));
}

TEST_F(HostApp, ClosingTheFrameSavesTheLayout) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(frame().RunCommand(kCommandNewWindow));
  ASSERT_EQ(host().windowCount, 2);
  frame().close();
  EXPECT_FALSE(view().session().ready());
  auto profile = platform::OpenSettingsProfile();
  EXPECT_EQ(profile->GetInt(u"setting", u"win_num", -1), 2);
  EXPECT_EQ(profile->GetInt(u"setting", u"winleft1", -1), 10);
}

TEST_F(HostApp, ResizingTheMainWindowKeepsWindowsWithinReachAndItsSizeIsRestored) {
  StoreOneWindow(500, 300, 240, 150);
  ASSERT_TRUE(Start());
  ASSERT_EQ(host().clientWidth, 800);
  const QSize bars = frame().size() - view().size();  // menu and tool bar

  // Smaller: the window moves to stay whole within the view, and the plugin draws nothing
  // new (its size did not change).
  (void)yk::testing::TakeCalls();
  frame().resize(QSize(600, 400) + bars);
  QApplication::processEvents();
  ASSERT_EQ(view().size(), QSize(600, 400));
  EXPECT_EQ(host().clientWidth, 600);
  EXPECT_EQ(host().gridHeight, 400);
  const PluginSlot& slot = host().slots[host().order[0]];
  EXPECT_EQ(slot.left, 360);
  EXPECT_EQ(slot.top, 250);
  EXPECT_EQ(yk::testing::TakeCalls(), std::vector<std::string>{});
  // The window is drawn where it now is: its close button answers there.
  EXPECT_EQ(view().grab().toImage().pixel(360, 290) & 0xFFFFFF, 0u) << "left border";

  // Larger again: it goes back; the frame's place and size are stored at the end.
  frame().resize(QSize(780, 560) + bars);
  frame().move(30, 20);
  QApplication::processEvents();
  EXPECT_EQ(slot.left, 500);
  EXPECT_EQ(slot.top, 300);
  const QRect geometry = frame().geometry();
  frame().close();
  auto profile = platform::OpenSettingsProfile();
  EXPECT_EQ(profile->GetInt(u"setting", u"mainwidth", 0), geometry.width());
  EXPECT_EQ(profile->GetInt(u"setting", u"mainheight", 0), geometry.height());
  EXPECT_EQ(profile->GetInt(u"setting", u"mainmax", -1), 0);
  app_.reset();

  // The next start opens at that size, the view as large as it was.
  ASSERT_TRUE(Start());
  EXPECT_EQ(frame().size(), geometry.size());
  EXPECT_EQ(view().size(), QSize(780, 560));
  EXPECT_EQ(host().clientWidth, 780);
  EXPECT_EQ(host().slots[host().order[0]].left, 500);
}

// The screen image of the window at host (20, 10), 240 x 100, at factor 2: host pixel (x, y)
// covers device pixels 2x..2x+1, 2y..2y+1, copied, never blended.  The left border (host
// x 20, 21) is device x 40..43, the content starts at 44; the bottom border (host y 108,
// 109) is device y 216..219.
void ExpectTwoByTwoPixels(const QImage& shown) {
  ASSERT_EQ(shown.size(), QSize(800, 600));
  struct Probe {
    int x, y;
    QRgb colour;
  } probes[] = {
      {39, 100, qRgb(255, 255, 255)},  {40, 100, qRgb(0, 0, 0)},
      {43, 100, qRgb(0, 0, 0)},        {44, 100, qRgb(255, 255, 255)},
      {300, 215, qRgb(255, 255, 255)}, {300, 216, qRgb(0, 0, 0)},
      {300, 219, qRgb(0, 0, 0)},       {300, 220, qRgb(255, 255, 255)},
      {799, 599, qRgb(255, 255, 255)},
  };
  for (const auto& p : probes) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    EXPECT_EQ(shown.pixel(p.x, p.y) & 0xFFFFFF, p.colour & 0xFFFFFF);
  }
}

TEST_F(HostApp, AMaximisedMainWindowOpensMaximisedAndKeepsItsNormalSize) {
  Store({{u"mainleft", u"40"},
         {u"maintop", u"30"},
         {u"mainwidth", u"500"},
         {u"mainheight", u"400"},
         {u"mainmax", u"1"}});
  ASSERT_TRUE(Start());
  QApplication::processEvents();
  EXPECT_TRUE(frame().isMaximized());
  frame().close();
  auto profile = platform::OpenSettingsProfile();
  EXPECT_EQ(profile->GetInt(u"setting", u"mainmax", -1), 1);
  EXPECT_EQ(profile->GetInt(u"setting", u"mainwidth", -1), 500);
  EXPECT_EQ(profile->GetInt(u"setting", u"mainheight", -1), 400);
  EXPECT_EQ(profile->GetInt(u"setting", u"mainleft", -1), 40);
}

TEST_F(HostApp, AtScaleTwoAPixelIsTwoByTwoAndClicksReachThePluginExactly) {
  Store({{u"scale", u"2"}});
  StoreOneWindow(20, 10, 240, 100);
  ASSERT_TRUE(Start(QSize(800, 600), QSize(1000, 700)));
  EXPECT_EQ(view().scale().factor(), 2);
  EXPECT_EQ(host().bufferWidth, 504);  // 1000 / 2 rounded up to a multiple of 8
  EXPECT_EQ(host().bufferHeight, 350);
  EXPECT_EQ(host().clientWidth, 400);
  EXPECT_EQ(host().clientHeight, 300);

  ExpectTwoByTwoPixels(view().grab().toImage());

  // Both view pixels of a host pixel reach the plugin as that host pixel, relative to the
  // window: view (140, 140) and (141, 141) are host (70, 70), window (50, 60).
  (void)yk::testing::TakeCalls();
  const struct {
    QPoint view;
    const char* down;
  } clicks[] = {{{140, 140}, "A:mouse_down 50 60"},
                {{141, 141}, "A:mouse_down 50 60"},
                {{142, 141}, "A:mouse_down 51 60"}};
  for (const auto& c : clicks) {
    SCOPED_TRACE(c.down);
    QTest::mouseClick(&view(), Qt::LeftButton, {}, c.view);
    const auto calls = yk::testing::TakeCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), c.down);
  }
  // The close button at host (255, 15) is view (510, 30).
  QTest::mouseClick(&view(), Qt::LeftButton, {}, QPoint(510, 30));
  EXPECT_EQ(host().windowCount, 0);
}

// ctest runs this case again as app_frame_dense_test with QT_SCALE_FACTOR=2: a screen of
// device-pixel ratio 2, on which the automatic factor is 2 and a host pixel is one logical
// pixel.
TEST_F(HostApp, OnAHighDensityScreenTheViewIsAsLargeAndSharp) {
  if (qApp->devicePixelRatio() < 2) GTEST_SKIP() << "needs a screen of device-pixel ratio 2";
  StoreOneWindow(20, 10, 240, 100);
  ASSERT_TRUE(Start(QSize(400, 300), QSize(500, 350)));
  EXPECT_EQ(view().scale().factor(), 2);
  EXPECT_EQ(host().bufferWidth, 504);
  EXPECT_EQ(host().bufferHeight, 350);
  EXPECT_EQ(host().clientWidth, 400);
  const QImage shown = view().grab().toImage();
  EXPECT_EQ(shown.devicePixelRatio(), 2.0);
  ExpectTwoByTwoPixels(shown);
  (void)yk::testing::TakeCalls();
  QTest::mouseClick(&view(), Qt::LeftButton, {}, QPoint(70, 70));
  const auto calls = yk::testing::TakeCalls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(), "A:mouse_down 50 60");
}

TEST_F(HostApp, ChoosingAScaleWhileRunningAppliesAtOnceAndIsStored) {
  ASSERT_TRUE(Start(QSize(800, 600), QSize(800, 600)));
  EXPECT_EQ(view().scale().factor(), 1) << "automatic on a normal screen";
  view().SetScaleChoice(2);
  EXPECT_EQ(view().scale().factor(), 2);
  EXPECT_EQ(host().clientWidth, 400);
  EXPECT_EQ(host().clientHeight, 300);
  EXPECT_EQ(platform::OpenSettingsProfile()->GetInt(u"setting", u"scale", -1), 2);
  // Back to one: the buffers were made for the whole screen, so the view is whole again.
  view().SetScaleChoice(1);
  EXPECT_EQ(host().clientWidth, 800);
  EXPECT_EQ(platform::OpenSettingsProfile()->GetInt(u"setting", u"scale", -1), 1);
}

TEST_F(HostApp, TheWallpaperDialogSpeaksJapanese) {
  ASSERT_TRUE(Start());
  QStringList labels, buttons;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return ADD_FAILURE() << "no file dialog";
    for (QLabel* label : dialog->findChildren<QLabel*>()) labels << label->text();
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) buttons << button->text();
    dialog->reject();
  });
  ASSERT_TRUE(frame().RunCommand(kCommandWallpaper));
  EXPECT_TRUE(labels.contains(u"ファイルの種類:"_qs)) << labels.join(' ').toStdString();
  EXPECT_TRUE(buttons.contains(u"キャンセル"_qs)) << buttons.join(' ').toStdString();
  // Our own texts are as they were.
  EXPECT_EQ(frame().Command(kCommandWallpaper)->text(), u"壁紙(&R)"_qs);
}

TEST(SettingsDialog, GridStepOutsideOneToTwentyKeepsTheDialogOpen) {
  struct Case {
    const char* text;
    bool accepted;
    int stored;
  } cases[] = {
      {"0", false, 5}, {"21", false, 5}, {"abc", false, 5}, {"", false, 5},
      {"1", true, 1},  {"20", true, 20}, {" 12", true, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    MessageRecorder recorder;
    WindowSettingsFields fields;
    SettingsDialog dialog(fields);
    auto* grid = platform::FindControl<QLineEdit>(&dialog, SettingsDialog::kGridEdit);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->text(), "5");
    grid->setText(QString::fromUtf8(c.text));
    platform::FindControl<QRadioButton>(&dialog, SettingsDialog::kPluginNextRadio)
        ->setChecked(true);
    dialog.accept();
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
    EXPECT_EQ(dialog.fields().gridStep, c.stored);
    EXPECT_EQ(dialog.fields().pluginButton, c.accepted ? 1 : 0);
    if (c.accepted) {
      EXPECT_TRUE(recorder.messages().empty());
    } else {
      ASSERT_EQ(recorder.messages().size(), 1u);
      EXPECT_NE(recorder.messages()[0].text.find(u"1 から 20 までの整数を入力してください。"),
                std::u16string::npos);
    }
  }
}

TEST(SettingsDialog, DisplayScaleIsChosenFromItsList) {
  const struct {
    int stored;
    QString shown;
    int chosenRow, result;
  } cases[] = {{0, "自動", 2, 2}, {1, "1×", 0, 0}, {3, "3×", 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    WindowSettingsFields fields;
    fields.scale = c.stored;
    SettingsDialog dialog(fields);
    auto* list = platform::FindControl<QComboBox>(&dialog, SettingsDialog::kScaleList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 4);
    EXPECT_EQ(list->currentText(), c.shown);
    list->setCurrentIndex(c.chosenRow);
    dialog.accept();
    EXPECT_EQ(dialog.fields().scale, c.result);
  }
}

TEST(SettingsDialog, ControlsStartFromTheCurrentValues) {
  WindowSettingsFields fields{0, 1, 12, 1, 0};
  SettingsDialog dialog(fields);
  EXPECT_EQ(dialog.windowTitle(), "設定");
  EXPECT_FALSE(platform::FindControl<QAbstractButton>(&dialog, 1003)->isChecked());
  EXPECT_TRUE(platform::FindControl<QAbstractButton>(&dialog, 1005)->isChecked());
  EXPECT_EQ(platform::FindControl<QLineEdit>(&dialog, 1001)->text(), "12");
  EXPECT_NE(platform::FindControl<QWidget>(&dialog, 1006), nullptr);
  EXPECT_FALSE(platform::FindControl<QRadioButton>(&dialog, 1041)->isChecked());
  EXPECT_TRUE(platform::FindControl<QRadioButton>(&dialog, 1042)->isChecked());
}

TEST(ThemeDialog, GivesBackTheChosenFile) {
  ThemeDialog dialog({u"light.bmp", u"dark.bmp"});
  EXPECT_EQ(dialog.windowTitle(), "テーマの選択");
  auto* list = platform::FindControl<QListWidget>(&dialog, ThemeDialog::kThemeList);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count(), 2);
  list->setCurrentRow(1);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.chosen(), u"dark.bmp");
  ThemeDialog empty({});
  empty.accept();
  EXPECT_TRUE(empty.chosen().empty());
}

TEST(AboutDialog, ShowsNameAndVersion) {
  AboutDialog dialog(QPixmap(16, 16));
  EXPECT_EQ(dialog.windowTitle(), "バージョン情報");
  QStringList texts;
  for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("Yomitoki"));
  EXPECT_TRUE(texts.contains("Version 1.02"));
}

}  // namespace
}  // namespace yk
