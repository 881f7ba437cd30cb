// Key assignment, the font and the management tool as a user meets them: the build
// installed into a program folder of its own, the host started on it offscreen with the
// schedule plugin in a window, the dialogs driven through their controls.  The schedule
// plugin's "次の日" and the host's "今日へ移動" are bound to keys and act at once, the font
// is changed, and after a restart all three are still in force.  Then 管理ツール hands over
// to the installed updater, which runs an update package and starts the host again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "host/font_dialog.h"
#include "host/key_config_dialog.h"
#include "host/main_frame.h"
#include "host/management_tool.h"
#include "host/tavik_app.h"
#include "host/tavik_view.h"
#include "host/tests/app_test_support.h"
#include "host/tests/modal_driver.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/qt_data_exchange.h"
#include "platform/testing/message_recorder.h"
#include "platform/text_codec.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using platform::FindControl;
using platform::testing::MessageRecorder;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ModalDriver;

const ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new testing::QtEnvironment);

// Friday, 7 May 2004.
const platform::LocalTime kMorning{2004, 5, 7, 9, 0, 0, 5};

// In the key assignment dialog: selects the line that begins with `label`, presses
// 自動取得, then `key` in the capture dialog, and OK.
void BindKey(QDialog* dialog, const QString& label, Qt::Key key) {
  auto* list = FindControl<QListWidget>(dialog, KeyConfigDialog::kKeyList);
  ASSERT_NE(list, nullptr);
  const auto found = list->findItems(label, Qt::MatchStartsWith | Qt::MatchCaseSensitive);
  ASSERT_FALSE(found.isEmpty()) << label.toStdString();
  list->setCurrentItem(found.front());
  ModalDriver capture("145", [key](QDialog* captureDialog) {
    QTest::keyClick(captureDialog, key);
    QTest::qWait(0);
  });
  QTest::mouseClick(FindControl<QPushButton>(dialog, KeyConfigDialog::kCaptureButton),
                    Qt::LeftButton);
  ASSERT_TRUE(capture.ran());
  QTest::mouseClick(FindControl<QPushButton>(dialog, KeyConfigDialog::kOkButton), Qt::LeftButton);
}

