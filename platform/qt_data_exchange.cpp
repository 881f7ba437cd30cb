#include "platform/qt_data_exchange.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>
#include <QtDebug>
#include <algorithm>
#include <memory>
#include <utility>

#include "platform/message_box.h"

namespace platform {
namespace {

constexpr char16_t kNotAnInteger[] = u"整数を入力してください。";

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), text.size());
}

std::u16string RangeMessage(int min, int max) {
  return Q(u"%1 から %2 までの整数を入力してください。").arg(min).arg(max).toStdU16String();
}

std::u16string LengthMessage(int maxLength) {
  return Q(u"%1 文字以内で入力してください。").arg(maxLength).toStdU16String();
}

// The text of an integer control, as the user typed it.
QString TextOfIntegerControl(QWidget* control) {
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
  if (auto* spin = qobject_cast<QSpinBox*>(control)) return spin->cleanText();
  return {};
}

const char* kLimitProperty = "ykMaxLength";

}  // namespace

DataExchange::DataExchange(QWidget* dialog, Direction direction)
    : dialog_(dialog), direction_(direction) {}

QWidget* DataExchange::Find(int id, const char* what) {
  if (!ok_) return nullptr;
  QWidget* control = FindControl<QWidget>(dialog_, id);
  if (control == nullptr) qWarning("data exchange: no control %d (%s)", id, what);
  return control;
}

void DataExchange::Refuse(QWidget* control, const std::u16string& message) {
  ok_ = false;
  MessageBox(message, kDefaultCaption, kMbOk | kMbIconWarning);
  control->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
  if (auto* spin = qobject_cast<QSpinBox*>(control)) spin->selectAll();
}

DataExchange& DataExchange::Int(int id, int& field) {
  QWidget* control = Find(id, "integer");
  if (control == nullptr) return *this;
  if (!saving()) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
      edit->setText(QString::number(field));
    else if (auto* spin = qobject_cast<QSpinBox*>(control))
      spin->setValue(field);
    else
      qWarning("data exchange: control %d holds no integer", id);
    return *this;
  }
  bool number = false;
  int value = TextOfIntegerControl(control).trimmed().toInt(&number);
  if (!number)
    Refuse(control, kNotAnInteger);
  else
    field = value;
  return *this;
}

DataExchange& DataExchange::Int(int id, int& field, int min, int max) {
  QWidget* control = Find(id, "integer");
  if (control == nullptr) return *this;
  if (!saving()) {
    if (auto* spin = qobject_cast<QSpinBox*>(control)) spin->setRange(min, max);
    return Int(id, field);
  }
  bool number = false;
  int value = TextOfIntegerControl(control).trimmed().toInt(&number);
  if (!number || value < min || value > max)
    Refuse(control, RangeMessage(min, max));
  else
    field = value;
  return *this;
}

DataExchange& DataExchange::Text(int id, std::u16string& field, int maxLength) {
  QWidget* control = Find(id, "text");
  if (control == nullptr) return *this;
  auto* line = qobject_cast<QLineEdit*>(control);
  auto* plain = qobject_cast<QPlainTextEdit*>(control);
  auto* rich = qobject_cast<QTextEdit*>(control);
  if (!line && !plain && !rich) {
    qWarning("data exchange: control %d holds no text", id);
    return *this;
  }
  if (!saving()) {
    // Loading sets the limit first, then the text as it stands: a longer stored text is
    // shown whole and refused only if it is saved unchanged.
    if (line) {
      if (maxLength >= 0) line->setMaxLength(std::max(maxLength, int(field.size())));
      line->setText(Q(field));
    } else {
      if (plain)
        plain->setPlainText(Q(field));
      else
        rich->setPlainText(Q(field));
      if (maxLength >= 0) LimitPlainTextLength(control, std::max(maxLength, int(field.size())));
    }
    return *this;
  }
  QString text = line ? line->text() : plain ? plain->toPlainText() : rich->toPlainText();
  if (maxLength >= 0 && text.size() > maxLength) {
    Refuse(control, LengthMessage(maxLength));
    return *this;
  }
  field = text.toStdU16String();
  return *this;
}

