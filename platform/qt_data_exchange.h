// qt_data_exchange.h — moving values between a dialog's controls and its fields.
//
// Every control of a dialog carries its control id as objectName ("1010"), so code finds
// it with FindControl<QLineEdit>(dialog, 1010).  A DataExchange runs in one direction:
// loading (fields -> controls) or saving (controls -> fields, with validation).  Calls are
// made in the dialog's exchange order; the first refused value shows the standard message,
// focuses the control (selecting an edit's text) and stops the exchange: later calls do
// nothing and ok() is false, so the dialog stays open.  The field of a refused value keeps
// what it held.
//
// Standard messages (shown through platform::MessageBox with OK and the warning icon):
//   integer out of range or not a number, with bounds: "%1 から %2 までの整数を入力してください。"
//   not a number, without bounds:                       "整数を入力してください。"
//   text longer than its limit:                          "%1 文字以内で入力してください。"
//
// Controls taken: integers from QLineEdit or QSpinBox; texts from QLineEdit, QPlainTextEdit
// or QTextEdit (plain text); check boxes (QAbstractButton, 0/1); radio groups (a list of
// button ids, value = index of the checked one, -1 none); QComboBox index; QListWidget
// current row (-1 none).  A control id that is missing or of another kind is a programming
// error: it is reported with qWarning and skipped.
#pragma once

#include <QString>
#include <QWidget>
#include <initializer_list>
#include <string>

namespace platform {

template <typename Control>
Control* FindControl(const QWidget* dialog, int id) {
  return dialog ? dialog->findChild<Control*>(QString::number(id)) : nullptr;
}

// Gives a control its id (objectName) and returns it, for building dialogs in code.
template <typename Control>
Control* WithId(Control* control, int id) {
  control->setObjectName(QString::number(id));
  return control;
}

class DataExchange {
 public:
  enum Direction { kLoad, kSave };

  DataExchange(QWidget* dialog, Direction direction);

  bool saving() const { return direction_ == kSave; }
  // False once a value was refused; every later call then does nothing.
  bool ok() const { return ok_; }

  // Integer without range check: only "not a number" is refused.
  DataExchange& Int(int id, int& field);
  // Integer in min..max.  On loading a QSpinBox also gets the range; a QLineEdit does not
  // (the value is checked when saved).
  DataExchange& Int(int id, int& field, int min, int max);

  // Text limited to maxLength UTF-16 units (-1 = no limit).  On loading the control gets
  // the limit too, so the user cannot type past it.
  DataExchange& Text(int id, std::u16string& field, int maxLength = -1);

  DataExchange& Check(int id, int& field);
  DataExchange& Check(int id, bool& field);

  // A radio group: `ids` in value order; loading -1 unchecks every button.
  DataExchange& Radio(std::initializer_list<int> ids, int& field);

  DataExchange& ComboIndex(int id, int& field);
  DataExchange& ListRow(int id, int& field);

 private:
  QWidget* Find(int id, const char* what);
  void Refuse(QWidget* control, const std::u16string& message);

  QWidget* dialog_;
  Direction direction_;
  bool ok_ = true;
};

// Keeps a QPlainTextEdit or QTextEdit at most maxLength UTF-16 units long while the user
// types (QLineEdit has setMaxLength of its own).  Installing again changes the limit.
void LimitPlainTextLength(QWidget* edit, int maxLength);

}  // namespace platform
