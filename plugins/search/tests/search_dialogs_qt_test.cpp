// The three search dialogs as widgets, offscreen, over real files: controls found by id,
// the run with its progress and cancel, the results with marks, edit, move and replace.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "common/atomic_file.h"
#include "common/memo_edit_dialog.h"
#include "common/schedule_store.h"
#include "platform/clock.h"
#include "platform/qt_data_exchange.h"
#include "platform/testing/message_recorder.h"
#include "platform/testing/modal_script.h"
#include "plugins/search/search_dialog.h"
#include "plugins/search/search_progress_dialog.h"
#include "plugins/search/search_results_dialog.h"
#include "plugins/search/tests/search_test_data.h"

namespace yk::search {
namespace {

using platform::FindControl;
using platform::testing::MessageRecorder;
using platform::testing::ModalScript;
using testing::DataFolder;
using testing::LinesBytes;
using testing::Schedule;

void Click(QWidget* dialog, int id) {
  auto* button = FindControl<QPushButton>(dialog, id);
  ASSERT_NE(button, nullptr) << id;
  ASSERT_TRUE(button->isVisible()) << id;
  QTest::mouseClick(button, Qt::LeftButton);
}

QStringList ListLines(QDialog* results) {
  QStringList lines;
  auto* list = FindControl<QListWidget>(results, SearchResultsDialog::kList);
  for (int i = 0; list != nullptr && i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

class SearchDialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "search_dialogs_qt_test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
  }
  void SetUp() override {
    const std::u16string folder = data_.path().u16string();
    std::copy(folder.begin(), folder.end(), host_->dataFolder);
    ClearScheduleStore(&host_->schedules);
    platform::SetClockOverride(platform::LocalTime{2004, 5, 7, 9, 0, 0, 5});
  }
  void TearDown() override { platform::SetClockOverride(std::nullopt); }

  void Type(SearchDialog& dialog, int id, const QString& text) {
    auto* edit = FindControl<QLineEdit>(&dialog, id);
    ASSERT_NE(edit, nullptr) << id;
    edit->setText(text);
  }
  std::string DayFile() const { return data_.Bytes("2004/5/7/sched.txt"); }

  DataFolder data_;
  std::unique_ptr<HostContext> host_ = std::make_unique<HostContext>();
  MessageRecorder recorder_;
};

TEST_F(SearchDialogsTest, OpensOnTheCurrentMonthForSchedules) {
  platform::SetClockOverride(platform::LocalTime{2004, 2, 10, 9, 0, 0, 2});
  SearchDialog dialog(host_.get());
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("検索・置換"));
  EXPECT_EQ(dialog.objectName(), QStringLiteral("3010"));
  const std::pair<int, const char*> period[] = {{1012, "2004"}, {1013, "2"}, {1014, "1"},
                                                {1016, "2004"}, {1017, "2"}, {1018, "29"}};
  for (const auto& [id, text] : period)
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, id)->text(), QString::fromUtf8(text)) << id;
  EXPECT_TRUE(FindControl<QRadioButton>(&dialog, SearchDialog::kSchedulesRadio)->isChecked());
  EXPECT_FALSE(FindControl<QCheckBox>(&dialog, SearchDialog::kRegexCheck)->isChecked());
  EXPECT_EQ(FindControl<QLineEdit>(&dialog, SearchDialog::kSearchText)->maxLength(), 50);
  EXPECT_TRUE(FindControl<QPushButton>(&dialog, SearchDialog::kSearchButton)->isDefault());

  dialog.show();
  const int row[] = {SearchDialog::kReplacementLabel, SearchDialog::kReplacementText,
                     SearchDialog::kReplaceButton};
  for (int id : row) EXPECT_TRUE(FindControl<QWidget>(&dialog, id)->isVisible()) << id;
  QTest::mouseClick(FindControl<QRadioButton>(&dialog, SearchDialog::kTasksRadio), Qt::LeftButton);
  for (int id : row) EXPECT_FALSE(FindControl<QWidget>(&dialog, id)->isVisible()) << id;
  QTest::mouseClick(FindControl<QRadioButton>(&dialog, SearchDialog::kMemosRadio), Qt::LeftButton);
  for (int id : row) EXPECT_TRUE(FindControl<QWidget>(&dialog, id)->isVisible()) << id;

  Click(&dialog, SearchDialog::kHelpButton);
  ASSERT_EQ(recorder_.texts().size(), 1u);
  EXPECT_EQ(recorder_.texts()[0], kSearchHelp);
}

