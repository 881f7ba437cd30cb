#include "platform/qt_message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

#include "platform/message_box.h"
#include "platform/tests/qt_test_support.h"

namespace platform {
namespace {

// Presses the button labelled `label` of the box that is about to open, once it is up;
// records the button texts and the icon it showed.
void PressWhenShown(const QString& label, QStringList* shownButtons, QMessageBox::Icon* icon) {
  QTimer::singleShot(0, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return PressWhenShown(label, shownButtons, icon);
    *icon = box->icon();
    for (QAbstractButton* button : box->buttons()) shownButtons->append(button->text());
    for (QAbstractButton* button : box->buttons())
      if (button->text() == label) return button->click();
    box->reject();  // Escape
  });
}

TEST(QtMessageBox, ShowsTheHandheldButtonsAndAnswers) {
  testing::App();
  InstallQtMessageBoxes(nullptr);
  struct Case {
    unsigned flags;
    QString press;  // "" = Escape
    int answer;
    QStringList buttons;
    QMessageBox::Icon icon;
  } cases[] = {
      {kMbOk | kMbIconWarning, u"OK"_qs, kIdOk, {u"OK"_qs}, QMessageBox::Warning},
      {kMbOk, u""_qs, kIdOk, {u"OK"_qs}, QMessageBox::NoIcon},
      {kMbOkCancel | kMbIconQuestion,
       u"キャンセル"_qs,
       kIdCancel,
       {u"OK"_qs, u"キャンセル"_qs},
       QMessageBox::Question},
      {kMbOkCancel, u""_qs, kIdCancel, {u"OK"_qs, u"キャンセル"_qs}, QMessageBox::NoIcon},
      {kMbYesNo | kMbIconError,
       u"いいえ"_qs,
       kIdNo,
       {u"はい"_qs, u"いいえ"_qs},
       QMessageBox::Critical},
      {kMbYesNo, u"はい"_qs, kIdYes, {u"はい"_qs, u"いいえ"_qs}, QMessageBox::NoIcon},
      {kMbYesNoCancel | kMbIconInformation,
       u""_qs,
       kIdCancel,
       {u"はい"_qs, u"いいえ"_qs, u"キャンセル"_qs},
       QMessageBox::Information},
  };
  for (const auto& c : cases) {
    QStringList shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    PressWhenShown(c.press, &shown, &icon);
    EXPECT_EQ(MessageBox(u"本文", u"Yomitoki", c.flags), c.answer) << c.flags;
    shown.sort();
    QStringList expected = c.buttons;
    expected.sort();
    EXPECT_EQ(shown, expected) << c.flags;
    EXPECT_EQ(icon, c.icon) << c.flags;
  }
  SetMessageBoxHandler(nullptr);
}

}  // namespace
}  // namespace platform
