// memo_edit_dialog.h — the "メモ・日記" dialog (template 3018): one day's diary or memo,
// with the memo of a reference day shown for reading.  The rules live in MemoEditModel.
//
//   bool changed = yk::EditMemo(host, 2004, 5, 1, /*readOnly=*/false, parent);
//
// True when the dialog saved or deleted the memo (it closed with OK).  The memo files are
// those of the Host context's data folder; the date picker behind "暦" uses its parts
// sheet and holidays.
#pragma once

#include <QDialog>
#include <memory>

#include "common/memo_edit_model.h"
#include "common/plugin_interface.h"

namespace yk {

class MemoEditDialog : public QDialog {
  Q_OBJECT

 public:
  // Control ids.
  static constexpr int kMemoDayBox = 1028;
  static constexpr int kTextBox = 1021;
  static constexpr int kTodayButton = 1025;
  static constexpr int kReferenceDayBox = 1029;
  static constexpr int kCalendarButton = 1024;
  static constexpr int kReferenceTextBox = 1023;
  static constexpr int kDeleteButton = 1026;
  static constexpr int kSaveButton = 1;
  static constexpr int kCancelButton = 2;

  MemoEditDialog(HostContext* host, YearMonthDay memoDay, bool readOnly, QWidget* parent = nullptr);
  ~MemoEditDialog() override;

  const MemoEditModel& model() const { return *model_; }

 private:
  void ShowReference();
  void OnToday();
  void OnCalendar();
  void OnSave();
  void OnDelete();

  HostContext* host_;
  std::unique_ptr<MemoEditModel> model_;
};

// Runs the dialog on a day's memo; true when it saved or deleted it.
bool EditMemo(HostContext* host, int year, int month, int day, bool readOnly,
              QWidget* parent = nullptr);

}  // namespace yk
