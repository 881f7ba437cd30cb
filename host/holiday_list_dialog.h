// holiday_list_dialog.h — "休日データ" (template 137): one year's holiday entries.
//
// Controls by id: year combo 1007 ("%d年", 1975..2036, starting on the current year), list
// 1000, "↑" 1015, "↓" 1014, "新規追加" 1011, "編集" 1010, "削除" 1012, "保存" 1009, "閉じる"
// 1 and "?" 1013.  The logic is HolidayListModel's; this dialog forwards the buttons and
// refills the list.  Every way out (閉じる, Escape, the window's close box) asks to save
// unsaved changes first.  The caller sends DateChanged to every window once it returns.
#pragma once

#include <QDialog>
#include <functional>

#include "common/plugin_interface.h"
#include "host/holiday_editor_model.h"

namespace yk {

class HolidayListDialog : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    kCloseButton = 1,
    kListBox = 1000,
    kYearCombo = 1007,
    kSaveButton = 1009,
    kEditButton = 1010,
    kAddButton = 1011,
    kDeleteButton = 1012,
    kHelpButton = 1013,
    kDownButton = 1014,
    kUpButton = 1015,
  };

  // `host` gives the data folder, the views' holiday table and the date picker's parts.
  // `runEntry` replaces the entry dialog (tests); by default HolidayEntryDialog runs.
  explicit HolidayListDialog(HostContext* host, QWidget* parent = nullptr,
                             HolidayEntryRunner runEntry = {});

  HolidayListModel& model() { return model_; }

  void done(int result) override;

 private:
  void Refill();
  void YearChosen(int index);

  HostContext* host_;
  HolidayListModel model_;
  bool opened_ = false;
};

}  // namespace yk
