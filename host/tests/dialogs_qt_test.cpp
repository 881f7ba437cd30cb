// The Qt side of plugin selection and the holiday editor: the dialogs' controls, and the
// commands the host program gets from InstallHostDialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "common/holiday.h"
#include "host/holiday_entry_dialog.h"
#include "host/holiday_list_dialog.h"
#include "host/host_dialogs.h"
#include "host/main_frame.h"
#include "host/plugin_host.h"
#include "host/plugin_select_dialog.h"
#include "host/tavik_app.h"
#include "host/tavik_view.h"
#include "host/tests/app_test_support.h"
#include "host/tests/plugins/call_log.h"
#include "host/window_manager.h"
#include "platform/clock.h"
#include "platform/qt_data_exchange.h"
#include "platform/testing/message_recorder.h"

namespace yk {
namespace {

using platform::FindControl;
using platform::testing::MessageRecorder;
using testing::ProgramFolder;
using testing::WhenModalOpens;

const ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new testing::QtEnvironment);

void Click(const QWidget* dialog, int id) {
  auto* button = FindControl<QPushButton>(dialog, id);
  ASSERT_NE(button, nullptr) << id;
  button->click();
}

class HostWithDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteTheme(0, 0, 0);
    auto profile = platform::OpenSettingsProfile();
    profile->WriteString(u"setting", u"firsttime", u"1");
    std::filesystem::create_directories(folder_.root() / "plugin");
    (void)yk::testing::TakeCalls();
  }
  void TearDown() override {
    app_.reset();
    (void)yk::testing::TakeCalls();
  }
  void Install(const char* built, const char* name) {
    std::filesystem::copy_file(std::filesystem::path(YK_TEST_PLUGIN_DIR) / built,
                               folder_.root() / "plugin" / name);
  }
  void Start() {
    app_ = std::make_unique<CTavikApp>();
    app_->AddExtension(InstallHostDialogs);
    CTavikApp::Options options;
    options.appFolder = folder_.appFolder();
    options.singleInstance = false;
    ASSERT_TRUE(app_->InitInstance(options));
  }
  CMainFrame& frame() { return *app_->frame(); }
  HostContext& host() { return *app_->view()->session().host(); }
  PluginSlot& SlotAt(int p) { return host().slots[host().order[p]]; }

  ProgramFolder folder_;
  MessageRecorder recorder_;
  std::unique_ptr<CTavikApp> app_;
};

TEST_F(HostWithDialogs, CommandsAreEnabled) {
  Start();
  for (int id : {kCommandPluginSelect, kCommandHolidays, kCommandQuickMemo, kCommandQuickSearch,
                 kCommandQuickWeather, kCommandQuickCalendar, kCommandQuickSchedule,
                 kCommandQuickDiary, kCommandQuickIcon}) {
    EXPECT_TRUE(frame().Command(id)->isEnabled()) << id;
  }
  EXPECT_EQ(frame().Command(kCommandQuickMemo)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
}

TEST_F(HostWithDialogs, QuickCommandOpensItsFileMaximised) {
  Install("rec_a.plg", "tvk_tenki_hpc2karm.plg");
  Start();
  const int before = host().windowCount;
  ASSERT_TRUE(frame().RunCommand(kCommandQuickWeather));
  ASSERT_EQ(host().windowCount, before + 1);
  const int top = host().windowCount - 1;
  EXPECT_EQ(SlotAt(top).name.get(), u"Recorder A");
  EXPECT_EQ(host().maximized, top);
}

TEST_F(HostWithDialogs, SelectionDialogFromTheMenuLoadsTheChosenPlugin) {
  Install("rec_a.plg", "a.plg");
  Install("rec_b.plg", "b.plg");
  Start();
  ASSERT_GE(host().windowCount, 1);
  WhenModalOpens([](QWidget* dialog) {
    auto* list = FindControl<QListWidget>(dialog, PluginSelectDialog::kPluginList);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Recorder A"));
    EXPECT_EQ(list->currentRow(), 0) << "the first is selected";
    list->setCurrentRow(1);
    static_cast<QDialog*>(dialog)->accept();
  });
  ASSERT_TRUE(frame().RunCommand(kCommandPluginSelect));
  EXPECT_EQ(SlotAt(host().active).name.get(), u"Recorder B");
}

TEST_F(HostWithDialogs, ClosingTheHolidayListTellsEveryWindowTheDateChanged) {
  Install("rec_a.plg", "a.plg");
  Start();
  ASSERT_TRUE(app_->view()->session().plugins()->LoadPlugin(
      0, platform::Utf8ToUtf16((folder_.root() / "plugin" / "a.plg").string()), false));
  (void)yk::testing::TakeCalls();
  WhenModalOpens([](QWidget* dialog) { Click(dialog, HolidayListDialog::kCloseButton); });
  ASSERT_TRUE(frame().RunCommand(kCommandHolidays));
  const std::vector<std::string> calls = yk::testing::TakeCalls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "A:notify 4"), calls.end());
}

