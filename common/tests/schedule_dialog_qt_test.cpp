// The schedule edit dialog and its pickers as widgets, offscreen: controls found by id,
// add → modify → delete through real store files in a temporary data folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>

#include "common/date_picker_dialog.h"
#include "common/dialog_parent.h"
#include "common/schedule_dialog.h"
#include "common/schedule_store.h"
#include "common/time_picker_dialog.h"
#include "platform/qt_data_exchange.h"
#include "platform/testing/message_recorder.h"

namespace yk {
namespace {

using platform::FindControl;
using platform::testing::MessageRecorder;

class ScheduleDialogQtTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "schedule_dialog_qt_test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
  }

  void SetUp() override {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() / ("yk_dialog_qt_" + std::to_string(random()));
    std::filesystem::create_directories(folder_);
    host_ = std::make_unique<HostContext>();
    const std::u16string data = (folder_.u16string() + u"/");
    std::copy(data.begin(), data.end(), host_->dataFolder);
    ClearScheduleStore(&host_->schedules);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // The records of 7 May 2004's day file.
  std::vector<ScheduleRecord> DayRecords() {
    LoadLevel(SpanLevel::Day, 2004, 5, 7, folder_.string() + "/", &host_->schedules);
    const ScheduleRecord* first = LevelRecords(&host_->schedules, SpanLevel::Day);
    return {first, first + host_->schedules.counts[int(SpanLevel::Day)]};
  }

  static QLineEdit* Edit(ScheduleDialog& dialog, int id) {
    return FindControl<QLineEdit>(dialog.datePage(), id);
  }
  static QPushButton* Button(ScheduleDialog& dialog, int id) {
    return FindControl<QPushButton>(&dialog, id);
  }
  static QPlainTextEdit* Text(ScheduleDialog& dialog) {
    return FindControl<QPlainTextEdit>(dialog.textPage(), dialog.ids().text);
  }

  // Runs `drive` on the next modal dialog that opens.
  static void OnNextModal(std::function<void(QWidget*)> drive) {
    auto* timer = new QTimer(QApplication::instance());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, drive] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      timer->stop();
      timer->deleteLater();
      drive(modal);
    });
    timer->start();
  }

  std::filesystem::path folder_;
  std::unique_ptr<HostContext> host_;
  MessageRecorder messages_;
};

// A plugin's edit dialog belongs to the window marked with the Host context's mainWnd,
// whichever window happens to be active, and opens on top of it.
TEST_F(ScheduleDialogQtTest, OpensAsAChildOfTheOrganizerWindow) {
  QWidget other;
  QWidget organizer;
  organizer.setProperty(kWindowHandleProperty, QVariant::fromValue(uint(77)));
  other.show();
  organizer.show();
  other.activateWindow();
  host_->mainWnd = 77;
  EXPECT_EQ(OrganizerMainWindow(host_.get()), &organizer);
  host_->mainWnd = 78;
  EXPECT_EQ(OrganizerMainWindow(host_.get()), QApplication::activeWindow()) << "unmarked";
  host_->mainWnd = 77;

  QWidget* parent = nullptr;
  QTimer::singleShot(0, [&] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      parent = dialog->parentWidget();
      dialog->reject();
    }
  });
  EXPECT_FALSE(EditNewSchedule(host_.get(), 2004, 5, 7, ScheduleDialogVariant::kSchedulePlugin));
  EXPECT_EQ(parent, &organizer);
}

TEST_F(ScheduleDialogQtTest, AddModifyDelete) {
  const auto ids = ScheduleDialogIds::For(ScheduleDialogVariant::kSchedulePlugin);
  {
    ScheduleDialog dialog(host_.get(), ScheduleDialogInput::NewOn(2004, 5, 7),
                          ScheduleDialogVariant::kSchedulePlugin);
    EXPECT_TRUE(Button(dialog, ids.deleteButton)->isHidden());
    EXPECT_TRUE(Button(dialog, ids.modifyButton)->isHidden());
    EXPECT_EQ(Edit(dialog, ids.startYear)->text(), "2004");
    EXPECT_EQ(Edit(dialog, ids.endDay)->text(), "7");
    EXPECT_EQ(Edit(dialog, ids.endMinute)->text(), "59");
    EXPECT_TRUE(FindControl<QRadioButton>(dialog.datePage(), ids.allDayRadio)->isChecked());
    EXPECT_EQ(FindControl<QComboBox>(dialog.datePage(), ids.periodList)->currentIndex(), 1);
    EXPECT_FALSE(dialog.datePage()->isHidden());
    EXPECT_TRUE(dialog.textPage()->isHidden());

    FindControl<QRadioButton>(dialog.datePage(), ids.timedRadio)->setChecked(true);
    Edit(dialog, ids.startHour)->setText("10");
    Edit(dialog, ids.endHour)->setText("11");
    Edit(dialog, ids.endMinute)->setText("30");
    Text(dialog)->setPlainText(QString::fromUtf16(u"一行目\n二行目"));
    Button(dialog, 1)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(messages_.messages().empty());
  }
  std::vector<ScheduleRecord> records = DayRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(RecordText(records[0]), u"一行目__TVRET__二行目");
  EXPECT_EQ(records[0].startHour, 10);
  EXPECT_EQ(records[0].endMinute, 30);
  EXPECT_EQ(records[0].period, -1);

  {
    ScheduleDialog dialog(host_.get(), ScheduleDialogInput::Existing(records[0]),
                          ScheduleDialogVariant::kSchedulePlugin);
    EXPECT_FALSE(Button(dialog, ids.modifyButton)->isHidden());
    EXPECT_TRUE(FindControl<QRadioButton>(dialog.datePage(), ids.timedRadio)->isChecked());
    EXPECT_EQ(Text(dialog)->toPlainText(), QString::fromUtf16(u"一行目\n二行目"));
    // Unchanged, "新規追加" finds the same record.
    Button(dialog, 1)->click();
    EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{std::u16string(kMsgDuplicate)});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    Text(dialog)->setPlainText(QString::fromUtf16(u"変更"));
    Button(dialog, ids.modifyButton)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  records = DayRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(RecordText(records[0]), u"変更");

  {
    ScheduleDialog dialog(host_.get(), ScheduleDialogInput::Existing(records[0]),
                          ScheduleDialogVariant::kSchedulePlugin);
    messages_.Clear();
    messages_.Answer(platform::kIdCancel);
    Button(dialog, ids.deleteButton)->click();
    EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{std::u16string(kMsgDeleteQuestion)});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(DayRecords().size(), 1u);
    Button(dialog, ids.deleteButton)->click();  // the default answer is OK
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  EXPECT_TRUE(DayRecords().empty());
}

