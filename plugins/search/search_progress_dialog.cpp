// search_progress_dialog.cpp — the run of a search inside the "検索中" dialog.
#include "plugins/search/search_progress_dialog.h"

#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "common/picture_dialog.h"
#include "platform/message_box.h"
#include "platform/qt_data_exchange.h"
#include "plugins/search/search_dialog_model.h"

namespace yk::search {
namespace {

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

}  // namespace

SearchProgressDialog::SearchProgressDialog(SearchTarget target, const SearchPeriod& period,
                                           TextMatcher& matcher, std::filesystem::path dataFolder,
                                           HitTable* table, QWidget* parent)
    : QDialog(parent),
      target_(target),
      period_(period),
      matcher_(matcher),
      dataFolder_(std::move(dataFolder)),
      table_(table) {
  setWindowTitle(Q(u"検索中"));
  setObjectName(QStringLiteral("3012"));  // its template number
  setFont(QFont(QStringLiteral("IPAPGothic"), 9));
  setFixedSize(DialogUnits(0, 0, 150, 75).size());

  auto* header = platform::WithId(new QPlainTextEdit(this), kHeaderBox);
  header->setGeometry(DialogUnits(5, 5, 140, 28));
  header->setReadOnly(true);
  header->setFocusPolicy(Qt::NoFocus);
  header->setPlainText(Q(HeaderText(target_, period_, matcher_.search())).remove(QChar(u'\r')));
  stepBox_ = platform::WithId(new QLineEdit(this), kStepBox);
  stepBox_->setGeometry(DialogUnits(5, 37, 140, 12));
  stepBox_->setReadOnly(true);
  stepBox_->setFocusPolicy(Qt::NoFocus);
  auto* cancel = platform::WithId(new QPushButton(Q(u"キャンセル"), this), kCancelButton);
  cancel->setGeometry(DialogUnits(50, 55, 50, 15));
  connect(cancel, &QPushButton::clicked, this, &SearchProgressDialog::reject);
}

void SearchProgressDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  started_ = true;
  QTimer::singleShot(0, this, &SearchProgressDialog::Run);
}

void SearchProgressDialog::reject() {
  // "キャンセル" (and the window's close button, and Escape) stop the run; the dialog
  // closes when the run has come to its end.
  if (running_) {
    stopRequested_ = true;
    return;
  }
  QDialog::reject();
}

void SearchProgressDialog::Run() {
  running_ = true;
  Pump(true);
  Pump(true);
  end_ = RunSearch(target_, period_, matcher_, dataFolder_, *this, table_);
  running_ = false;
  switch (end_) {
    case WalkEnd::kLimitReached:
      platform::MessageBox(kMsgTooManyHits);
      break;
    case WalkEnd::kNoMemory:
      platform::MessageBox(kMsgNoMemory);
      break;
    case WalkEnd::kNotAvailable:
      platform::MessageBox(kMsgTasksNotAvailable);
      break;
    case WalkEnd::kCompleted:
    case WalkEnd::kStopped:
      break;
  }
  if (end_ == WalkEnd::kStopped)
    QDialog::reject();
  else
    accept();
}

void SearchProgressDialog::Step(const WalkStep& step) {
  step_ = step;
  stepShown_ = false;
  Pump(false);
}

bool SearchProgressDialog::StopRequested() {
  Pump(false);
  return stopRequested_;
}

void SearchProgressDialog::Pump(bool now) {
  if (!now && sincePump_.isValid() && sincePump_.elapsed() < pumpIntervalMs_) return;
  if (!stepShown_) {
    stepBox_->setText(Q(StepText(step_)));
    stepShown_ = true;
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  sincePump_.start();
}

}  // namespace yk::search
