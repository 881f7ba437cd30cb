// schedule_dialog.cpp — the widgets of the schedule edit dialog; the rules live in
// ScheduleDialogModel.
#include "common/schedule_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabBar>

#include "common/date_picker_dialog.h"
#include "common/date_util.h"
#include "common/dialog_parent.h"
#include "common/time_picker_dialog.h"
#include "platform/message_box.h"
#include "platform/qt_data_exchange.h"

namespace yk {

namespace {

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), text.size());
}

std::filesystem::path DataFolderOf(const HostContext& host) {
  std::u16string_view folder(host.dataFolder, std::size(host.dataFolder));
  folder = folder.substr(0, folder.find(u'\0'));
  return std::filesystem::path(std::u16string(folder));
}

std::u16string LineFeedsOnly(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text)
    if (c != u'\r') out.push_back(c);
  return out;
}

std::u16string WithCrLf(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text) {
    if (c == u'\r') continue;
    if (c == u'\n') out.push_back(u'\r');
    out.push_back(c);
  }
  return out;
}

}  // namespace

ScheduleDialogIds ScheduleDialogIds::For(ScheduleDialogVariant variant) {
  const int o = variant == ScheduleDialogVariant::kSearchPlugin ? 20 : 0;
  ScheduleDialogIds ids{};
  ids.tab = 1000 + o;
  ids.deleteButton = 1028 + o;
  ids.modifyButton = 1027 + o;
  ids.startYear = 1010 + o;
  ids.startMonth = 1011 + o;
  ids.startDay = 1012 + o;
  ids.endYear = 1013 + o;
  ids.endMonth = 1014 + o;
  ids.endDay = 1015 + o;
  ids.startCalendar = 1008 + o;
  ids.endCalendar = 1009 + o;
  ids.everyYear = 1029 + o;
  ids.everyMonth = 1028 + o;
  ids.timeButton = 1023 + o;
  ids.allDayRadio = 1016 + o;
  ids.timedRadio = 1017 + o;
  ids.startHour = 1019 + o;
  ids.startMinute = 1020 + o;
  ids.endHour = 1021 + o;
  ids.endMinute = 1022 + o;
  ids.periodList = 1026 + o;
  ids.helpButton = o != 0 ? 1011 : 1030;
  ids.text = 1012 + o;
  ids.timePickerNow = 1011 + o;
  ids.timePickerCaption = 1009 + o;
  return ids;
}

