// schedule_dialog.h — the "スケジュール" dialog in which one schedule is created, changed or
// deleted, with its "日時" and "内容" pages.
//
// Entry points for the plugins' views:
//
//   // A new schedule on a date: true when one was stored.
//   bool stored = yk::EditNewSchedule(host, year, month, day, variant, parent);
//   // An existing schedule (a DayEntry's record): true when it was added as a copy,
//   // changed or deleted.
//   bool stored = yk::EditExistingSchedule(host, record, variant, parent);
//
// On true the caller reports the change (changeFlags 1, request 6).  The store calls use
// the Host context's dataFolder and its shared schedule cache.  The search plugin passes
// ScheduleDialogVariant::kSearchPlugin: its control ids are moved by 20 (the help button
// is 1011) and in change mode the dialog opens on the "内容" page.
#pragma once

#include <QDialog>

#include "common/plugin_interface.h"
#include "common/schedule_dialog_model.h"

class QTabBar;
class QComboBox;
class QPushButton;

namespace yk {

enum class ScheduleDialogVariant { kSchedulePlugin, kSearchPlugin };

// Control ids of the dialog and its pages for one variant.
struct ScheduleDialogIds {
  int tab, deleteButton, modifyButton;
  int startYear, startMonth, startDay, endYear, endMonth, endDay;
  int startCalendar, endCalendar, everyYear, everyMonth, timeButton;
  int allDayRadio, timedRadio, startHour, startMinute, endHour, endMinute;
  int periodList, helpButton, text;
  int timePickerNow, timePickerCaption;

  static ScheduleDialogIds For(ScheduleDialogVariant variant);
};

// Object names of the two pages (their template numbers), to find a page's controls:
// FindControl<QCheckBox>(FindControl<QWidget>(dialog, kDatePageId), ids.everyMonth).
inline constexpr int kDatePageId = 3002;
inline constexpr int kTextPageId = 3003;

class ScheduleDialog : public QDialog {
  Q_OBJECT

 public:
  ScheduleDialog(HostContext* host, const ScheduleDialogInput& input, ScheduleDialogVariant variant,
                 QWidget* parent = nullptr);

  const ScheduleDialogModel& model() const { return model_; }
  const ScheduleDialogIds& ids() const { return ids_; }
  QWidget* datePage() const { return datePage_; }
  QWidget* textPage() const { return textPage_; }

 protected:
  // Comes to the top and takes the keyboard as it opens.
  void showEvent(QShowEvent* event) override;

 private:
  void BuildDatePage();
  void BuildTextPage();
  void SelectPage(int index);
  // Moves the page's values into the model (with range checks); false after a refused
  // value, whose message the exchange has shown.
  bool SaveDatePage();
  bool SaveTextPage();
  void LoadDatePage();
  void LoadTextPage();

  void OnAdd();
  void OnModify();
  void OnDelete();
  void OnCalendar(bool start);
  void OnTime();
  void OnHelp();
  void Finish(ScheduleDialogModel::Outcome outcome);

  HostContext* host_;
  ScheduleDialogVariant variant_;
  ScheduleDialogIds ids_;
  ScheduleDialogModel model_;
  QTabBar* tabs_ = nullptr;
  QWidget* datePage_ = nullptr;
  QWidget* textPage_ = nullptr;
};

// Both entry points make the dialog a child of `parent`, or, when it is null, of the
// organizer's main window (OrganizerMainWindow).

// Opens the dialog for a new schedule on the date (start and end); true when stored.
bool EditNewSchedule(HostContext* host, int year, int month, int day, ScheduleDialogVariant variant,
                     QWidget* parent = nullptr);

// Opens the dialog on an existing record; true when something was stored or deleted.
bool EditExistingSchedule(HostContext* host, const ScheduleRecord& record,
                          ScheduleDialogVariant variant, QWidget* parent = nullptr);

}  // namespace yk
