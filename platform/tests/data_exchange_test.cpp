#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextCursor>
#include <QVBoxLayout>

#include "platform/qt_data_exchange.h"
#include "platform/testing/message_recorder.h"
#include "platform/tests/qt_test_support.h"

namespace platform {
namespace {

class DataExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::App();
    auto* layout = new QVBoxLayout(&dialog_);
    layout->addWidget(edit_ = WithId(new QLineEdit, 1001));
    layout->addWidget(spin_ = WithId(new QSpinBox, 1006));
    layout->addWidget(check_ = WithId(new QCheckBox(u"ﾌｫｰｶｽ"_qs), 1003));
    layout->addWidget(radio0_ = WithId(new QRadioButton, 1041));
    layout->addWidget(radio1_ = WithId(new QRadioButton, 1042));
    layout->addWidget(combo_ = WithId(new QComboBox, 1026));
    combo_->addItems({u"毎日指定時刻"_qs, u"期間通して"_qs, u"毎週日曜日"_qs});
    layout->addWidget(list_ = WithId(new QListWidget, 1000));
    list_->addItems({u"a"_qs, u"b"_qs});
    layout->addWidget(text_ = WithId(new QPlainTextEdit, 1012));
    dialog_.show();
  }

  QDialog dialog_;
  QLineEdit* edit_;
  QSpinBox* spin_;
  QCheckBox* check_;
  QRadioButton *radio0_, *radio1_;
  QComboBox* combo_;
  QListWidget* list_;
  QPlainTextEdit* text_;
};

TEST_F(DataExchangeTest, FindsControlsById) {
  EXPECT_EQ(FindControl<QLineEdit>(&dialog_, 1001), edit_);
  EXPECT_EQ(FindControl<QSpinBox>(&dialog_, 1001), nullptr) << "another kind";
  EXPECT_EQ(FindControl<QLineEdit>(&dialog_, 4242), nullptr);
  EXPECT_EQ(FindControl<QLineEdit>(nullptr, 1001), nullptr);
}

TEST_F(DataExchangeTest, LoadsAndSavesEveryKind) {
  int grid = 7, focus = 1, action = 1, period = 2, row = 1;
  std::u16string memo = u"一行目\n二行目";
  DataExchange load(&dialog_, DataExchange::kLoad);
  load.Int(1001, grid, 1, 20)
      .Check(1003, focus)
      .Radio({1041, 1042}, action)
      .ComboIndex(1026, period)
      .ListRow(1000, row)
      .Text(1012, memo, 1000);
  EXPECT_TRUE(load.ok());
  EXPECT_EQ(edit_->text(), u"7"_qs);
  EXPECT_TRUE(check_->isChecked());
  EXPECT_FALSE(radio0_->isChecked());
  EXPECT_TRUE(radio1_->isChecked());
  EXPECT_EQ(combo_->currentIndex(), 2);
  EXPECT_EQ(list_->currentRow(), 1);
  EXPECT_EQ(text_->toPlainText(), u"一行目\n二行目"_qs);

  edit_->setText(u" 12 "_qs);
  check_->setChecked(false);
  radio0_->setChecked(true);
  combo_->setCurrentIndex(0);
  text_->setPlainText(u"変更"_qs);
  bool focusFlag = true;
  DataExchange save(&dialog_, DataExchange::kSave);
  save.Int(1001, grid, 1, 20)
      .Check(1003, focusFlag)
      .Radio({1041, 1042}, action)
      .ComboIndex(1026, period)
      .ListRow(1000, row)
      .Text(1012, memo, 1000);
  EXPECT_TRUE(save.ok());
  EXPECT_EQ(grid, 12);
  EXPECT_FALSE(focusFlag);
  EXPECT_EQ(action, 0);
  EXPECT_EQ(period, 0);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(memo, u"変更");

  int none = -1;
  DataExchange(&dialog_, DataExchange::kLoad).Radio({1041, 1042}, none).ListRow(1000, none);
  EXPECT_FALSE(radio0_->isChecked());
  EXPECT_FALSE(radio1_->isChecked());
  int action2 = 5, row2 = 5;
  DataExchange(&dialog_, DataExchange::kSave).Radio({1041, 1042}, action2).ListRow(1000, row2);
  EXPECT_EQ(action2, -1) << "no radio checked";
  EXPECT_EQ(row2, -1) << "no row selected";
}

