// download_dialog.h — the download dialog (template 3009, "ダウンロード"): the status line
// (1002, read only), the progress bar (1003) and "キャンセル" (2) over the download's work
// (forecast_download.h), which starts as soon as the dialog is shown.
#pragma once

#include <QDialog>

#include "plugins/tenki/forecast_download.h"

class QLineEdit;
class QProgressBar;

namespace yk::tenki {

class DownloadDialog : public QDialog, public DownloadView {
  Q_OBJECT

 public:
  enum ControlId : int { kStatus = 1002, kProgress = 1003, kCancel = 2 };

  explicit DownloadDialog(DownloadSettings settings, QWidget* parent = nullptr);

  const ForecastDownload& download() const { return download_; }

  // "キャンセル", Escape and the window's close button: closes a finished download, asks a
  // running one to stop.
  void reject() override;

  void ShowStatus(std::u16string_view text) override;
  void SetProgressRange(int low, int high) override;
  void SetProgress(int position) override;
  void ProcessMessages() override;
  void Succeed() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  ForecastDownload download_;
  QLineEdit* status_;
  QProgressBar* progress_;
  bool started_ = false;
};

// Runs the dialog modally over `parent` (the organizer's main window); true when the whole
// page was stored.
bool RunDownloadDialog(const DownloadSettings& settings, QWidget* parent);

}  // namespace yk::tenki
