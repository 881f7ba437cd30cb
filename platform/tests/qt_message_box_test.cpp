#include "platform/qt_message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>

#include "platform/message_box.h"
#include "platform/tests/qt_test_support.h"

namespace platform {
namespace {

// What the box showed while it was up.
struct Shown {
  QStringList buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QWidget* parent = nullptr;
  bool hadKeyboard = false;
};

// Presses the button labelled `label` of the box that is about to open, once it is up
// ("" = Escape), and records what it showed.
void PressWhenShown(const QString& label, Shown* shown) {
  QTimer::singleShot(0, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return PressWhenShown(label, shown);
    shown->icon = box->icon();
    shown->parent = box->parentWidget();
    shown->hadKeyboard =
        QTest::qWaitFor([box] { return QApplication::activeWindow() == box; }, 2000);
    for (QAbstractButton* button : box->buttons()) shown->buttons.append(button->text());
    for (QAbstractButton* button : box->buttons())
      if (button->text() == label) return button->click();
    box->reject();
  });
}

class QtMessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::App();
    previous_ = InstallQtMessageBoxes();
  }
  void TearDown() override {
    SetMessageBoxOwner(nullptr);
    SetMessageBoxHandler(previous_);
  }

  MessageBoxHandler previous_;
};

TEST_F(QtMessageBoxTest, ShowsTheHandheldButtonsAndAnswers) {
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
    Shown shown;
    PressWhenShown(c.press, &shown);
    EXPECT_EQ(MessageBox(u"本文", u"Yomitoki", c.flags), c.answer) << c.flags;
    shown.buttons.sort();
    QStringList expected = c.buttons;
    expected.sort();
    EXPECT_EQ(shown.buttons, expected) << c.flags;
    EXPECT_EQ(shown.icon, c.icon) << c.flags;
  }
}

// The box belongs to the modal dialog it comes from, else to the owner while that is on
// screen, else to nothing; either way it opens with the keyboard.
TEST_F(QtMessageBoxTest, BelongsToTheWindowInSight) {
  enum class Owner { kNone, kShown, kHidden, kMinimized, kGone };
  enum class Parent { kNone, kOwner, kDialog };
  const struct Case {
    const char* name;
    Owner owner;
    bool dialogOpen;
    Parent parent;
  } cases[] = {
      {"no owner", Owner::kNone, false, Parent::kNone},
      {"owner on screen", Owner::kShown, false, Parent::kOwner},
      {"owner hidden", Owner::kHidden, false, Parent::kNone},
      {"owner minimized", Owner::kMinimized, false, Parent::kNone},
      {"owner closed and gone", Owner::kGone, false, Parent::kNone},
      {"dialog over the owner", Owner::kShown, true, Parent::kDialog},
      {"dialog and no owner", Owner::kNone, true, Parent::kDialog},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto owner = std::make_unique<QWidget>();
    owner->resize(200, 150);
    if (c.owner == Owner::kShown || c.owner == Owner::kGone) owner->show();
    if (c.owner == Owner::kMinimized) owner->showMinimized();
    SetMessageBoxOwner(c.owner == Owner::kNone ? nullptr : owner.get());
    if (c.owner == Owner::kGone) owner.reset();

    Shown shown;
    QPointer<QDialog> dialog;
    if (c.dialogOpen) {
      dialog = new QDialog(owner.get());
      QTimer::singleShot(0, dialog, [&] {
        PressWhenShown(u"OK"_qs, &shown);
        EXPECT_EQ(MessageBox(u"本文"), kIdOk);
        dialog->accept();
      });
      dialog->exec();
    } else {
      PressWhenShown(u"OK"_qs, &shown);
      EXPECT_EQ(MessageBox(u"本文"), kIdOk);
    }
    QWidget* expected = nullptr;
    if (c.parent == Parent::kOwner) expected = owner.get();
    if (c.parent == Parent::kDialog) expected = dialog.data();
    EXPECT_EQ(shown.parent, expected);
    EXPECT_TRUE(shown.hadKeyboard);
    delete dialog.data();
  }
}

// The program is told to end while a box is open: its window goes and takes the box with
// it.  The call answers as Escape would and nothing is freed twice.
TEST_F(QtMessageBoxTest, AnswersAsEscapeWhenItsWindowGoes) {
  auto* owner = new QWidget;
  owner->show();
  SetMessageBoxOwner(owner);
  QTimer poll;  // until the box is up
  QPointer<QWidget> watched(owner);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (watched && qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr)
      delete watched.data();
  });
  poll.start(5);
  // A box that stayed open when its window went is closed so that the run goes on.
  QTimer::singleShot(2000, &poll, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->reject();
  });
  EXPECT_EQ(MessageBox(u"終了しますか", u"Yomitoki", kMbYesNoCancel), kIdCancel);
  EXPECT_TRUE(watched.isNull());
  EXPECT_EQ(MessageBoxParent(), nullptr);
}

}  // namespace
}  // namespace platform
