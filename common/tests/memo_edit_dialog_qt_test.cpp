// The "メモ・日記" dialog as widgets, offscreen: controls found by id, typing, the
// reference row, and the files it leaves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "common/memo_edit_dialog.h"
#include "common/memo_store.h"
#include "common/tests/store_test_support.h"
#include "platform/clock.h"
#include "platform/qt_data_exchange.h"
#include "platform/testing/message_recorder.h"

namespace yk {
namespace {

using platform::FindControl;
using platform::testing::MessageRecorder;
using testing::Le;
using testing::ReadBytes;

class MemoEditDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "memo_edit_dialog_qt_test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
  }
  void SetUp() override {
    host_ = std::make_unique<HostContext>();
    const std::u16string data = data_.path().u16string();
    std::copy(data.begin(), data.end(), host_->dataFolder);
    platform::SetClockOverride(platform::LocalTime{2004, 6, 30, 9, 0, 0, 3});
  }
  void TearDown() override { platform::SetClockOverride(std::nullopt); }

  QString Shown(QWidget* dialog, int id) {
    if (auto* line = FindControl<QLineEdit>(dialog, id)) return line->text();
    if (auto* plain = FindControl<QPlainTextEdit>(dialog, id)) return plain->toPlainText();
    return QStringLiteral("<no control>");
  }
  QPushButton* Button(QWidget* dialog, int id) { return FindControl<QPushButton>(dialog, id); }

  testing::TempFolder data_;
  std::unique_ptr<HostContext> host_;
  MessageRecorder recorder_;
};

TEST_F(MemoEditDialogTest, ShowsTheDayItsMemoAndTheReferenceRow) {
  ASSERT_TRUE(WriteMemo(2004, 5, 1, data_.path(), u"会議\r\n10時", true).ok());
  ASSERT_TRUE(WriteMemo(2004, 6, 30, data_.path(), u"今日のメモ", true).ok());
  MemoEditDialog dialog(host_.get(), {2004, 5, 1}, false);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("メモ・日記"));
  EXPECT_EQ(dialog.objectName(), QStringLiteral("3018"));
  EXPECT_EQ(Shown(&dialog, MemoEditDialog::kMemoDayBox), QStringLiteral("2004年5月1日"));
  EXPECT_EQ(Shown(&dialog, MemoEditDialog::kTextBox), QStringLiteral("会議\n10時"));
  EXPECT_EQ(Shown(&dialog, MemoEditDialog::kReferenceDayBox), QStringLiteral("2004年5月1日"));
  EXPECT_EQ(Shown(&dialog, MemoEditDialog::kReferenceTextBox), QStringLiteral("会議\n10時"));
  EXPECT_TRUE(FindControl<QLineEdit>(&dialog, MemoEditDialog::kMemoDayBox)->isReadOnly());
  EXPECT_TRUE(
      FindControl<QPlainTextEdit>(&dialog, MemoEditDialog::kReferenceTextBox)->isReadOnly());
  EXPECT_FALSE(Button(&dialog, MemoEditDialog::kDeleteButton)->isHidden());
  EXPECT_FALSE(Button(&dialog, MemoEditDialog::kSaveButton)->isHidden());
  EXPECT_TRUE(Button(&dialog, MemoEditDialog::kCancelButton)->isDefault());
  EXPECT_EQ(Button(&dialog, MemoEditDialog::kCancelButton)->text(), QStringLiteral("ｷｬﾝｾﾙ"));

  Button(&dialog, MemoEditDialog::kTodayButton)->click();
  EXPECT_EQ(Shown(&dialog, MemoEditDialog::kReferenceDayBox), QStringLiteral("2004年6月30日"));
  EXPECT_EQ(Shown(&dialog, MemoEditDialog::kReferenceTextBox), QStringLiteral("今日のメモ"));
}

TEST_F(MemoEditDialogTest, ReadOnlyOffersNeitherSaveNorDelete) {
  ASSERT_TRUE(WriteMemo(2004, 5, 1, data_.path(), u"a", true).ok());
  MemoEditDialog dialog(host_.get(), {2004, 5, 1}, true);
  EXPECT_TRUE(Button(&dialog, MemoEditDialog::kDeleteButton)->isHidden());
  EXPECT_TRUE(Button(&dialog, MemoEditDialog::kSaveButton)->isHidden());
  MemoEditDialog noMemo(host_.get(), {2004, 5, 2}, false);
  EXPECT_TRUE(Button(&noMemo, MemoEditDialog::kDeleteButton)->isHidden()) << "nothing to delete";
  EXPECT_EQ(Shown(&noMemo, MemoEditDialog::kReferenceTextBox),
            QStringLiteral("この日のメモはありません"));
}

TEST_F(MemoEditDialogTest, TypedTextIsSavedWithCrLfAndTheBoxStopsAt1024Characters) {
  MemoEditDialog dialog(host_.get(), {2004, 5, 1}, false);
  auto* text = FindControl<QPlainTextEdit>(&dialog, MemoEditDialog::kTextBox);
  text->setFocus();
  QTest::keyClicks(text, QStringLiteral("ab"));
  QTest::keyClick(text, Qt::Key_Return);
  QTest::keyClicks(text, QStringLiteral("c"));
  Button(&dialog, MemoEditDialog::kSaveButton)->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ReadBytes(MemoFilePath(data_.path(), 2004, 5, 1)), "ab\r\nc");
  EXPECT_EQ(ReadBytes(MemoListPath(data_.path(), 2004)), Le(u"05,01\r\n"));

  MemoEditDialog full(host_.get(), {2004, 5, 2}, false);
  auto* box = FindControl<QPlainTextEdit>(&full, MemoEditDialog::kTextBox);
  box->setPlainText(QString(1030, QChar(u'x')));
  EXPECT_EQ(box->toPlainText().size(), 1024);

  // Typing into a full box at its start takes nothing away from its end.
  const QString memo = QString(1023, QChar(u'あ')) + QChar(u'ん');
  box->setPlainText(memo);
  box->setFocus();
  box->moveCursor(QTextCursor::Start);
  QTest::keyClicks(box, QStringLiteral("xy"));
  EXPECT_EQ(box->toPlainText(), memo);
}

TEST_F(MemoEditDialogTest, ARefusedSaveKeepsTheDialogOpenWithTheText) {
  MemoEditDialog dialog(host_.get(), {2004, 5, 1}, false);
  dialog.show();
  auto* text = FindControl<QPlainTextEdit>(&dialog, MemoEditDialog::kTextBox);
  text->setPlainText(QString::fromUtf16(u"𠮷野家"));
  Button(&dialog, MemoEditDialog::kSaveButton)->click();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(text->toPlainText(), QString::fromUtf16(u"𠮷野家"));
  ASSERT_EQ(recorder_.texts().size(), 1u);
  EXPECT_NE(recorder_.texts()[0].find(u"𠮷"), std::u16string::npos);
  EXPECT_EQ(ReadBytes(MemoFilePath(data_.path(), 2004, 5, 1)), "<missing>");
}

}  // namespace
}  // namespace yk
