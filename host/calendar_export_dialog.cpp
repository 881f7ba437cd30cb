#include "host/calendar_export_dialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "platform/message_box.h"

namespace yk {
namespace {

QDate DateOf(const YearMonthDay& day) {
  return QDate(day.year, day.month, day.day);
}

YearMonthDay DayOf(const QDate& date) {
  return {date.year(), date.month(), date.day()};
}

QDateEdit* NewDateEdit(const char* name, const YearMonthDay& day, QWidget* parent) {
  auto* edit = new QDateEdit(DateOf(day), parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
  edit->setDateRange(QDate(kFirstYear, 1, 1), QDate(kLastYear, 12, 31));
  edit->setCalendarPopup(true);
  return edit;
}

}  // namespace

CalendarExportDialog::CalendarExportDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("iCalendarへの書き出し"));
  from_ = NewDateEdit("from", options_.from, this);
  to_ = NewDateEdit("to", options_.to, this);
  holidays_ = new QCheckBox(QStringLiteral("休日データも書き出す(&H)"), this);
  holidays_->setObjectName(QStringLiteral("holidays"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("開始日(&F)"), from_);
  form->addRow(QStringLiteral("終了日(&T)"), to_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CalendarExportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CalendarExportDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(holidays_);
  layout->addWidget(buttons);
}

void CalendarExportDialog::accept() {
  const YearMonthDay from = DayOf(from_->date()), to = DayOf(to_->date());
  if (to < from) {
    platform::MessageBox(u"終了日が開始日より前です");
    return;
  }
  options_.from = from;
  options_.to = to;
  options_.holidays = holidays_->isChecked();
  QDialog::accept();
}

}  // namespace yk
