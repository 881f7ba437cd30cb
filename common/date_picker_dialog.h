// date_picker_dialog.h — the "日付" dialog: a month calendar drawn by DatePicker.
//
// Usage: construct with the Host context, set year, month, day and yearLocked, run exec().
// Only on QDialog::Accepted read year, month and day back; a cancel (or a picture that
// could not be allocated) leaves the caller's values as they were.
#pragma once

#include "common/date_picker.h"
#include "common/picture_dialog.h"
#include "common/plugin_interface.h"

namespace yk {

class DatePickerDialog : public PickerDialog<DatePicker> {
  Q_OBJECT

 public:
  static constexpr int kTodayButtonId = 1016;
  static constexpr int kCaptionId = 1017;

  explicit DatePickerDialog(HostContext* host, QWidget* parent = nullptr);

  int year = kFirstYear;
  int month = 1;
  int day = 1;
  bool yearLocked = false;

 protected:
  bool StartPicker() override;
  void TakeValues() override;

 private:
  void Today();

  HostContext* host_;
};

}  // namespace yk