// "暦" opens the date picker on the end it belongs to and takes the day picked.
TEST_F(SearchDialogsTest, TheCalendarButtonsPickEitherEndOfThePeriod) {
  SearchDialog dialog(host_.get());
  dialog.show();
  QString picked;
  ModalScript script;
  script.Expect(QStringLiteral("日付"), [&](QDialog* picker) {
    picked = FindControl<QLineEdit>(picker, 1017)->text();
    Click(picker, 1016);  // 今日: 7 May 2004
    picker->accept();
  });
  Type(dialog, SearchDialog::kToDay, QStringLiteral("20"));
  Click(&dialog, SearchDialog::kToCalendar);
  EXPECT_TRUE(script.done());
  EXPECT_FALSE(picked.isEmpty()) << "the picker's caption";
  EXPECT_EQ(FindControl<QLineEdit>(&dialog, SearchDialog::kToDay)->text(), QStringLiteral("7"));
  EXPECT_EQ(FindControl<QLineEdit>(&dialog, SearchDialog::kFromDay)->text(), QStringLiteral("1"));
}

TEST_F(SearchDialogsTest, RefusesAnEmptyTextAnInvalidPeriodAndReportsNothingFound) {
  SearchDialog dialog(host_.get());
  dialog.show();
  Click(&dialog, SearchDialog::kSearchButton);
  Type(dialog, SearchDialog::kSearchText, QStringLiteral("会議"));
  Type(dialog, SearchDialog::kFromYear, QStringLiteral("2003"));
  Type(dialog, SearchDialog::kFromMonth, QStringLiteral("2"));
  Type(dialog, SearchDialog::kFromDay, QStringLiteral("29"));
  Click(&dialog, SearchDialog::kSearchButton);
  Type(dialog, SearchDialog::kFromDay, QStringLiteral("28"));
  Click(&dialog, SearchDialog::kReplaceButton);
  EXPECT_EQ(recorder_.texts(),
            (std::vector<std::u16string>{u"キーワードを入力して下さい", u"指定期間が無効です",
                                         u"見つかりませんでした"}));
  EXPECT_TRUE(dialog.isVisible()) << "the dialog stays for another search";

  recorder_.Clear();
  QTest::mouseClick(FindControl<QRadioButton>(&dialog, SearchDialog::kTasksRadio), Qt::LeftButton);
  Click(&dialog, SearchDialog::kSearchButton);
  EXPECT_EQ(recorder_.texts(),
            (std::vector<std::u16string>{u"仕事は開発中なり", u"見つかりませんでした"}));
}

TEST_F(SearchDialogsTest, SearchListsTheHitsForEditingAndMoving) {
  data_.AddSchedules({Schedule(2004, 5, 7, 2004, 5, 7, u"定例会議"),
                      Schedule(2004, 5, 7, 2004, 5, 7, u"打ち合わせ")});
  data_.AddSchedules({Schedule(2004, 5, 1, 2004, 5, 9, u"会議週間")});
  SearchDialog dialog(host_.get());
  dialog.show();
  Type(dialog, SearchDialog::kSearchText, QStringLiteral("会議"));

  QStringList lines;
  QString count;
  bool openedOnText = false;
  ModalScript script;
  script
      .Expect(
          QStringLiteral("検索結果"),
          [&](QDialog* results) {
            count = FindControl<QLabel>(results, SearchResultsDialog::kCountLine)->text();
            lines = ListLines(results);
            EXPECT_FALSE(
                FindControl<QWidget>(results, SearchResultsDialog::kReplaceButton)->isVisible());
            auto* list = FindControl<QListWidget>(results, SearchResultsDialog::kList);
            EXPECT_TRUE(list->selectedItems().isEmpty()) << "no line selected";
            Click(results, SearchResultsDialog::kMoveButton);  // nothing selected: nothing
            Click(results, SearchResultsDialog::kEditButton);
            EXPECT_TRUE(results->isVisible());
            list->setCurrentRow(1);
            Click(results, SearchResultsDialog::kEditButton);  // opens the schedule
            recorder_.Answer(platform::kIdNo);
            Click(results, SearchResultsDialog::kMoveButton);
            EXPECT_TRUE(results->isVisible()) << "answered No";
            Click(results, SearchResultsDialog::kMoveButton);  // Yes
            EXPECT_FALSE(results->isVisible());
          })
      .Expect(QStringLiteral("スケジュール"), [&](QDialog* edit) {
        auto* tabs = FindControl<QTabBar>(edit, 1020);
        openedOnText = tabs != nullptr && tabs->currentIndex() == 1;
        edit->reject();
      });
  Click(&dialog, SearchDialog::kSearchButton);
  EXPECT_TRUE(script.done());
  EXPECT_EQ(count, QStringLiteral("2件見つかりました"));
  EXPECT_EQ(lines, (QStringList{QStringLiteral("2004.5.1:会議週間..."),
                                QStringLiteral("2004.5.7:定例会議...")}));
  EXPECT_TRUE(openedOnText) << "the search plugin's edit dialog opens on 内容";
  EXPECT_EQ(dialog.result(), QDialog::Accepted) << "a move closes the search";
  EXPECT_FALSE(dialog.outcome().changed);
  EXPECT_EQ(dialog.outcome().move, (YearMonthDay{2004, 5, 7}));
  EXPECT_EQ(recorder_.texts(),
            (std::vector<std::u16string>{u"検索を終了してこの日に移動しますか？",
                                         u"検索を終了してこの日に移動しますか？"}));
}

