#include "plugins/tenki/download_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "common/dialog_parent.h"
#include "platform/qt_data_exchange.h"
#include "platform/qt_text.h"

namespace yk::tenki {

DownloadDialog::DownloadDialog(DownloadSettings settings, QWidget* parent)
    : QDialog(parent), download_(*this, std::move(settings)) {
  setObjectName(QStringLiteral("3009"));
  setWindowTitle(QStringLiteral("ダウンロード"));
  status_ = platform::WithId(new QLineEdit, kStatus);
  status_->setReadOnly(true);
  status_->setMinimumWidth(220);
  progress_ = platform::WithId(new QProgressBar, kProgress);
  progress_->setTextVisible(false);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  auto* cancel = platform::WithId(new QPushButton(QStringLiteral("キャンセル")), kCancel);
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, &DownloadDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(status_);
  layout->addWidget(progress_);
  layout->addWidget(cancel, 0, Qt::AlignHCenter);
}

void DownloadDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  RaiseAndFocus(this);
  if (started_) return;
  started_ = true;
  // Once the dialog is on the screen and its modal loop runs.
  QTimer::singleShot(0, this, [this] { download_.Run(); });
}

void DownloadDialog::reject() {
  if (download_.Cancel()) QDialog::reject();
}

void DownloadDialog::ShowStatus(std::u16string_view text) {
  status_->setText(platform::ToQString(text));
  status_->repaint();
}

void DownloadDialog::SetProgressRange(int low, int high) {
  progress_->setRange(low, high);
}

void DownloadDialog::SetProgress(int position) {
  // Positions past the range show a full bar.
  progress_->setValue(std::clamp(position, progress_->minimum(), progress_->maximum()));
}

void DownloadDialog::ProcessMessages() {
  QApplication::processEvents();
}

void DownloadDialog::Succeed() {
  accept();
}

bool RunDownloadDialog(const DownloadSettings& settings, QWidget* parent) {
  DownloadDialog dialog(settings, parent);
  return dialog.exec() == QDialog::Accepted && dialog.download().succeeded();
}

}  // namespace yk::tenki
