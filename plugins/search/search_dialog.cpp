// search_dialog.cpp — the widgets of the "検索・置換" dialog and the run of one search.
#include "plugins/search/search_dialog.h"

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <new>

#include "common/date_picker_dialog.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/qt_data_exchange.h"
#include "plugins/search/search_progress_dialog.h"
#include "plugins/search/search_results_dialog.h"
#include "plugins/search/search_window.h"

namespace yk::search {
namespace {

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

YearMonthDay Today() {
  const platform::LocalTime now = platform::Now();
  return {now.year, now.month, now.day};
}

// The table of one dialog: 200 hits, allocated once when it opens.
std::unique_ptr<HitTable> AllocateHitTable() {
  try {
    auto table = std::make_unique<HitTable>();
    table->hits.reserve(kMaxHits);
    return table;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

SearchDialog::SearchDialog(HostContext* host, QWidget* parent)
    : QDialog(parent), host_(host), model_(Today()), table_(AllocateHitTable()) {
  setWindowTitle(Q(u"検索・置換"));
  setObjectName(QStringLiteral("3010"));  // its template number
  setFont(QFont(QStringLiteral("IPAPGothic"), 9));
  setFixedSize(DialogUnits(0, 0, 150, 150).size());
  auto* digits =
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);

  auto label = [this](std::u16string_view text, QRect where) {
    auto* l = new QLabel(Q(text), this);
    l->setGeometry(where);
    return l;
  };
  auto number = [this, digits](int id, QRect where) {
    auto* e = platform::WithId(new QLineEdit(this), id);
    e->setGeometry(where);
    e->setValidator(digits);
    e->setAlignment(Qt::AlignCenter);
    return e;
  };
  auto button = [this](std::u16string_view text, int id, QRect where) {
    auto* b = platform::WithId(new QPushButton(Q(text), this), id);
    b->setGeometry(where);
    b->setAutoDefault(false);
    return b;
  };

  label(u"開始", DialogUnits(5, 5, 18, 12));
  number(kFromYear, DialogUnits(25, 5, 28, 12));
  number(kFromMonth, DialogUnits(56, 5, 18, 12));
  number(kFromDay, DialogUnits(77, 5, 18, 12));
  auto* fromCalendar = button(u"暦", kFromCalendar, DialogUnits(98, 4, 18, 14));
  label(u"終了", DialogUnits(5, 21, 18, 12));
  number(kToYear, DialogUnits(25, 21, 28, 12));
  number(kToMonth, DialogUnits(56, 21, 18, 12));
  number(kToDay, DialogUnits(77, 21, 18, 12));
  auto* toCalendar = button(u"暦", kToCalendar, DialogUnits(98, 20, 18, 14));

  const std::pair<int, std::u16string_view> targets[] = {
      {kSchedulesRadio, u"予定"}, {kMemosRadio, u"日記・メモ"}, {kTasksRadio, u"仕事"}};
  int x = 5;
  for (const auto& [id, text] : targets) {
    auto* radio = platform::WithId(new QRadioButton(Q(text), this), id);
    const int width = int(text.size()) * 9 + 14;
    radio->setGeometry(DialogUnits(x, 38, width, 12));
    x += width + 2;
    connect(radio, &QRadioButton::toggled, this, [this] { ShowTargetRow(); });
  }
  auto* help = button(u"？", kHelpButton, DialogUnits(127, 37, 18, 14));

  label(u"検索", DialogUnits(5, 56, 25, 12));
  auto* search = platform::WithId(new QLineEdit(this), kSearchText);
  search->setGeometry(DialogUnits(32, 56, 113, 12));
  platform::WithId(new QLabel(Q(u"置換え"), this), kReplacementLabel)
      ->setGeometry(DialogUnits(5, 72, 25, 12));
  auto* replacement = platform::WithId(new QLineEdit(this), kReplacementText);
  replacement->setGeometry(DialogUnits(32, 72, 113, 12));
  platform::WithId(new QCheckBox(Q(u"正規表現を使う"), this), kRegexCheck)
      ->setGeometry(DialogUnits(32, 88, 100, 12));

  auto* searchButton = button(u"検索", kSearchButton, DialogUnits(5, 110, 40, 15));
  searchButton->setDefault(true);
  auto* replaceButton = button(u"置換え", kReplaceButton, DialogUnits(55, 110, 40, 15));
  auto* close = button(u"閉じる", kCloseButton, DialogUnits(105, 130, 40, 15));

  Exchange(false);
  ShowTargetRow();
  connect(fromCalendar, &QPushButton::clicked, this, [this] { OnCalendar(true); });
  connect(toCalendar, &QPushButton::clicked, this, [this] { OnCalendar(false); });
  connect(help, &QPushButton::clicked, this, &SearchDialog::OnHelp);
  connect(searchButton, &QPushButton::clicked, this, [this] { OnSearch(ResultsMode::kSearch); });
  connect(replaceButton, &QPushButton::clicked, this, [this] { OnSearch(ResultsMode::kReplace); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  search->setFocus();
}

SearchDialog::~SearchDialog() = default;

int SearchDialog::exec() {
  if (!ready()) {
    platform::MessageBox(kMsgNoTableMemory);
    return QDialog::Rejected;
  }
  return QDialog::exec();
}

bool SearchDialog::Exchange(bool save) {
  SearchPeriod& p = model_.period;
  platform::DataExchange dx(this,
                            save ? platform::DataExchange::kSave : platform::DataExchange::kLoad);
  dx.Int(kFromYear, p.fromYear)
      .Int(kFromMonth, p.fromMonth)
      .Int(kFromDay, p.fromDay)
      .Int(kToYear, p.toYear)
      .Int(kToMonth, p.toMonth)
      .Int(kToDay, p.toDay)
      .Radio({kSchedulesRadio, kMemosRadio, kTasksRadio}, model_.target)
      .Text(kSearchText, model_.searchText, kSearchTextLimit)
      .Text(kReplacementText, model_.replacementText, kSearchTextLimit)
      .Check(kRegexCheck, model_.useRegex);
  return dx.ok();
}

void SearchDialog::ShowTargetRow() {
  const bool tasks = platform::FindControl<QRadioButton>(this, kTasksRadio)->isChecked();
  for (int id : {kReplacementLabel, kReplacementText, kReplaceButton})
    platform::FindControl<QWidget>(this, id)->setVisible(!tasks);
}

void SearchDialog::OnCalendar(bool start) {
  if (!Exchange(true)) return;
  SearchPeriod& p = model_.period;
  DatePickerDialog picker(host_, this);
  picker.year = start ? p.fromYear : p.toYear;
  picker.month = start ? p.fromMonth : p.toMonth;
  picker.day = start ? p.fromDay : p.toDay;
  if (picker.exec() != QDialog::Accepted) return;
  (start ? p.fromYear : p.toYear) = picker.year;
  (start ? p.fromMonth : p.toMonth) = picker.month;
  (start ? p.fromDay : p.toDay) = picker.day;
  Exchange(false);
}

void SearchDialog::OnHelp() {
  platform::MessageBox(kSearchHelp, platform::kDefaultCaption,
                       platform::kMbOk | platform::kMbIconInformation);
}

void SearchDialog::OnSearch(ResultsMode mode) {
  if (host_ == nullptr || !ready() || !Exchange(true) || !model_.ReadyToSearch()) return;
  TextMatcher matcher(model_.searchText, model_.replacementText, model_.useRegex);
  {
    SearchProgressDialog progress(model_.searchTarget(), model_.period, matcher,
                                  HostFolder(host_->dataFolder), table_.get(), this);
    if (progress.exec() != QDialog::Accepted) return;
  }
  if (table_->hitCount() == 0) {
    platform::MessageBox(kMsgNotFound);
    return;
  }
  SearchResultsDialog results(host_, mode, model_.searchTarget(), *table_, matcher, this);
  results.exec();
  if (model_.TakeResults(results.changed(), results.moveDay())) accept();
}

SearchOutcome RunSearchDialog(HostContext* host, QWidget* parent) {
  SearchDialog dialog(host, parent);
  dialog.exec();
  return dialog.outcome();
}

}  // namespace yk::search