TEST_F(SearchDialogsTest, ReplaceRewritesTheMarkedHitsAndReportsTheChange) {
  data_.AddSchedules(
      {Schedule(2004, 5, 7, 2004, 5, 7, u"A会議"), Schedule(2004, 5, 7, 2004, 5, 7, u"B会議")});
  SearchDialog dialog(host_.get());
  dialog.show();
  Type(dialog, SearchDialog::kSearchText, QStringLiteral("会議"));
  Type(dialog, SearchDialog::kReplacementText, QStringLiteral("打合せ"));

  QStringList toggled;
  ModalScript script;
  script.Expect(QStringLiteral("検索結果"), [&](QDialog* results) {
    auto* list = FindControl<QListWidget>(results, SearchResultsDialog::kList);
    const QRect first = list->visualItemRect(list->item(0));
    platform::testing::DoubleTapAt(list->viewport(), first.center());
    toggled = ListLines(results);
    Click(results, SearchResultsDialog::kReplaceButton);
  });
  Click(&dialog, SearchDialog::kReplaceButton);
  EXPECT_TRUE(script.done());
  EXPECT_EQ(toggled, (QStringList{QStringLiteral("□2004.5.7:A会議..."),
                                  QStringLiteral("■2004.5.7:B会議...")}));
  EXPECT_EQ(recorder_.texts(), std::vector<std::u16string>{u"置換えが完了しました"});
  EXPECT_EQ(DayFile(), LinesBytes({u"(2004,05,07,00,00 2004,05,07,00,00 -1)(A会議)",
                                   u"(2004,05,07,00,00 2004,05,07,00,00 -1)(B打合せ)"}));
  EXPECT_TRUE(dialog.isVisible()) << "no move: the search stays open";
  EXPECT_TRUE(dialog.outcome().changed);
  EXPECT_EQ(dialog.outcome().changeMask, kChangeSchedules);
  EXPECT_FALSE(dialog.outcome().move);
}

// 200 hits in a data folder that can't be written: the user clicks away one failure
// message and the report, which counts every hit as not replaced.
TEST_F(SearchDialogsTest, AReplacementThatCantWriteTellsItOnce) {
  data_.AddSchedules(std::vector<ScheduleRecord>(200, Schedule(2004, 1, 1, 2004, 12, 31, u"会議")));
  const std::string before = data_.Bytes("2004/sched.txt");
  SearchDialog dialog(host_.get());
  dialog.show();
  Type(dialog, SearchDialog::kSearchText, QStringLiteral("会議"));
  Type(dialog, SearchDialog::kReplacementText, QStringLiteral("打合せ"));
  ModalScript script;
  script.Expect(QStringLiteral("検索結果"),
                [&](QDialog* results) { Click(results, SearchResultsDialog::kReplaceButton); });
  const AtomicFailureHook previous =
      SetAtomicFailureHook([](AtomicStep step) { return step == AtomicStep::kCreateTemp; });
  Click(&dialog, SearchDialog::kReplaceButton);
  SetAtomicFailureHook(previous);
  EXPECT_TRUE(script.done());
  EXPECT_EQ(recorder_.texts(),
            (std::vector<std::u16string>{
                u"スケジュールファイルを開く事が出来ませんでした",
                u"置換えが完了しました。0件を置換え、200件は置換えできませんでした。"}));
  EXPECT_EQ(data_.Bytes("2004/sched.txt"), before);
  EXPECT_FALSE(dialog.outcome().changed);
}

