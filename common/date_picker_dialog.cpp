// date_picker_dialog.cpp — binds DatePicker to the picture dialog: moves the date in and
// out and answers "今日".
#include "common/date_picker_dialog.h"

#include <QPushButton>

#include "platform/clock.h"

namespace yk {

DatePickerDialog::DatePickerDialog(HostContext* host, QWidget* parent)
    : PickerDialog(Layout{QString::fromUtf16(u"日付"), QString::fromUtf16(u"今日"), kTodayButtonId,
                          kCaptionId,
                          QRect(DatePicker::kPictureLeft, DatePicker::kPictureTop,
                                DatePicker::kPictureWidth, DatePicker::kImageHeight)},
                   parent),
      host_(host) {
  connect(actionButton(), &QPushButton::clicked, this, &DatePickerDialog::Today);
}

bool DatePickerDialog::StartPicker() {
  picker_.year = year;
  picker_.month = month;
  picker_.day = day;
  picker_.yearLocked = yearLocked;
  DatePicker::Sources sources;
  if (host_ != nullptr) {
    sources.parts = PartsBuffer(*host_);
    sources.dataFolder = std::filesystem::path(std::u16string(host_->dataFolder));
    sources.holidays = &host_->holidays;
  }
  return picker_.Start(sources);
}

void DatePickerDialog::TakeValues() {
  year = picker_.year;
  month = picker_.month;
  day = picker_.day;
}

void DatePickerDialog::Today() {
  if (picker_.released()) return;
  const platform::LocalTime now = platform::Now();
  picker_.SetToday(now.year, now.month, now.day);
  Changed(true);
}

}  // namespace yk
