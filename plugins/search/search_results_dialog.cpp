// search_results_dialog.cpp — the widgets of the "検索結果" dialog.
#include "plugins/search/search_results_dialog.h"

#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "common/memo_edit_dialog.h"
#include "common/picture_dialog.h"
#include "common/schedule_dialog.h"
#include "platform/message_box.h"
#include "platform/qt_data_exchange.h"
#include "plugins/search/search_window.h"

namespace yk::search {
namespace {

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

// A list line as the list box shows it: a memo's line breaks as spaces.
QString ListText(const std::u16string& line) {
  QString text = Q(line);
  text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  text.replace(QChar(u'\n'), QChar(u' '));
  text.replace(QChar(u'\r'), QChar(u' '));
  return text;
}

}  // namespace

SearchResultsDialog::SearchResultsDialog(HostContext* host, ResultsMode mode, SearchTarget target,
                                         const HitTable& table, TextMatcher& matcher,
                                         QWidget* parent)
    : QDialog(parent),
      host_(host),
      model_(mode, target, table, matcher,
             host != nullptr ? HostFolder(host->dataFolder) : std::filesystem::path(),
             host != nullptr ? &host->schedules : nullptr) {
  setWindowTitle(Q(u"検索結果"));
  setObjectName(QStringLiteral("3011"));  // its template number
  setFont(QFont(QStringLiteral("IPAPGothic"), 9));
  setFixedSize(DialogUnits(0, 0, 160, 170).size());

  auto* count = platform::WithId(new QLabel(Q(model_.countLine()), this), kCountLine);
  count->setGeometry(DialogUnits(5, 5, 120, 12));
  list_ = platform::WithId(new QListWidget(this), kList);
  list_->setGeometry(DialogUnits(5, 20, 150, 110));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  for (int i = 0; i < model_.lineCount(); ++i) list_->addItem(ListText(model_.Line(i)));
  list_->setCurrentRow(-1);

  auto button = [this](std::u16string_view text, int id, QRect where) {
    auto* b = platform::WithId(new QPushButton(Q(text), this), id);
    b->setGeometry(where);
    b->setAutoDefault(false);
    return b;
  };
  auto* help = button(u"？", kHelpButton, DialogUnits(135, 3, 20, 14));
  auto* move = button(u"この日に移動", kMoveButton, DialogUnits(5, 135, 60, 14));
  auto* edit = button(u"編集", kEditButton, DialogUnits(70, 135, 40, 14));
  auto* replace = button(u"置換え実行", kReplaceButton, DialogUnits(5, 152, 60, 14));
  auto* close = button(u"閉じる", kCloseButton, DialogUnits(115, 152, 40, 14));
  replace->setVisible(model_.replaceOffered());

  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { OnToggle(list_->row(item)); });
  connect(help, &QPushButton::clicked, this, &SearchResultsDialog::OnHelp);
  connect(move, &QPushButton::clicked, this, &SearchResultsDialog::OnMove);
  connect(edit, &QPushButton::clicked, this, &SearchResultsDialog::OnEdit);
  connect(replace, &QPushButton::clicked, this, &SearchResultsDialog::OnReplace);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

int SearchResultsDialog::Selection() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? -1 : list_->row(selected.front());
}

void SearchResultsDialog::OnToggle(int row) {
  if (!model_.ToggleMark(row)) return;
  list_->item(row)->setText(ListText(model_.Line(row)));
  list_->setCurrentRow(row);
}

void SearchResultsDialog::OnHelp() {
  platform::MessageBox(model_.helpText(), platform::kDefaultCaption,
                       platform::kMbOk | platform::kMbIconInformation);
}

void SearchResultsDialog::OnEdit() {
  const int row = Selection();
  if (row < 0) return;
  const SearchHit& hit = model_.hit(row);
  bool stored = false;
  if (model_.target() == SearchTarget::kSchedules) {
    stored = EditExistingSchedule(host_, hit.record, ScheduleDialogVariant::kSearchPlugin, this);
  } else {
    stored = EditMemo(host_, hit.memoYear, hit.memoMonth, hit.memoDay,
                      model_.mode() == ResultsMode::kReplace, this);
  }
  if (stored) model_.NoteEdited();
}

void SearchResultsDialog::OnMove() {
  const std::optional<YearMonthDay> day = model_.DayOf(Selection());
  if (!day) return;
  if (platform::MessageBox(kMoveQuestion, platform::kDefaultCaption,
                           platform::kMbYesNo | platform::kMbIconQuestion) != platform::kIdYes)
    return;
  move_ = day;
  accept();
}

void SearchResultsDialog::OnReplace() {
  if (!model_.replaceOffered()) return;
  const ResultsModel::ReplaceCounts counts = model_.ReplaceMarked();
  platform::MessageBox(ResultsModel::ReplaceReport(counts), platform::kDefaultCaption,
                       platform::kMbOk | (counts.notReplaced == 0 ? platform::kMbIconInformation
                                                                  : platform::kMbIconWarning));
  accept();
}

}  // namespace yk::search