TEST_F(SearchDialogsTest, AMemoHitOpensReadOnlyInReplaceMode) {
  data_.AddMemo(2004, 5, 3, u"会議のメモ");
  SearchDialog dialog(host_.get());
  dialog.show();
  Type(dialog, SearchDialog::kSearchText, QStringLiteral("会議"));
  QTest::mouseClick(FindControl<QRadioButton>(&dialog, SearchDialog::kMemosRadio), Qt::LeftButton);
  bool saveOffered = true;
  QString shown;
  ModalScript script;
  script
      .Expect(QStringLiteral("検索結果"),
              [&](QDialog* results) {
                FindControl<QListWidget>(results, SearchResultsDialog::kList)->setCurrentRow(0);
                Click(results, SearchResultsDialog::kEditButton);
                results->reject();
              })
      .Expect(QStringLiteral("メモ・日記"), [&](QDialog* memo) {
        saveOffered = FindControl<QWidget>(memo, MemoEditDialog::kSaveButton)->isVisible();
        shown = FindControl<QPlainTextEdit>(memo, MemoEditDialog::kTextBox)->toPlainText();
        memo->reject();
      });
  Click(&dialog, SearchDialog::kReplaceButton);
  EXPECT_TRUE(script.done());
  EXPECT_FALSE(saveOffered);
  EXPECT_EQ(shown, QStringLiteral("会議のメモ"));
  EXPECT_FALSE(dialog.outcome().changed);
}

TEST_F(SearchDialogsTest, MoreThan200HitsAreToldOnceAndListed200) {
  data_.AddSchedules(std::vector<ScheduleRecord>(201, Schedule(2004, 1, 1, 2004, 12, 31, u"会議")));
  SearchDialog dialog(host_.get());
  dialog.show();
  Type(dialog, SearchDialog::kSearchText, QStringLiteral("会議"));
  int listed = 0;
  ModalScript script;
  script.Expect(QStringLiteral("検索結果"), [&](QDialog* results) {
    listed = int(ListLines(results).size());
    results->reject();
  });
  Click(&dialog, SearchDialog::kSearchButton);
  EXPECT_EQ(listed, 200);
  EXPECT_EQ(recorder_.texts(), std::vector<std::u16string>{std::u16string(kMsgTooManyHits)});
}

// A ten-year day-level walk: each step is shown and "キャンセル" is taken while the run
// goes on; the run ends where it was and nothing further happens.
TEST_F(SearchDialogsTest, CancelStopsATenYearWalkWhileItRuns) {
  for (int y = 2000; y < 2010; ++y)
    for (int m = 1; m <= 12; ++m) data_.AddSchedules({Schedule(y, m, 1, y, m, 1, u"会議")});
  TextMatcher matcher(u"会議", u"", false);
  HitTable table;
  SearchProgressDialog progress(SearchTarget::kSchedules, {2000, 1, 1, 2009, 12, 31}, matcher,
                                data_.path(), &table);
  progress.setPumpIntervalMs(0);
  auto* step = FindControl<QLineEdit>(&progress, SearchProgressDialog::kStepBox);
  auto* cancel = FindControl<QPushButton>(&progress, SearchProgressDialog::kCancelButton);
  QStringList shown;
  QObject::connect(step, &QLineEdit::textChanged, [&](const QString& text) {
    shown << text;
    if (text == QStringLiteral("2003年3月1日のメモを検索中・・・"))
      QMetaObject::invokeMethod(cancel, "click", Qt::QueuedConnection);
  });
  EXPECT_EQ(progress.objectName(), QStringLiteral("3012"));
  EXPECT_EQ(progress.windowTitle(), QStringLiteral("検索中"));
  EXPECT_EQ(progress.exec(), QDialog::Rejected);
  EXPECT_EQ(progress.end(), WalkEnd::kStopped);
  EXPECT_EQ(shown.first(), QStringLiteral("全体の予定を検索中・・・"));
  EXPECT_EQ(shown.last(), QStringLiteral("2003年3月1日のメモを検索中・・・"))
      << "the run ended at the step where キャンセル came in";
  EXPECT_EQ(table.hitCount(), 3 * 12 + 2) << "the hits up to that day";
  EXPECT_EQ(FindControl<QPlainTextEdit>(&progress, SearchProgressDialog::kHeaderBox)->toPlainText(),
            QStringLiteral("2000/1/1～2009/12/31の予定を検索しています。\n[会議]"));
}

TEST_F(SearchDialogsTest, AWalkLeftAloneEndsByItself) {
  data_.AddMemo(2004, 5, 3, u"会議");
  TextMatcher matcher(u"会議", u"", false);
  HitTable table;
  SearchProgressDialog progress(SearchTarget::kMemos, {1975, 1, 1, 2036, 12, 31}, matcher,
                                data_.path(), &table);
  EXPECT_EQ(progress.exec(), QDialog::Accepted);
  EXPECT_EQ(progress.end(), WalkEnd::kCompleted);
  EXPECT_EQ(table.hitCount(), 1);
}

}  // namespace
}  // namespace yk::search