DataExchange& DataExchange::Check(int id, int& field) {
  QWidget* control = Find(id, "check box");
  auto* button = qobject_cast<QAbstractButton*>(control);
  if (button == nullptr) {
    if (control) qWarning("data exchange: control %d is no button", id);
    return *this;
  }
  if (saving())
    field = button->isChecked() ? 1 : 0;
  else
    button->setChecked(field != 0);
  return *this;
}

DataExchange& DataExchange::Check(int id, bool& field) {
  int value = field ? 1 : 0;
  Check(id, value);
  field = value != 0;
  return *this;
}

DataExchange& DataExchange::Radio(std::initializer_list<int> ids, int& field) {
  if (!ok_) return *this;
  std::vector<QAbstractButton*> buttons;
  for (int id : ids) {
    auto* button = qobject_cast<QAbstractButton*>(Find(id, "radio button"));
    if (button == nullptr) return *this;
    buttons.push_back(button);
  }
  if (saving()) {
    field = -1;
    for (size_t i = 0; i < buttons.size(); ++i)
      if (buttons[i]->isChecked()) field = int(i);
    return *this;
  }
  for (size_t i = 0; i < buttons.size(); ++i) {
    // Unchecking an exclusive button needs the group's exclusivity out of the way.
    bool exclusive = buttons[i]->autoExclusive();
    buttons[i]->setAutoExclusive(false);
    buttons[i]->setChecked(int(i) == field);
    buttons[i]->setAutoExclusive(exclusive);
  }
  return *this;
}

DataExchange& DataExchange::ComboIndex(int id, int& field) {
  auto* combo = qobject_cast<QComboBox*>(Find(id, "combo box"));
  if (combo == nullptr) return *this;
  if (saving())
    field = combo->currentIndex();
  else
    combo->setCurrentIndex(field >= 0 && field < combo->count() ? field : -1);
  return *this;
}

DataExchange& DataExchange::ListRow(int id, int& field) {
  auto* list = qobject_cast<QListWidget*>(Find(id, "list"));
  if (list == nullptr) return *this;
  if (saving())
    field = list->currentItem() && list->currentItem()->isSelected() ? list->currentRow() : -1;
  else
    list->setCurrentRow(field >= 0 && field < list->count() ? field : -1);
  return *this;
}

void LimitPlainTextLength(QWidget* edit, int maxLength) {
  auto* plain = qobject_cast<QPlainTextEdit*>(edit);
  auto* rich = qobject_cast<QTextEdit*>(edit);
  if (!plain && !rich) return;
  bool installed = edit->property(kLimitProperty).isValid();
  edit->setProperty(kLimitProperty, maxLength);
  if (installed) return;
  QTextDocument* document = plain ? plain->document() : rich->document();
  // Where the last change put its characters.  What goes past the limit is taken off the
  // end of what was typed or pasted, as the edit boxes of the handheld refused it: the
  // text already in the box (perhaps scrolled out of sight) is never cut.
  auto inserted = std::make_shared<std::pair<int, int>>(0, 0);
  QObject::connect(document, &QTextDocument::contentsChange, edit,
                   [inserted](int position, int /*removed*/, int added) {
                     *inserted = {position, position + added};
                   });
  auto trim = [edit, document, inserted] {
    int limit = edit->property(kLimitProperty).toInt();
    // characterCount() counts the closing paragraph separator too.
    int length = document->characterCount() - 1;
    if (limit < 0 || length <= limit) return;
    int excess = length - limit;
    int end = std::min(inserted->second, length);
    int from = std::max(inserted->first, end - excess);
    if (from < end) {
      // Not between the two halves of a surrogate pair.
      if (from > 0 && QChar(document->characterAt(from - 1)).isHighSurrogate()) --from;
      QTextCursor cursor(document);
      cursor.setPosition(from);
      cursor.setPosition(end, QTextCursor::KeepAnchor);
      cursor.removeSelectedText();
      length = document->characterCount() - 1;
      if (length <= limit) return;
    }
    // A lower limit than the text already held: the end goes.
    QTextCursor cursor(document);
    cursor.setPosition(limit);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  };
  if (plain)
    QObject::connect(plain, &QPlainTextEdit::textChanged, edit, trim);
  else
    QObject::connect(rich, &QTextEdit::textChanged, edit, trim);
}

}  // namespace platform
