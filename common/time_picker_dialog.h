// time_picker_dialog.h — the "時間" dialog: two clock faces drawn by TimePicker.
//
// Usage: construct with the Host context, set the four values, run exec(); only on
// QDialog::Accepted read them back.  A cancel (or a picture that could not be allocated)
// leaves the caller's values as they were.
#pragma once

#include "common/picture_dialog.h"
#include "common/plugin_interface.h"
#include "common/time_picker.h"

namespace yk {

// The search plugin carries the dialog with its control ids moved by 20.
struct TimePickerIds {
  int nowButton = 1011;  // "現時刻"
  int caption = 1009;
};

class TimePickerDialog : public PickerDialog<TimePicker> {
  Q_OBJECT

 public:
  explicit TimePickerDialog(HostContext* host, TimePickerIds ids = {}, QWidget* parent = nullptr);

  int startHour = 0;
  int startMinute = 0;
  int endHour = 0;
  int endMinute = 0;

 protected:
  bool StartPicker() override;
  void TakeValues() override;

 private:
  void Now();

  HostContext* host_;
};

}  // namespace yk