TEST_F(DataExchangeTest, RefusedIntegerShowsTheMessageKeepsTheFieldAndStops) {
  struct Case {
    const char* rule;
    QString typed;
    bool ranged;
    bool accepted;
    int value;
    std::u16string message;
  } cases[] = {
      {"inside the range", u"20"_qs, true, true, 20, u""},
      {"lower bound", u"1"_qs, true, true, 1, u""},
      {"below the range", u"0"_qs, true, false, 0, u"1 から 20 までの整数を入力してください。"},
      {"above the range", u"21"_qs, true, false, 0, u"1 から 20 までの整数を入力してください。"},
      {"not a number", u"5a"_qs, true, false, 0, u"1 から 20 までの整数を入力してください。"},
      {"empty", u""_qs, true, false, 0, u"1 から 20 までの整数を入力してください。"},
      {"negative without range", u"-3"_qs, false, true, -3, u""},
      {"not a number without range", u"x"_qs, false, false, 0, u"整数を入力してください。"},
      {"too large for an int", u"99999999999"_qs, false, false, 0, u"整数を入力してください。"},
  };
  for (const auto& c : cases) {
    testing::MessageRecorder recorder;
    edit_->setText(c.typed);
    check_->setChecked(true);
    text_->setFocus();
    int grid = 5, flag = 0;
    DataExchange save(&dialog_, DataExchange::kSave);
    if (c.ranged)
      save.Int(1001, grid, 1, 20);
    else
      save.Int(1001, grid);
    save.Check(1003, flag);
    EXPECT_EQ(save.ok(), c.accepted) << c.rule;
    if (c.accepted) {
      EXPECT_EQ(grid, c.value) << c.rule;
      EXPECT_EQ(flag, 1) << c.rule;
      EXPECT_TRUE(recorder.messages().empty()) << c.rule;
    } else {
      EXPECT_EQ(grid, 5) << c.rule << ": the field keeps its value";
      EXPECT_EQ(flag, 0) << c.rule << ": later controls are not exchanged";
      ASSERT_EQ(recorder.messages().size(), 1u) << c.rule;
      EXPECT_EQ(recorder.messages()[0].text, c.message) << c.rule;
      EXPECT_EQ(dialog_.focusWidget(), edit_) << c.rule << ": the refused control has the focus";
    }
  }
}

TEST_F(DataExchangeTest, SpinBoxTakesTheRangeAndIsValidated) {
  int grid = 30;  // a stored value outside the range still shows the bounds on refusal
  DataExchange(&dialog_, DataExchange::kLoad).Int(1006, grid, 1, 20);
  EXPECT_EQ(spin_->minimum(), 1);
  EXPECT_EQ(spin_->maximum(), 20);
  spin_->setValue(9);
  DataExchange save(&dialog_, DataExchange::kSave);
  save.Int(1006, grid, 1, 20);
  EXPECT_TRUE(save.ok());
  EXPECT_EQ(grid, 9);
}

TEST_F(DataExchangeTest, TextLimits) {
  std::u16string field = u"abc";
  DataExchange(&dialog_, DataExchange::kLoad).Text(1001, field, 5).Text(1012, field, 5);
  EXPECT_EQ(edit_->maxLength(), 5);
  text_->setPlainText(u"1234567890"_qs);
  EXPECT_EQ(text_->toPlainText(), u"12345"_qs) << "typing stops at the limit";

  // What goes past the limit is cut from what was put in, never from the text already
  // there, wherever it was put.
  const struct {
    const char* rule;
    QString before;
    int at;
    QString inserted;
    QString after;
  } inserts[] = {
      {"at the start", u"abcd"_qs, 0, u"XYZ"_qs, u"Xabcd"_qs},
      {"in the middle", u"abcd"_qs, 2, u"XYZ"_qs, u"abXcd"_qs},
      {"at the end", u"abcd"_qs, 4, u"XYZ"_qs, u"abcdX"_qs},
      {"into a full box", u"abcde"_qs, 1, u"X"_qs, u"abcde"_qs},
      {"a pair of surrogates is not split", u"abc"_qs, 1, QString::fromUtf16(u"X𠮷"), u"aXbc"_qs},
  };
  for (const auto& c : inserts) {
    text_->setPlainText(c.before);
    QTextCursor cursor(text_->document());
    cursor.setPosition(c.at);
    cursor.insertText(c.inserted);
    EXPECT_EQ(text_->toPlainText(), c.after) << c.rule;
  }

  // A control whose limit was never set refuses a longer text when saved.
  auto* unlimited = WithId(new QLineEdit(u"123456"_qs, &dialog_), 1100);
  (void)unlimited;
  testing::MessageRecorder recorder;
  std::u16string kept = u"kept";
  DataExchange save(&dialog_, DataExchange::kSave);
  save.Text(1100, kept, 5);
  EXPECT_FALSE(save.ok());
  EXPECT_EQ(kept, u"kept");
  ASSERT_EQ(recorder.texts().size(), 1u);
  EXPECT_EQ(recorder.texts()[0], u"5 文字以内で入力してください。");
}

TEST_F(DataExchangeTest, MissingControlIsSkipped) {
  int value = 3;
  DataExchange save(&dialog_, DataExchange::kSave);
  save.Int(9999, value, 1, 5).Check(9998, value);
  EXPECT_TRUE(save.ok());
  EXPECT_EQ(value, 3);
}

}  // namespace
}  // namespace platform
