// holiday_entry_dialog.h — "休日データの編集" (template 139): one holiday entry.
//
// Controls by id: colour combo 1022, name 1021 (at most 510 characters), radio buttons
// 1015 "特定日" and 1016 "期間"; with "特定日": check 1028 "毎月", month 1003, day 1002 and
// "暦" 1017; with "期間": check 1029 "毎月", start month 1006 / day 1005 with "暦" 1018, end
// month 1009 / day 1008 with "暦" 1019 and the weekday combo 1020; buttons 3 "修正",
// 1 "新規追加", 2 "ｷｬﾝｾﾙ" and 1013 "？".
//
// "暦" opens the date picker on the pair of edits with the list's year locked.  "修正" and
// "新規追加" check the fields (HolidayEntryFields, EntryFromFields) and end the dialog with
// the entry and the choice; a refused value shows its message and the dialog stays open.
#pragma once

#include <QDialog>

#include "common/plugin_interface.h"
#include "host/holiday_editor_model.h"

namespace yk {

class HolidayEntryDialog : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    kAddButton = 1,
    kCancelButton = 2,
    kReplaceButton = 3,
    kDayEdit = 1002,
    kMonthEdit = 1003,
    kStartDayEdit = 1005,
    kStartMonthEdit = 1006,
    kEndDayEdit = 1008,
    kEndMonthEdit = 1009,
    kHelpButton = 1013,
    kOneDayRadio = 1015,
    kPeriodRadio = 1016,
    kDayPickerButton = 1017,
    kStartPickerButton = 1018,
    kEndPickerButton = 1019,
    kWeekdayCombo = 1020,
    kNameEdit = 1021,
    kColourCombo = 1022,
    kDayEveryMonthCheck = 1028,
    kPeriodEveryMonthCheck = 1029,
  };

  // `host` gives the date picker its parts sheet and holidays; may be null in tests that do
  // not open the picker.
  HolidayEntryDialog(const HolidayEntryRequest& request, HostContext* host,
                     QWidget* parent = nullptr);

  const HolidayEntryOutcome& outcome() const { return outcome_; }
  const HolidayEntryFields& fields() const { return fields_; }

  // Runs the dialog modally (the list's callback).
  static HolidayEntryOutcome Run(const HolidayEntryRequest& request, HostContext* host,
                                 QWidget* parent);

 private:
  void Exchange(bool save, bool* ok);
  void UpdateControls();
  void Finish(HolidayEntryChoice choice);
  void PickDate(int monthId, int dayId);

  HolidayEntryRequest request_;
  HostContext* host_;
  HolidayEntryFields fields_;
  HolidayEntryOutcome outcome_;
};

}  // namespace yk
