// platform::MessageBox shown as a QMessageBox with the handheld's button texts.
#include "platform/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <utility>
#include <vector>

#include "platform/qt_text.h"

namespace platform {
namespace {

QPointer<QWidget>& Owner() {
  static QPointer<QWidget> owner;
  return owner;
}

// A box that comes to the top and takes the keyboard as it opens.
class RaisedMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    raise();
    activateWindow();
  }
};

QMessageBox::Icon IconOf(unsigned flags) {
  switch (flags & kMbIconMask) {
    case kMbIconError:
      return QMessageBox::Critical;
    case kMbIconQuestion:
      return QMessageBox::Question;
    case kMbIconWarning:
      return QMessageBox::Warning;
    case kMbIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

void SetMessageBoxOwner(QWidget* owner) {
  Owner() = owner;
}

QWidget* MessageBoxParent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  // A hidden or minimized window would take the box out of sight with it.
  QWidget* owner = Owner().data();
  if (owner != nullptr && owner->isVisible() && !owner->isMinimized()) return owner;
  return nullptr;
}

MessageBoxHandler InstallQtMessageBoxes() {
  return SetMessageBoxHandler(
      [](std::u16string_view text, std::u16string_view caption, unsigned flags) -> int {
        // On the heap: the parent may go while the box is open (the program is told to
        // end), and takes the box with it.
        QPointer<QMessageBox> box =
            new RaisedMessageBox(IconOf(flags), ToQString(caption), ToQString(text),
                                 QMessageBox::NoButton, MessageBoxParent());
        struct Choice {
          const char16_t* label;
          QMessageBox::ButtonRole role;
          int answer;
        };
        std::vector<Choice> choices;
        switch (flags & kMbButtonMask) {
          case kMbOkCancel:
            choices = {{u"OK", QMessageBox::AcceptRole, kIdOk},
                       {u"キャンセル", QMessageBox::RejectRole, kIdCancel}};
            break;
          case kMbYesNoCancel:
            choices = {{u"はい", QMessageBox::YesRole, kIdYes},
                       {u"いいえ", QMessageBox::NoRole, kIdNo},
                       {u"キャンセル", QMessageBox::RejectRole, kIdCancel}};
            break;
          case kMbYesNo:
            choices = {{u"はい", QMessageBox::YesRole, kIdYes},
                       {u"いいえ", QMessageBox::NoRole, kIdNo}};
            break;
          default:
            choices = {{u"OK", QMessageBox::AcceptRole, kIdOk}};
            break;
        }
        std::vector<std::pair<QAbstractButton*, int>> buttons;
        for (const auto& choice : choices)
          buttons.emplace_back(box->addButton(ToQString(choice.label), choice.role), choice.answer);
        box->setDefaultButton(static_cast<QPushButton*>(buttons.front().first));
        // Closing the box with Escape or the title bar answers as the handheld does: Cancel
        // when there is one, otherwise No, otherwise OK.
        box->setEscapeButton(buttons.back().first);
        box->exec();
        int answer = buttons.back().second;
        if (box.isNull()) return answer;
        for (const auto& [button, buttonAnswer] : buttons)
          if (box->clickedButton() == button) answer = buttonAnswer;
        delete box.data();
        return answer;
      });
}

}  // namespace platform
