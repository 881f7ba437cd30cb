// The iCalendar commands of the host: the menu entries, an import confirmed or declined
// through the real file dialog and messages, and an export with the holidays.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QTimer>
#include <functional>

#include "common/holiday.h"
#include "host/calendar_commands.h"
#include "host/calendar_export_dialog.h"
#include "host/dialog_commands.h"
#include "host/main_frame.h"
#include "host/tavik_app.h"
#include "host/tavik_view.h"
#include "host/tests/app_test_support.h"
#include "platform/testing/message_recorder.h"
#include "platform/testing/modal_script.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using platform::testing::MessageRecorder;
using platform::testing::ModalScript;
using testing::ProgramFolder;

const ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new testing::QtEnvironment);

// Answers the commands' next question for a file with `file`.
class FileAnswer {
 public:
  FileAnswer() {
    previous_ = SetCalendarFileAsker([this](QWidget*, bool save) {
      asked_.push_back(save);
      return QString::fromStdString(file_.string());
    });
  }
  ~FileAnswer() { SetCalendarFileAsker(previous_); }
  void Choose(const fs::path& file) { file_ = file; }
  const std::vector<bool>& asked() const { return asked_; }

 private:
  CalendarFileAsker previous_;
  fs::path file_;
  std::vector<bool> asked_;  // whether each question was for a file to save
};

std::string Text(const fs::path& file) {
  const std::vector<uint8_t> bytes = testing::ReadBytes(file);
  return std::string(bytes.begin(), bytes.end());
}

constexpr char kOneEvent[] =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:a\r\n"
    "DTSTART;VALUE=DATE:20040507\r\nSUMMARY:休み\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

class CalendarCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TZ", "Asia/Tokyo", 1);
    folder_.WriteTheme(0, 0, 0);
    platform::OpenSettingsProfile()->WriteString(u"setting", u"firsttime", u"1");
    app_ = std::make_unique<CTavikApp>();
    app_->AddExtension(InstallDialogCommands);
    CTavikApp::Options options;
    options.appFolder = folder_.appFolder();
    options.singleInstance = false;
    ASSERT_TRUE(app_->InitInstance(options));
    const std::string ics(kOneEvent);
    testing::WriteBytes(calendarFile(), std::vector<uint8_t>(ics.begin(), ics.end()));
  }
  void TearDown() override { app_.reset(); }

  CMainFrame& frame() { return *app_->frame(); }
  HostContext& host() { return *app_->view()->session().host(); }
  fs::path calendarFile() const { return folder_.root() / "in.ics"; }
  fs::path dayFile() const { return folder_.root() / "data" / "2004" / "5" / "7" / "sched.txt"; }

  ProgramFolder folder_;
  MessageRecorder recorder_;
  FileAnswer file_;
  std::unique_ptr<CTavikApp> app_;
};

TEST_F(CalendarCommands, TheMenuEntriesAreInTheDataMenuAndEnabled) {
  for (int id : {kCommandCalendarImport, kCommandCalendarExport}) {
    QAction* action = frame().Command(id);
    ASSERT_NE(action, nullptr) << id;
    EXPECT_TRUE(action->isEnabled()) << id;
    ASSERT_FALSE(action->associatedObjects().isEmpty());
  }
  EXPECT_EQ(frame().Command(kCommandCalendarImport)->text(),
            QStringLiteral("iCalendarの読み込み(&I)..."));
  EXPECT_EQ(frame().Command(kCommandCalendarExport)->text(),
            QStringLiteral("iCalendarへの書き出し(&E)..."));
}

TEST_F(CalendarCommands, AnImportShowsWhatItAddsAndAddsItOnceConfirmed) {
  host().schedules.keys[3] = 1;  // a level the import must make the views read again
  file_.Choose(calendarFile());
  ASSERT_TRUE(frame().RunCommand(kCommandCalendarImport));
  const std::vector<std::u16string> texts = recorder_.texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_TRUE(texts[0].starts_with(u"1件の予定を追加します。")) << texts[0].size();
  EXPECT_TRUE(texts[0].ends_with(u"よろしいですか？"));
  EXPECT_TRUE(texts[1].starts_with(u"1件の予定を追加しました。"));
  EXPECT_EQ(Text(dayFile()),
            testing::Utf16LeBytes(u"(2004,05,07,00,00 2004,05,07,00,00 -1)(休み)\r\n"));
  EXPECT_EQ(host().schedules.keys[3], 0);
  EXPECT_EQ(file_.asked(), std::vector<bool>{false});
}