ScheduleDialog::ScheduleDialog(HostContext* host, const ScheduleDialogInput& input,
                               ScheduleDialogVariant variant, QWidget* parent)
    : QDialog(parent), host_(host), variant_(variant), ids_(ScheduleDialogIds::For(variant)) {
  setWindowTitle(Q(u"スケジュール"));
  setFont(QFont(QStringLiteral("IPAPGothic"), 9));
  setFixedSize(DialogUnits(0, 0, 136, 175).size());

  tabs_ = platform::WithId(new QTabBar(this), ids_.tab);
  tabs_->setGeometry(DialogUnits(5, 5, 120, 15));
  tabs_->addTab(Q(u"日時"));
  tabs_->addTab(Q(u"内容"));

  auto* add = platform::WithId(new QPushButton(Q(u"新規追加"), this), 1);
  add->setGeometry(DialogUnits(55, 155, 40, 15));
  add->setDefault(true);
  auto* remove = platform::WithId(new QPushButton(Q(u"削除"), this), ids_.deleteButton);
  remove->setGeometry(DialogUnits(5, 155, 25, 15));
  remove->setAutoDefault(false);
  auto* modify = platform::WithId(new QPushButton(Q(u"修正"), this), ids_.modifyButton);
  modify->setGeometry(DialogUnits(30, 155, 25, 15));
  modify->setAutoDefault(false);
  auto* cancel = platform::WithId(new QPushButton(Q(u"ｷｬﾝｾﾙ"), this), 2);
  cancel->setGeometry(DialogUnits(100, 155, 30, 15));
  cancel->setAutoDefault(false);

  model_.Open(input);
  if (model_.changeMode() == 0) {
    remove->hide();
    modify->hide();
  }

  BuildDatePage();
  BuildTextPage();
  LoadDatePage();
  LoadTextPage();
  const bool openOnText =
      variant_ == ScheduleDialogVariant::kSearchPlugin && model_.changeMode() != 0;
  tabs_->setCurrentIndex(openOnText ? 1 : 0);
  SelectPage(tabs_->currentIndex());

  connect(tabs_, &QTabBar::currentChanged, this, &ScheduleDialog::SelectPage);
  connect(add, &QPushButton::clicked, this, &ScheduleDialog::OnAdd);
  connect(modify, &QPushButton::clicked, this, &ScheduleDialog::OnModify);
  connect(remove, &QPushButton::clicked, this, &ScheduleDialog::OnDelete);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ScheduleDialog::BuildDatePage() {
  datePage_ = platform::WithId(new QWidget(this), kDatePageId);
  datePage_->setGeometry(DialogUnits(5, 22, 126, 130));
  QWidget* page = datePage_;
  auto* digits =
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), page);

  auto label = [page](std::u16string_view text, int x, int y, int w) {
    auto* l = new QLabel(Q(text), page);
    l->setGeometry(DialogUnits(x, y, w, 12));
    return l;
  };
  auto edit = [page, digits](int id, int x, int y, int w, bool digitsOnly, bool centred) {
    auto* e = platform::WithId(new QLineEdit(page), id);
    e->setGeometry(DialogUnits(x, y, w, 12));
    if (digitsOnly) e->setValidator(digits);
    if (centred) e->setAlignment(Qt::AlignCenter);
    return e;
  };
  auto button = [page](std::u16string_view text, int id, int x, int y, int w) {
    auto* b = platform::WithId(new QPushButton(Q(text), page), id);
    b->setGeometry(DialogUnits(x, y, w, 12));
    b->setAutoDefault(false);
    return b;
  };

  label(u"開始", 0, 3, 16);
  edit(ids_.startYear, 17, 3, 25, true, true);
  edit(ids_.startMonth, 44, 3, 15, true, true);
  edit(ids_.startDay, 61, 3, 15, true, true);
  auto* startCalendar = button(u"暦", ids_.startCalendar, 80, 3, 18);
  label(u"終了", 0, 18, 16);
  edit(ids_.endYear, 17, 18, 25, true, true);
  edit(ids_.endMonth, 44, 18, 15, true, true);
  edit(ids_.endDay, 61, 18, 15, true, true);
  auto* endCalendar = button(u"暦", ids_.endCalendar, 80, 18, 18);

  auto* everyYear = platform::WithId(new QCheckBox(Q(u"毎年"), page), ids_.everyYear);
  everyYear->setGeometry(DialogUnits(0, 33, 30, 12));
  auto* everyMonth = platform::WithId(new QCheckBox(Q(u"毎月"), page), ids_.everyMonth);
  everyMonth->setGeometry(DialogUnits(32, 33, 30, 12));
  auto* time = button(u"時", ids_.timeButton, 80, 33, 18);

  auto* allDay = platform::WithId(new QRadioButton(Q(u"終日"), page), ids_.allDayRadio);
  allDay->setGeometry(DialogUnits(0, 48, 30, 12));
  auto* timed = platform::WithId(new QRadioButton(Q(u"時刻"), page), ids_.timedRadio);
  timed->setGeometry(DialogUnits(32, 48, 30, 12));

  edit(ids_.startHour, 0, 63, 15, true, false);
  label(u"：", 16, 63, 5);
  edit(ids_.startMinute, 22, 63, 15, true, false);
  label(u"～", 39, 63, 8);
  edit(ids_.endHour, 49, 63, 15, true, false);
  label(u"：", 65, 63, 5);
  edit(ids_.endMinute, 71, 63, 15, false, false);

  label(u"期間", 0, 80, 18);
  auto* period = platform::WithId(new QComboBox(page), ids_.periodList);
  period->setGeometry(DialogUnits(20, 80, 60, 13));
  for (std::u16string_view name : kPeriodNames) period->addItem(Q(name));
  auto* help = button(u"？", ids_.helpButton, 85, 80, 15);

  connect(startCalendar, &QPushButton::clicked, this, [this] { OnCalendar(true); });
  connect(endCalendar, &QPushButton::clicked, this, [this] { OnCalendar(false); });
  connect(time, &QPushButton::clicked, this, &ScheduleDialog::OnTime);
  connect(help, &QPushButton::clicked, this, &ScheduleDialog::OnHelp);
}

void ScheduleDialog::BuildTextPage() {
  textPage_ = platform::WithId(new QWidget(this), kTextPageId);
  textPage_->setGeometry(DialogUnits(5, 22, 126, 130));
  auto* caption = new QLabel(Q(u"内容"), textPage_);
  caption->setGeometry(DialogUnits(0, 0, 30, 10));
  auto* text = platform::WithId(new QPlainTextEdit(textPage_), ids_.text);
  text->setGeometry(DialogUnits(0, 12, 124, 116));
  text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text->setTabChangesFocus(true);
}

void ScheduleDialog::SelectPage(int index) {
  datePage_->setVisible(index == 0);
  textPage_->setVisible(index == 1);
}

