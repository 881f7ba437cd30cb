// platform::MessageBox shown as a QMessageBox with the handheld's button texts.
#include "platform/qt_message_box.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "platform/message_box.h"
#include "platform/qt_text.h"

namespace platform {
namespace {

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

void InstallQtMessageBoxes(QWidget* parent) {
  QPointer<QWidget> owner(parent);
  SetMessageBoxHandler(
      [owner](std::u16string_view text, std::u16string_view caption, unsigned flags) -> int {
        QMessageBox box(IconOf(flags), ToQString(caption), ToQString(text), QMessageBox::NoButton,
                        owner.data());
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
          buttons.emplace_back(box.addButton(ToQString(choice.label), choice.role), choice.answer);
        box.setDefaultButton(static_cast<QPushButton*>(buttons.front().first));
        // Closing the box with Escape or the title bar answers as the handheld does: Cancel
        // when there is one, otherwise No, otherwise OK.
        box.setEscapeButton(buttons.back().first);
        box.exec();
        for (const auto& [button, answer] : buttons)
          if (box.clickedButton() == button) return answer;
        return buttons.back().second;
      });
}

}  // namespace platform