TEST(PluginSelectDialogTest, HelpText) {
  MessageRecorder recorder;
  PluginSelectDialog dialog(nullptr);
  EXPECT_EQ(dialog.selectedIndex(), -1);
  Click(&dialog, PluginSelectDialog::kHelpButton);
  EXPECT_EQ(recorder.texts(), std::vector<std::u16string>{kPluginSelectHelpText});
  EXPECT_FALSE(dialog.isVisible()) << "the help does not close the dialog";
}

TEST(HolidayEntryDialogTest, NewModeDefaultsAndControlStates) {
  HolidayEntryRequest request;
  request.year = 2004;
  HolidayEntryDialog dialog(request, nullptr);
  EXPECT_TRUE(FindControl<QRadioButton>(&dialog, 1015)->isChecked());
  EXPECT_EQ(FindControl<QComboBox>(&dialog, 1022)->currentText(), QStringLiteral("赤"));
  EXPECT_EQ(FindControl<QComboBox>(&dialog, 1020)->currentText(), QStringLiteral("期間毎日"));
  for (int id : {1003, 1002, 1006, 1005, 1009, 1008}) {
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, id)->text(), QStringLiteral("1")) << id;
  }
  EXPECT_FALSE(FindControl<QWidget>(&dialog, HolidayEntryDialog::kReplaceButton)->isEnabled());
  EXPECT_TRUE(FindControl<QWidget>(&dialog, 1003)->isEnabled());
  EXPECT_FALSE(FindControl<QWidget>(&dialog, 1006)->isEnabled());

  FindControl<QCheckBox>(&dialog, 1028)->setChecked(true);
  EXPECT_FALSE(FindControl<QWidget>(&dialog, 1003)->isEnabled()) << "毎月: no month";
  FindControl<QRadioButton>(&dialog, 1016)->setChecked(true);
  EXPECT_FALSE(FindControl<QRadioButton>(&dialog, 1015)->isChecked());
  EXPECT_FALSE(FindControl<QWidget>(&dialog, 1002)->isEnabled());
  for (int id : {1029, 1006, 1005, 1009, 1008, 1018, 1019, 1020}) {
    EXPECT_TRUE(FindControl<QWidget>(&dialog, id)->isEnabled()) << id;
  }
}

TEST(HolidayEntryDialogTest, RefusedPeriodStaysOpenThenAdds) {
  MessageRecorder recorder;
  HolidayEntryRequest request;
  request.year = 2004;
  HolidayEntryDialog dialog(request, nullptr);
  FindControl<QRadioButton>(&dialog, 1016)->setChecked(true);
  FindControl<QLineEdit>(&dialog, 1006)->setText(QStringLiteral("5"));
  FindControl<QLineEdit>(&dialog, 1005)->setText(QStringLiteral("10"));
  FindControl<QLineEdit>(&dialog, 1009)->setText(QStringLiteral("4"));
  FindControl<QLineEdit>(&dialog, 1008)->setText(QStringLiteral("20"));
  FindControl<QLineEdit>(&dialog, 1021)->setText(QStringLiteral("連休"));
  Click(&dialog, HolidayEntryDialog::kAddButton);
  EXPECT_EQ(recorder.texts(), std::vector<std::u16string>{kEndBeforeStartText});
  EXPECT_EQ(dialog.result(), 0);

  FindControl<QLineEdit>(&dialog, 1009)->setText(QStringLiteral("6"));
  FindControl<QLineEdit>(&dialog, 1003)->setText(QStringLiteral("x"));  // disabled: not read
  Click(&dialog, HolidayEntryDialog::kAddButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.outcome().choice, HolidayEntryChoice::kAdd);
  EXPECT_EQ(WriteHolidayLine(dialog.outcome().entry), u"(05,10 06,20)(00,00,-1,01,連休)\r\n");
}