// The date page's exchange order is fixed: day, month, year of the start and then of the
// end, end hour, start minute, start hour, the radio, end minute, period, "毎月", "毎年".
static void ExchangeDatePage(platform::DataExchange& dx, const ScheduleDialogIds& ids,
                             ScheduleDialogModel& m) {
  dx.Int(ids.startDay, m.startDay, 1, 31)
      .Int(ids.startMonth, m.startMonth, 1, 12)
      .Int(ids.startYear, m.startYear, kFirstYear, kLastYear)
      .Int(ids.endDay, m.endDay, 1, 31)
      .Int(ids.endMonth, m.endMonth, 1, 12)
      .Int(ids.endYear, m.endYear, kFirstYear, kLastYear)
      .Int(ids.endHour, m.endHour)
      .Int(ids.startMinute, m.startMinute)
      .Int(ids.startHour, m.startHour)
      .Radio({ids.allDayRadio, ids.timedRadio}, m.timed)
      .Int(ids.endMinute, m.endMinute)
      .ComboIndex(ids.periodList, m.periodIndex)
      .Check(ids.everyMonth, m.everyMonth)
      .Check(ids.everyYear, m.everyYear);
}

void ScheduleDialog::LoadDatePage() {
  platform::DataExchange dx(datePage_, platform::DataExchange::kLoad);
  ExchangeDatePage(dx, ids_, model_);
}

bool ScheduleDialog::SaveDatePage() {
  platform::DataExchange dx(datePage_, platform::DataExchange::kSave);
  ExchangeDatePage(dx, ids_, model_);
  return dx.ok();
}

void ScheduleDialog::LoadTextPage() {
  std::u16string shown = LineFeedsOnly(model_.text);
  platform::DataExchange dx(textPage_, platform::DataExchange::kLoad);
  dx.Text(ids_.text, shown, kScheduleTextBoxLimit);
}

bool ScheduleDialog::SaveTextPage() {
  std::u16string typed;
  platform::DataExchange dx(textPage_, platform::DataExchange::kSave);
  dx.Text(ids_.text, typed, kScheduleTextBoxLimit);
  if (!dx.ok()) return false;
  model_.text = WithCrLf(typed);
  return true;
}

// A refused value has shown its message and keeps the dialog open: nothing is built from
// fields that no longer match what the dialog shows.
void ScheduleDialog::OnAdd() {
  if (host_ == nullptr || !SaveDatePage() || !SaveTextPage()) return;
  Finish(model_.Add(DataFolderOf(*host_), &host_->schedules));
}

void ScheduleDialog::OnModify() {
  if (host_ == nullptr || !SaveDatePage() || !SaveTextPage()) return;
  Finish(model_.Modify(DataFolderOf(*host_), &host_->schedules));
}

void ScheduleDialog::OnDelete() {
  if (host_ == nullptr) return;
  Finish(model_.Delete(DataFolderOf(*host_), &host_->schedules));
}

void ScheduleDialog::Finish(ScheduleDialogModel::Outcome outcome) {
  if (outcome == ScheduleDialogModel::Outcome::kClose) accept();
}

void ScheduleDialog::OnCalendar(bool start) {
  if (!SaveDatePage()) return;
  DatePickerDialog picker(host_, this);
  picker.year = start ? model_.startYear : model_.endYear;
  picker.month = start ? model_.startMonth : model_.endMonth;
  picker.day = start ? model_.startDay : model_.endDay;
  picker.yearLocked = false;
  if (picker.exec() != QDialog::Accepted) return;
  if (start)
    model_.TakeStartDate(picker.year, picker.month, picker.day);
  else
    model_.TakeEndDate(picker.year, picker.month, picker.day);
  LoadDatePage();
}

void ScheduleDialog::OnTime() {
  if (!SaveDatePage()) return;
  TimePickerDialog picker(host_, {ids_.timePickerNow, ids_.timePickerCaption}, this);
  picker.startHour = model_.startHour;
  picker.startMinute = model_.startMinute;
  picker.endHour = model_.endHour;
  picker.endMinute = model_.endMinute;
  if (picker.exec() != QDialog::Accepted) return;
  model_.TakeTimes(picker.startHour, picker.startMinute, picker.endHour, picker.endMinute);
  LoadDatePage();
}

void ScheduleDialog::OnHelp() {
  platform::MessageBox(kScheduleHelpText, platform::kDefaultCaption,
                       platform::kMbOk | platform::kMbIconInformation);
}

void ScheduleDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  RaiseAndFocus(this);
}

bool EditNewSchedule(HostContext* host, int year, int month, int day, ScheduleDialogVariant variant,
                     QWidget* parent) {
  ScheduleDialog dialog(host, ScheduleDialogInput::NewOn(year, month, day), variant,
                        parent != nullptr ? parent : OrganizerMainWindow(host));
  return dialog.exec() == QDialog::Accepted;
}

bool EditExistingSchedule(HostContext* host, const ScheduleRecord& record,
                          ScheduleDialogVariant variant, QWidget* parent) {
  ScheduleDialog dialog(host, ScheduleDialogInput::Existing(record), variant,
                        parent != nullptr ? parent : OrganizerMainWindow(host));
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace yk
