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

class DatePickerDialog : public PictureDialog {
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
  bool StartPicker() override;
  std::u16string PickerCaption() const override { return picker_.Caption(); }
  std::vector<uint8_t> PickerPicture() const override { return picker_.PictureTopDown(); }
  bool PickerStylusDown(int x, int y) override { return picker_.StylusDown(x, y); }
  bool PickerStylusMove(int x, int y) override { return picker_.StylusMove(x, y); }
  bool PickerStylusUp(int x, int y) override { return picker_.StylusUp(x, y); }

 private:
  void Today();

  HostContext* host_;
  DatePicker picker_;
};

}  // namespace yk