bool AppearsSoon(const fs::path& file) {
  for (int i = 0; i < 3000; ++i) {
    if (fs::exists(file)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

std::vector<std::string> LinesOf(const fs::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class InstalledOrganizer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(testing::InstallBuildInto(prefix()));
    ASSERT_TRUE(fs::is_regular_file(prefix() / "plugin" / "tvk_sched_hpc2karm.plg"));
    ASSERT_TRUE(fs::is_regular_file(prefix() / "tavik_upd_hpc2k")) << "the updater is installed";
    fs::create_directories(config());
    ::setenv("XDG_CONFIG_HOME", config().c_str(), 1);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(config().string()));
    QSettings seed(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
    seed.setValue("setting/firsttime", "1");
    seed.setValue("setting/win_num", "1");
    seed.setValue("setting/winwidth0", "240");
    seed.setValue("setting/winheight0", "200");
    seed.setValue(
        "setting/winplg0",
        QString::fromStdString((prefix() / "plugin" / "tvk_sched_hpc2karm.plg").string()));
    seed.sync();
    platform::SetClockOverride(kMorning);
  }
  void TearDown() override {
    app_.reset();
    platform::SetClockOverride(std::nullopt);
  }

  fs::path prefix() const { return root_.path() / "program"; }
  fs::path config() const { return root_.path() / "config"; }
  fs::path settingsFile() const { return config() / "Vantor Studio" / "tavik-hpc2k.conf"; }

  void Start() {
    app_ = std::make_unique<CTavikApp>();
    CTavikApp::Options options;
    options.appFolder = platform::Utf8ToUtf16(prefix().string() + "/");
    options.singleInstance = false;
    ASSERT_TRUE(app_->InitInstance(options));
    ASSERT_EQ(host().windowCount, 1);
    ASSERT_EQ(host().slots[host().order[0]].name.get(), u"スケジュール");
  }
  void Quit() {
    ASSERT_TRUE(app_->frame()->RunCommand(kCommandExit));
    app_.reset();
  }
  CMainFrame& frame() { return *app_->frame(); }
  CTavikView& view() { return *app_->view(); }
  HostContext& host() { return *view().session().host(); }
  int ShownDay() { return host().todayDay; }
  void Press(Qt::Key key) { QTest::keyClick(&view(), key); }

  testing::TempFolder root_{"e2e_settings"};
  MessageRecorder recorder_;
  std::unique_ptr<CTavikApp> app_;
};

TEST_F(InstalledOrganizer, BoundKeysAndTheFontActAtOnceAndSurviveARestart) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(ShownDay(), 7);
  Press(Qt::Key_N);
  ASSERT_EQ(ShownDay(), 7) << "N is bound to nothing yet";

  // The schedule plugin's own table: "次の日" on N.
  ModalDriver pluginKeys("144", [](QDialog* dialog) { BindKey(dialog, "次の日", Qt::Key_N); });
  ASSERT_TRUE(frame().RunCommand(kCommandPluginKeys));
  ASSERT_TRUE(pluginKeys.ran());
  Press(Qt::Key_N);
  EXPECT_EQ(ShownDay(), 8) << "the plugin uses its new key at once";

  // The host's "今日へ移動" on F5.
  ModalDriver hostKeys("144", [](QDialog* dialog) { BindKey(dialog, "今日へ移動", Qt::Key_F5); });
  ASSERT_TRUE(frame().RunCommand(kCommandHostKeys));
  ASSERT_TRUE(hostKeys.ran());
  Press(Qt::Key_F5);
  EXPECT_EQ(ShownDay(), 7) << "the host's key acts at once";

  // The font: every window drawn again in the face chosen.
  const QImage before = view().grab().toImage();
  ModalDriver font("146", [](QDialog* dialog) {
    auto* list = FindControl<QListWidget>(dialog, FontDialog::kFontList);
    ASSERT_NE(list, nullptr);
    const auto found = list->findItems(QStringLiteral("IPAGothic"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    list->setCurrentItem(found.front());
    QTest::mouseClick(FindControl<QPushButton>(dialog, FontDialog::kOkButton), Qt::LeftButton);
  });
  ASSERT_TRUE(frame().RunCommand(kCommandFont));
  ASSERT_TRUE(font.ran());
  EXPECT_EQ(host().fontName.get(), u"IPAGothic");
  EXPECT_NE(view().grab().toImage(), before);
  EXPECT_THAT(recorder_.texts(), IsEmpty());
  ASSERT_NO_FATAL_FAILURE(Quit());

  {
    QSettings stored(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
    EXPECT_EQ(stored.value("setting/keytoday").toString(), "116");
    EXPECT_EQ(stored.value("setting/font").toString(), "IPAGothic");
    EXPECT_EQ(stored.value("plugin_tavik_sched/key1").toString(), "78");
  }

  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(host().fontName.get(), u"IPAGothic");
  Press(Qt::Key_N);
  Press(Qt::Key_N);
  EXPECT_EQ(ShownDay(), 9);
  Press(Qt::Key_F5);
  EXPECT_EQ(ShownDay(), 7);
  ASSERT_NO_FATAL_FAILURE(Quit());
}

// 管理ツール: the installed updater starts with "102", the host closes in order, the
// updater runs the update package of the program folder and, as the package asks, starts
// the host program (here a stand-in that notes how it was started).
TEST_F(InstalledOrganizer, ManagementToolHandsOverToTheInstalledUpdater) {
  fs::copy_file(fs::path(YK_TEST_PACKAGE_DIR) / "upd_restart.plg",
                prefix() / "plugin" / "tavik_upd_hpc2karm.plg");
  ASSERT_NO_FATAL_FAILURE(Start());
  const fs::path hostProgram = prefix() / "tavik-hpc2k";
  fs::remove(hostProgram);
  std::ofstream(hostProgram) << "#!/bin/sh\nprintf '%s|%s\\n' \"$PWD\" \"$#\" >> host.log\n";
  fs::permissions(hostProgram, fs::perms::owner_all);

  // The updater looks for a running host in the temporary folder before it restarts it:
  // one of its own, so that a host running elsewhere on this machine does not delay it.
  const fs::path temp = root_.path() / "tmp";
  fs::create_directories(temp);
  const char* savedTemp = std::getenv("TMPDIR");
  const std::string previousTemp = savedTemp ? savedTemp : "";
  ::setenv("TMPDIR", temp.c_str(), 1);
  recorder_.Answer(platform::kIdYes);
  ASSERT_TRUE(frame().RunCommand(kCommandManagementTool));
  if (savedTemp)
    ::setenv("TMPDIR", previousTemp.c_str(), 1);
  else
    ::unsetenv("TMPDIR");
  EXPECT_THAT(recorder_.texts(), ElementsAre(kManagementToolQuestion));
  EXPECT_EQ(platform::DeliverPostedMessages(), 1u);
  EXPECT_FALSE(view().session().ready()) << "the host closed";

  ASSERT_TRUE(AppearsSoon(prefix() / "host.log")) << "the host was not started again";
  EXPECT_THAT(LinesOf(prefix() / "package.log"), ElementsAre("R " + prefix().string() + "/ 1"));
  EXPECT_THAT(LinesOf(prefix() / "host.log"), ElementsAre(prefix().string() + "|0"));
  QSettings updater(
      QString::fromStdString((config() / "Vantor Studio" / "tavik_upd_hpc2k.conf").string()),
      QSettings::IniFormat);
  EXPECT_EQ(updater.value("update_test/calls").toString(), "1");
}

}  // namespace
}  // namespace yk
