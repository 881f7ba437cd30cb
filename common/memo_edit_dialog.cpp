// memo_edit_dialog.cpp — the widgets of the "メモ・日記" dialog.
#include "common/memo_edit_dialog.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/date_picker_dialog.h"
#include "platform/clock.h"
#include "platform/qt_data_exchange.h"

namespace yk {
namespace {

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

std::filesystem::path DataFolderOf(const HostContext* host) {
  if (host == nullptr) return {};
  const std::u16string_view folder(host->dataFolder, std::size(host->dataFolder));
  return std::filesystem::path(std::u16string(folder.substr(0, folder.find(u'\0'))));
}

}  // namespace

MemoEditDialog::MemoEditDialog(HostContext* host, YearMonthDay memoDay, bool readOnly,
                               QWidget* parent)
    : QDialog(parent),
      host_(host),
      model_(std::make_unique<MemoEditModel>(DataFolderOf(host), memoDay, readOnly)) {
  setWindowTitle(Q(kMemoDialogTitle));
  setObjectName(QStringLiteral("3018"));  // its template number
  setFont(QFont(QStringLiteral("IPAPGothic"), 9));
  setFixedSize(DialogUnits(0, 0, 150, 200).size());

  auto dayBox = [this](int id, QRect where) {
    auto* box = platform::WithId(new QLineEdit(this), id);
    box->setGeometry(where);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
  };
  auto button = [this](std::u16string_view text, int id, QRect where) {
    auto* b = platform::WithId(new QPushButton(Q(text), this), id);
    b->setGeometry(where);
    b->setAutoDefault(false);
    return b;
  };

  dayBox(kMemoDayBox, DialogUnits(5, 5, 140, 12))->setText(Q(model_->memoDayText()));
  auto* text = platform::WithId(new QPlainTextEdit(this), kTextBox);
  text->setGeometry(DialogUnits(5, 20, 140, 85));
  text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text->setTabChangesFocus(true);
  std::u16string shown = model_->editText();
  platform::DataExchange(this, platform::DataExchange::kLoad)
      .Text(kTextBox, shown, model_->boxLimit());

  auto* label = new QLabel(Q(u"参照"), this);
  label->setGeometry(DialogUnits(5, 110, 18, 12));
  auto* today = button(u"今日", kTodayButton, DialogUnits(24, 109, 22, 13));
  dayBox(kReferenceDayBox, DialogUnits(48, 109, 72, 13));
  auto* calendar = button(u"暦", kCalendarButton, DialogUnits(123, 109, 22, 13));
  auto* reference = platform::WithId(new QPlainTextEdit(this), kReferenceTextBox);
  reference->setGeometry(DialogUnits(5, 125, 140, 50));
  reference->setReadOnly(true);
  reference->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  reference->setTabChangesFocus(true);

  auto* remove = button(u"削除", kDeleteButton, DialogUnits(5, 180, 30, 15));
  auto* save = button(u"保存", kSaveButton, DialogUnits(70, 180, 35, 15));
  auto* cancel = button(u"ｷｬﾝｾﾙ", kCancelButton, DialogUnits(110, 180, 35, 15));
  cancel->setDefault(true);
  remove->setVisible(model_->deleteOffered());
  save->setVisible(model_->saveOffered());
  ShowReference();

  connect(today, &QPushButton::clicked, this, &MemoEditDialog::OnToday);
  connect(calendar, &QPushButton::clicked, this, &MemoEditDialog::OnCalendar);
  connect(save, &QPushButton::clicked, this, &MemoEditDialog::OnSave);
  connect(remove, &QPushButton::clicked, this, &MemoEditDialog::OnDelete);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  text->setFocus();
}

MemoEditDialog::~MemoEditDialog() = default;

void MemoEditDialog::ShowReference() {
  platform::FindControl<QLineEdit>(this, kReferenceDayBox)->setText(Q(model_->referenceDayText()));
  platform::FindControl<QPlainTextEdit>(this, kReferenceTextBox)
      ->setPlainText(Q(model_->referenceText()));
}

void MemoEditDialog::OnToday() {
  const platform::LocalTime now = platform::Now();
  model_->SetReferenceDay({now.year, now.month, now.day});
  ShowReference();
}

void MemoEditDialog::OnCalendar() {
  DatePickerDialog picker(host_, this);
  const YearMonthDay day = model_->referenceDay();
  picker.year = day.year;
  picker.month = day.month;
  picker.day = day.day;
  if (picker.exec() != QDialog::Accepted) return;
  model_->SetReferenceDay({picker.year, picker.month, picker.day});
  ShowReference();
}

void MemoEditDialog::OnSave() {
  std::u16string typed;
  platform::DataExchange dx(this, platform::DataExchange::kSave);
  dx.Text(kTextBox, typed, model_->boxLimit());
  if (!dx.ok()) return;
  if (model_->Save(typed) == MemoEditModel::Outcome::kClose) accept();
}

void MemoEditDialog::OnDelete() {
  if (model_->Delete() == MemoEditModel::Outcome::kClose) accept();
}

bool EditMemo(HostContext* host, int year, int month, int day, bool readOnly, QWidget* parent) {
  MemoEditDialog dialog(host, {year, month, day}, readOnly, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace yk