TEST_F(ScheduleDialogQtTest, RefusedValueKeepsTheDialogOpenAndStoresNothing) {
  const auto ids = ScheduleDialogIds::For(ScheduleDialogVariant::kSchedulePlugin);
  ScheduleDialog dialog(host_.get(), ScheduleDialogInput::NewOn(2004, 5, 7),
                        ScheduleDialogVariant::kSchedulePlugin);
  Edit(dialog, ids.startDay)->setText("32");
  Button(dialog, 1)->click();
  EXPECT_EQ(messages_.texts(),
            std::vector<std::u16string>{u"1 から 31 までの整数を入力してください。"});
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST_F(ScheduleDialogQtTest, SearchVariantOpensOnTheTextInChangeMode) {
  const auto ids = ScheduleDialogIds::For(ScheduleDialogVariant::kSearchPlugin);
  EXPECT_EQ(ids.deleteButton, 1048);
  EXPECT_EQ(ids.helpButton, 1011);
  EXPECT_EQ(ids.text, 1032);
  ScheduleRecord record{};
  record.startYear = record.endYear = 2004;
  record.startMonth = record.endMonth = 55;
  record.startDay = record.endDay = 7;
  record.period = -1;
  SetRecordText(&record, u"x");
  ScheduleDialog dialog(host_.get(), ScheduleDialogInput::Existing(record),
                        ScheduleDialogVariant::kSearchPlugin);
  EXPECT_EQ(FindControl<QTabBar>(&dialog, ids.tab)->currentIndex(), 1);
  EXPECT_TRUE(dialog.datePage()->isHidden());
  EXPECT_FALSE(dialog.textPage()->isHidden());
  EXPECT_TRUE(FindControl<QCheckBox>(dialog.datePage(), ids.everyYear)->isChecked());
  EXPECT_EQ(Edit(dialog, ids.startMonth)->text(), "5");
  FindControl<QTabBar>(&dialog, ids.tab)->setCurrentIndex(0);
  EXPECT_FALSE(dialog.datePage()->isHidden());
  EXPECT_TRUE(dialog.textPage()->isHidden());

  // The same record in the schedule plugin's build opens on the dates.
  ScheduleDialog own(host_.get(), ScheduleDialogInput::Existing(record),
                     ScheduleDialogVariant::kSchedulePlugin);
  EXPECT_FALSE(own.datePage()->isHidden());
}

TEST_F(ScheduleDialogQtTest, CalendarAndClockButtons) {
  const auto ids = ScheduleDialogIds::For(ScheduleDialogVariant::kSchedulePlugin);
  ScheduleDialog dialog(host_.get(), ScheduleDialogInput::NewOn(2004, 5, 7),
                        ScheduleDialogVariant::kSchedulePlugin);
  // May 2004 starts on a Saturday: the 20th is in week row 3, column 4.
  OnNextModal([](QWidget* modal) {
    auto* picker = qobject_cast<DatePickerDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(10 + 30 * 4 + 15, 105 + 60 + 10));
    EXPECT_EQ(FindControl<QLineEdit>(picker, DatePickerDialog::kCaptionId)->text(),
              QString::fromUtf16(u"2004年 5月 20日"));
    FindControl<QPushButton>(picker, 1)->click();
  });
  Button(dialog, ids.startCalendar)->click();
  EXPECT_EQ(Edit(dialog, ids.startDay)->text(), "20");
  EXPECT_EQ(Edit(dialog, ids.endDay)->text(), "20");  // the end follows a later start

  // The clock: tapping the end AM/PM indicator turns 00:59 into 12:59 and selects "時刻".
  OnNextModal([](QWidget* modal) {
    auto* picker = qobject_cast<TimePickerDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(135, 185));
    EXPECT_EQ(FindControl<QLineEdit>(picker, 1009)->text(), QString::fromUtf16(u"00:00 ～ 12:59"));
    FindControl<QPushButton>(picker, 1)->click();
  });
  Button(dialog, ids.timeButton)->click();
  EXPECT_EQ(Edit(dialog, ids.endHour)->text(), "12");
  EXPECT_TRUE(FindControl<QRadioButton>(dialog.datePage(), ids.timedRadio)->isChecked());

  // A cancelled picker changes nothing.
  OnNextModal([](QWidget* modal) {
    QTest::mouseClick(modal, Qt::LeftButton, {}, QPoint(10 + 15, 105 + 20 + 10));
    FindControl<QPushButton>(modal, 2)->click();
  });
  Button(dialog, ids.endCalendar)->click();
  EXPECT_EQ(Edit(dialog, ids.endDay)->text(), "20");
}

}  // namespace
}  // namespace yk
