// time_picker_dialog.cpp — binds TimePicker to the picture dialog: moves the two times in
// and out and answers "現時刻".
#include "common/time_picker_dialog.h"

#include <QPushButton>

#include "platform/clock.h"

namespace yk {

TimePickerDialog::TimePickerDialog(HostContext* host, TimePickerIds ids, QWidget* parent)
    : PickerDialog(Layout{QString::fromUtf16(u"時間"), QString::fromUtf16(u"現時刻"), ids.nowButton,
                          ids.caption,
                          QRect(TimePicker::kPictureLeft, TimePicker::kPictureTop,
                                TimePicker::kPictureWidth, TimePicker::kImageHeight)},
                   parent),
      host_(host) {
  connect(actionButton(), &QPushButton::clicked, this, &TimePickerDialog::Now);
}

bool TimePickerDialog::StartPicker() {
  picker_.startHour = startHour;
  picker_.startMinute = startMinute;
  picker_.endHour = endHour;
  picker_.endMinute = endMinute;
  const ConstPixelBuffer parts = host_ != nullptr ? PartsBuffer(*host_) : ConstPixelBuffer{};
  return picker_.Start(parts);
}

void TimePickerDialog::TakeValues() {
  startHour = picker_.startHour;
  startMinute = picker_.startMinute;
  endHour = picker_.endHour;
  endMinute = picker_.endMinute;
}

void TimePickerDialog::Now() {
  if (picker_.released()) return;
  const platform::LocalTime now = platform::Now();
  picker_.SetNow(now.hour, now.minute);
  Changed(true);
}

}  // namespace yk