TEST_F(CalendarCommands, ADeclinedImportAddsNothing) {
  recorder_.Answer(platform::kIdNo);
  file_.Choose(calendarFile());
  ASSERT_TRUE(frame().RunCommand(kCommandCalendarImport));
  EXPECT_EQ(recorder_.texts().size(), 1u);
  EXPECT_FALSE(fs::exists(dayFile()));
}

TEST_F(CalendarCommands, AFileThatIsNoCalendarIsRefusedWithItsReason) {
  testing::WriteBytes(calendarFile(), {'x'});
  file_.Choose(calendarFile());
  ASSERT_TRUE(frame().RunCommand(kCommandCalendarImport));
  EXPECT_EQ(recorder_.texts(),
            std::vector<std::u16string>{u"iCalendarファイルとして読めませんでした"});
  EXPECT_FALSE(fs::exists(folder_.root() / "data" / "2004"));
}

// An import that fails while it writes takes back what it wrote; the message the store
// shows then, and those after, come with the ordinary cursor, and the wait cursor is gone.
TEST_F(CalendarCommands, AFailedImportLeavesTheDataAndTheCursorAsTheyWere) {
  const std::string ics =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:a\r\n"
      "DTSTART;VALUE=DATE:20040507\r\nSUMMARY:休み\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:b\r\n"
      "DTSTART;VALUE=DATE:20050101\r\nSUMMARY:元日\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
  testing::WriteBytes(calendarFile(), std::vector<uint8_t>(ics.begin(), ics.end()));
  testing::WriteBytes(folder_.root() / "data" / "2005", {'x'});  // where a folder must go
  std::vector<bool> busy;  // whether the wait cursor was on at each message
  platform::MessageBoxHandler recorder = platform::SetMessageBoxHandler(nullptr);
  platform::SetMessageBoxHandler(
      [&](std::u16string_view text, std::u16string_view caption, unsigned flags) {
        busy.push_back(QGuiApplication::overrideCursor() != nullptr);
        return recorder(text, caption, flags);
      });
  file_.Choose(calendarFile());
  ASSERT_TRUE(frame().RunCommand(kCommandCalendarImport));
  platform::SetMessageBoxHandler(recorder);
  const std::vector<std::u16string> texts = recorder_.texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_TRUE(texts[0].starts_with(u"2件の予定を追加します。"));
  EXPECT_EQ(texts[1], u"スケジュールファイルを開く事が出来ませんでした");
  EXPECT_EQ(texts[2], u"取り込みを中止しました。データは元のままです。");
  EXPECT_EQ(busy, std::vector<bool>(3, false));
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(fs::exists(dayFile()));
  EXPECT_FALSE(fs::exists(folder_.root() / "data" / "2004" / "5" / "7"));
}

TEST_F(CalendarCommands, AnExportWithTheHolidays) {
  HolidayTable table{};
  table.entries[0].month = 5;
  table.entries[0].day = 5;
  table.entries[0].weekday = -1;
  table.entries[0].colour = kHolidayRed;
  SetHolidayName(&table.entries[0], u"こどもの日");
  table.count = 1;
  ASSERT_TRUE(SaveHolidays(2004, folder_.root() / "data", table));
  const fs::path out = folder_.root() / "out.ics";
  file_.Choose(out);
  ModalScript chooseHolidays([](QDialog* modal) {
    auto* dialog = qobject_cast<CalendarExportDialog*>(modal);
    ASSERT_NE(dialog, nullptr) << "not the export dialog";
    auto* holidays = dialog->findChild<QCheckBox*>(QStringLiteral("holidays"));
    ASSERT_NE(holidays, nullptr);
    holidays->setChecked(true);
    dialog->accept();
  });
  ASSERT_TRUE(frame().RunCommand(kCommandCalendarExport));
  EXPECT_TRUE(chooseHolidays.done());
  EXPECT_EQ(recorder_.texts(),
            std::vector<std::u16string>{u"0件の予定と1日の休日を書き出しました。"});
  EXPECT_NE(Text(out).find("SUMMARY:こどもの日\r\n"), std::string::npos);
  EXPECT_EQ(file_.asked(), std::vector<bool>{true});
}

}  // namespace
}  // namespace yk
