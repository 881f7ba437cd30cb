// calendar_export_dialog.h — what "iCalendarへの書き出し(&E)..." asks before the file name:
// the days whose schedules go out (from, to: 1975/1/1 to 2036/12/31 at first) and whether
// the holidays go with them.
//
// Controls by object name: date edits "from" and "to", check box "holidays".  A "to"
// before "from" is refused with a message and the dialog stays open.
#pragma once

#include <QDialog>

#include "common/ical_exchange.h"

class QCheckBox;
class QDateEdit;

namespace yk {

class CalendarExportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CalendarExportDialog(QWidget* parent = nullptr);

  // The choice once accepted: from, to and holidays; the zone and stamp are left as they
  // are.
  const CalendarExportOptions& options() const { return options_; }

  void accept() override;

 private:
  CalendarExportOptions options_;
  QDateEdit* from_;
  QDateEdit* to_;
  QCheckBox* holidays_;
};

}  // namespace yk
