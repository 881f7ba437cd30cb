// date_picker_dialog.h — the "日付" dialog: a month calendar drawn by DatePicker.
//
// Usage: construct with the Host context, set year, month, day and yearLocked, run exec().
// Only on QDialog::Accepted read year, month and day back; a cancel (or a picture that
// could not be allocated) leaves the caller's values as they were.
#pragma once

#include <QDialog>
#include <QRect>

#include "common/date_picker.h"
#include "common/plugin_interface.h"

class QLineEdit;

namespace yk {

// The pickers' and the edit dialog's layouts are given in dialog units of their 9-point
// font; this is their size in pixels here (the pictures keep their pixel sizes).
inline QRect DialogUnits(int x, int y, int w, int h) {
  return QRect(x * 17 / 10, y * 3 / 2, w * 17 / 10, h * 3 / 2);
}

class DatePickerDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kTodayButtonId = 1016;
  static constexpr int kCaptionId = 1017;

  explicit DatePickerDialog(HostContext* host, QWidget* parent = nullptr);
  ~DatePickerDialog() override;

  int year = kFirstYear;
  int month = 1;
  int day = 1;
  bool yearLocked = false;

  // The logic behind the picture (for tests).
  const DatePicker& picker() const { return picker_; }

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Today();
  void Changed(bool repaint);

  HostContext* host_;
  DatePicker picker_;
  QLineEdit* caption_;
  bool started_ = false;
};

}  // namespace yk
