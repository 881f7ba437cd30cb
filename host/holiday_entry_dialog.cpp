#include "host/holiday_entry_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/date_picker_dialog.h"
#include "platform/message_box.h"
#include "platform/qt_data_exchange.h"

namespace yk {
namespace {

using platform::FindControl;
using platform::WithId;

QLineEdit* NumberEdit(int id) {
  auto* edit = WithId(new QLineEdit, id);
  edit->setMaximumWidth(44);
  return edit;
}

int EditNumber(const QWidget* dialog, int id, int fallback) {
  const QLineEdit* edit = FindControl<QLineEdit>(dialog, id);
  bool ok = false;
  const int value = edit ? edit->text().trimmed().toInt(&ok) : 0;
  return ok ? value : fallback;
}

}  // namespace

HolidayEntryDialog::HolidayEntryDialog(const HolidayEntryRequest& request, HostContext* host,
                                       QWidget* parent)
    : QDialog(parent), request_(request), host_(host) {
  setObjectName(QStringLiteral("139"));
  setWindowTitle(QStringLiteral("休日データの編集"));
  if (request_.mode == HolidayEntryMode::kEdit) fields_ = FieldsFromEntry(request_.entry);

  auto* layout = new QVBoxLayout(this);

  auto* top = new QGridLayout;
  top->addWidget(new QLabel(QStringLiteral("色")), 0, 0);
  auto* colour = WithId(new QComboBox, kColourCombo);
  colour->addItems(
      {QStringLiteral("無し"), QStringLiteral("赤"), QStringLiteral("青"), QStringLiteral("緑")});
  top->addWidget(colour, 0, 1);
  top->addWidget(new QLabel(QStringLiteral("名前")), 1, 0);
  top->addWidget(WithId(new QLineEdit, kNameEdit), 1, 1, 1, 3);
  layout->addLayout(top);

  auto* oneDay = new QGroupBox(this);
  auto* oneDayLayout = new QGridLayout(oneDay);
  auto* oneDayRadio = WithId(new QRadioButton(QStringLiteral("特定日")), kOneDayRadio);
  oneDayLayout->addWidget(oneDayRadio, 0, 0);
  oneDayLayout->addWidget(WithId(new QCheckBox(QStringLiteral("毎月")), kDayEveryMonthCheck), 0, 1);
  oneDayLayout->addWidget(NumberEdit(kMonthEdit), 1, 0);
  oneDayLayout->addWidget(new QLabel(QStringLiteral("月")), 1, 1);
  oneDayLayout->addWidget(NumberEdit(kDayEdit), 1, 2);
  oneDayLayout->addWidget(new QLabel(QStringLiteral("日")), 1, 3);
  oneDayLayout->addWidget(WithId(new QPushButton(QStringLiteral("暦")), kDayPickerButton), 1, 4);
  oneDayLayout->setColumnStretch(5, 1);
  layout->addWidget(oneDay);

  auto* period = new QGroupBox(this);
  auto* periodLayout = new QGridLayout(period);
  auto* periodRadio = WithId(new QRadioButton(QStringLiteral("期間")), kPeriodRadio);
  periodLayout->addWidget(periodRadio, 0, 0);
  periodLayout->addWidget(WithId(new QCheckBox(QStringLiteral("毎月")), kPeriodEveryMonthCheck), 0,
                          1);
  periodLayout->addWidget(NumberEdit(kStartMonthEdit), 1, 0);
  periodLayout->addWidget(new QLabel(QStringLiteral("月")), 1, 1);
  periodLayout->addWidget(NumberEdit(kStartDayEdit), 1, 2);
  periodLayout->addWidget(new QLabel(QStringLiteral("日から")), 1, 3);
  periodLayout->addWidget(WithId(new QPushButton(QStringLiteral("暦")), kStartPickerButton), 1, 4);
  periodLayout->addWidget(NumberEdit(kEndMonthEdit), 2, 0);
  periodLayout->addWidget(new QLabel(QStringLiteral("月")), 2, 1);
  periodLayout->addWidget(NumberEdit(kEndDayEdit), 2, 2);
  periodLayout->addWidget(new QLabel(QStringLiteral("日まで")), 2, 3);
  periodLayout->addWidget(WithId(new QPushButton(QStringLiteral("暦")), kEndPickerButton), 2, 4);
  auto* weekday = WithId(new QComboBox, kWeekdayCombo);
  weekday->addItems({QStringLiteral("期間毎日"), QStringLiteral("毎週日曜日"),
                     QStringLiteral("毎週月曜日"), QStringLiteral("毎週火曜日"),
                     QStringLiteral("毎週水曜日"), QStringLiteral("毎週木曜日"),
                     QStringLiteral("毎週金曜日"), QStringLiteral("毎週土曜日")});
  periodLayout->addWidget(weekday, 3, 0, 1, 5);
  periodLayout->setColumnStretch(5, 1);
  layout->addWidget(period);

  // The two radio buttons sit in different boxes: one group keeps them exclusive.
  auto* kind = new QButtonGroup(this);
  kind->addButton(oneDayRadio);
  kind->addButton(periodRadio);

  auto* buttons = new QHBoxLayout;
  auto* replace = WithId(new QPushButton(QStringLiteral("修正")), kReplaceButton);
  auto* add = WithId(new QPushButton(QStringLiteral("新規追加")), kAddButton);
  auto* cancel = WithId(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ")), kCancelButton);
  auto* help = WithId(new QPushButton(QStringLiteral("？")), kHelpButton);
  for (QPushButton* b : {replace, add, cancel, help}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);

  bool loaded = true;
  Exchange(/*save=*/false, &loaded);
  UpdateControls();

  connect(oneDayRadio, &QRadioButton::toggled, this, [this] { UpdateControls(); });
  connect(periodRadio, &QRadioButton::toggled, this, [this] { UpdateControls(); });
  connect(FindControl<QCheckBox>(this, kDayEveryMonthCheck), &QCheckBox::toggled, this,
          [this] { UpdateControls(); });
  connect(replace, &QPushButton::clicked, this, [this] { Finish(HolidayEntryChoice::kReplace); });
  connect(add, &QPushButton::clicked, this, [this] { Finish(HolidayEntryChoice::kAdd); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [] {
    platform::MessageBox(kHolidayEntryHelpText, platform::kDefaultCaption,
                         platform::kMbOk | platform::kMbIconInformation);
  });
  connect(FindControl<QPushButton>(this, kDayPickerButton), &QPushButton::clicked, this,
          [this] { PickDate(kMonthEdit, kDayEdit); });
  connect(FindControl<QPushButton>(this, kStartPickerButton), &QPushButton::clicked, this,
          [this] { PickDate(kStartMonthEdit, kStartDayEdit); });
  connect(FindControl<QPushButton>(this, kEndPickerButton), &QPushButton::clicked, this,
          [this] { PickDate(kEndMonthEdit, kEndDayEdit); });
}

void HolidayEntryDialog::Exchange(bool save, bool* ok) {
  platform::DataExchange dx(this,
                            save ? platform::DataExchange::kSave : platform::DataExchange::kLoad);
  int kind = int(fields_.kind);
  dx.ComboIndex(kColourCombo, fields_.colour)
      .Text(kNameEdit, fields_.name, kMaxHolidayNameInput)
      .Radio({kOneDayRadio, kPeriodRadio}, kind)
      .Check(kDayEveryMonthCheck, fields_.dayEveryMonth)
      .Check(kPeriodEveryMonthCheck, fields_.periodEveryMonth)
      .ComboIndex(kWeekdayCombo, fields_.weekdayIndex);
  if (save && dx.ok()) fields_.kind = kind == 1 ? HolidayKind::kPeriod : HolidayKind::kOneDay;
  // Saving reads only the edits that are enabled: a disabled edit keeps its value.
  const HolidayEntryControls enabled = EntryControls(fields_, request_.mode, request_.listCount);
  if (!save || enabled.monthEdit) dx.Int(kMonthEdit, fields_.month);
  if (!save || enabled.oneDayGroup) dx.Int(kDayEdit, fields_.day);
  if (!save || enabled.periodGroup) {
    dx.Int(kStartMonthEdit, fields_.startMonth)
        .Int(kStartDayEdit, fields_.startDay)
        .Int(kEndMonthEdit, fields_.endMonth)
        .Int(kEndDayEdit, fields_.endDay);
  }
  *ok = dx.ok();
}

void HolidayEntryDialog::UpdateControls() {
  HolidayEntryFields now = fields_;
  now.kind = FindControl<QRadioButton>(this, kPeriodRadio)->isChecked() ? HolidayKind::kPeriod
                                                                        : HolidayKind::kOneDay;
  now.dayEveryMonth = FindControl<QCheckBox>(this, kDayEveryMonthCheck)->isChecked();
  const HolidayEntryControls c = EntryControls(now, request_.mode, request_.listCount);
  for (int id : {kDayEveryMonthCheck, kDayEdit, kDayPickerButton}) {
    FindControl<QWidget>(this, id)->setEnabled(c.oneDayGroup);
  }
  FindControl<QWidget>(this, kMonthEdit)->setEnabled(c.monthEdit);
  for (int id : {kPeriodEveryMonthCheck, kStartMonthEdit, kStartDayEdit, kEndMonthEdit, kEndDayEdit,
                 kStartPickerButton, kEndPickerButton, kWeekdayCombo}) {
    FindControl<QWidget>(this, id)->setEnabled(c.periodGroup);
  }
  FindControl<QWidget>(this, kReplaceButton)->setEnabled(c.replaceButton);
  FindControl<QWidget>(this, kAddButton)->setEnabled(c.addButton);
}

void HolidayEntryDialog::Finish(HolidayEntryChoice choice) {
  bool ok = false;
  Exchange(/*save=*/true, &ok);
  if (!ok) return;
  const HolidayEntryCheck check = EntryFromFields(fields_, request_.year);
  if (!check.entry) {
    platform::MessageBox(check.message);
    return;
  }
  outcome_.choice = choice;
  outcome_.entry = *check.entry;
  accept();
}

void HolidayEntryDialog::PickDate(int monthId, int dayId) {
  DatePickerDialog picker(host_, this);
  picker.year = request_.year;
  picker.yearLocked = true;
  picker.month = EditNumber(this, monthId, 1);
  picker.day = EditNumber(this, dayId, 1);
  if (picker.exec() != QDialog::Accepted) return;
  FindControl<QLineEdit>(this, monthId)->setText(QString::number(picker.month));
  FindControl<QLineEdit>(this, dayId)->setText(QString::number(picker.day));
}

HolidayEntryOutcome HolidayEntryDialog::Run(const HolidayEntryRequest& request, HostContext* host,
                                            QWidget* parent) {
  HolidayEntryDialog dialog(request, host, parent);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.outcome();
}

}  // namespace yk