TEST(HolidayEntryDialogTest, EditModeLoadsTheEntry) {
  HolidayEntryRequest request;
  request.mode = HolidayEntryMode::kEdit;
  request.year = 2004;
  request.listCount = 200;
  ASSERT_TRUE(ParseHolidayLine(u"(00,00 00,00)(03,75,-1,02,X)", &request.entry));
  HolidayEntryDialog dialog(request, nullptr);
  EXPECT_TRUE(FindControl<QCheckBox>(&dialog, 1028)->isChecked());
  EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1002)->text(), QStringLiteral("25"));
  EXPECT_EQ(FindControl<QComboBox>(&dialog, 1022)->currentIndex(), 2);
  EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1021)->text(), QStringLiteral("X"));
  EXPECT_TRUE(FindControl<QWidget>(&dialog, HolidayEntryDialog::kReplaceButton)->isEnabled());
  EXPECT_FALSE(FindControl<QWidget>(&dialog, HolidayEntryDialog::kAddButton)->isEnabled())
      << "the list is full";
  Click(&dialog, HolidayEntryDialog::kReplaceButton);
  EXPECT_EQ(dialog.outcome().choice, HolidayEntryChoice::kReplace);
  EXPECT_EQ(WriteHolidayLine(dialog.outcome().entry), u"(00,00 00,00)(03,75,-1,02,X)\r\n");
}

TEST(HolidayListDialogTest, YearComboListAndQuestions) {
  MessageRecorder recorder;
  testing::TempFolder folder("holidays");
  auto host = std::make_unique<HostContext>();
  const std::u16string data = platform::Utf8ToUtf16(folder.path().string() + "/");
  std::copy(data.begin(), data.end(), host->dataFolder);
  {
    auto table = std::make_unique<HolidayTable>();
    ASSERT_TRUE(ParseHolidayLine(u"(00,00 00,00)(05,05,-1,01,こどもの日)", &table->entries[0]));
    ASSERT_TRUE(ParseHolidayLine(u"(01,60 12,70)(00,00,-1,03,中旬)", &table->entries[1]));
    table->count = 2;
    ASSERT_TRUE(SaveHolidays(2004, folder.path(), *table));
  }
  platform::SetClockOverride(platform::LocalTime{2004, 6, 1, 12, 0, 0, 2});
  HolidayListDialog dialog(host.get(), nullptr,
                           [](const HolidayEntryRequest&) { return HolidayEntryOutcome{}; });
  platform::SetClockOverride(std::nullopt);
  auto* year = FindControl<QComboBox>(&dialog, HolidayListDialog::kYearCombo);
  EXPECT_EQ(year->count(), 62);
  EXPECT_EQ(year->currentText(), QStringLiteral("2004年"));
  auto* list = FindControl<QListWidget>(&dialog, HolidayListDialog::kListBox);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("[5/5] こどもの日"));
  EXPECT_EQ(list->item(1)->text(), QStringLiteral("[1～12月 10～20日] 中旬"));

  Click(&dialog, HolidayListDialog::kEditButton);
  EXPECT_EQ(recorder.texts(), std::vector<std::u16string>{kHolidayNoSelectionText});

  list->setCurrentRow(1);
  Click(&dialog, HolidayListDialog::kUpButton);
  EXPECT_EQ(list->currentRow(), 0) << "the selection follows";
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("[1～12月 10～20日] 中旬"));

  recorder.Clear();
  recorder.Answer(platform::kIdNo);
  year->setCurrentIndex(2005 - 1975);
  EXPECT_EQ(recorder.texts(), std::vector<std::u16string>{kHolidaySaveQuestion});
  EXPECT_EQ(list->count(), 0) << "2005 has no file";
  year->setCurrentIndex(2004 - 1975);
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("[5/5] こどもの日")) << "No dropped the move";
}

}  // namespace
}  // namespace yk
