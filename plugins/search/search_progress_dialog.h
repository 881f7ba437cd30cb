// search_progress_dialog.h — "検索中" (template 3012): runs one search while it is open.
//
// The dialog shows the period and the search text (1002) and where the run is (1003).
// It starts the run as soon as it is on the screen and closes by itself when the run
// ends: accepted, or rejected when the user pressed "キャンセル" (2).  While the run reads
// file after file the dialog keeps answering: it repaints and takes "キャンセル" at least
// every few hundredths of a second, between files and between records.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <filesystem>

#include "plugins/search/search_walk.h"

class QLineEdit;

namespace yk::search {

class SearchProgressDialog : public QDialog, private WalkObserver {
  Q_OBJECT

 public:
  static constexpr int kHeaderBox = 1002;
  static constexpr int kStepBox = 1003;
  static constexpr int kCancelButton = 2;
  // How long the run may go without letting the user's input in.
  static constexpr int kPumpIntervalMs = 30;

  SearchProgressDialog(SearchTarget target, const SearchPeriod& period, TextMatcher& matcher,
                       std::filesystem::path dataFolder, HitTable* table,
                       QWidget* parent = nullptr);

  // Tests let every check in (0) to drive the dialog step by step.
  void setPumpIntervalMs(int ms) { pumpIntervalMs_ = ms; }

  // How the run ended (valid once exec() returned).
  WalkEnd end() const { return end_; }
  bool running() const { return running_; }

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Run();
  void Step(const WalkStep& step) override;
  bool StopRequested() override;
  // Shows the latest step and lets pending events in, when kPumpIntervalMs have passed
  // since the last time (always when `now`).
  void Pump(bool now);

  SearchTarget target_;
  SearchPeriod period_;
  TextMatcher& matcher_;
  std::filesystem::path dataFolder_;
  HitTable* table_;
  QLineEdit* stepBox_;
  QElapsedTimer sincePump_;
  int pumpIntervalMs_ = kPumpIntervalMs;
  WalkStep step_;
  bool stepShown_ = true;
  bool started_ = false;
  bool running_ = false;
  bool stopRequested_ = false;
  WalkEnd end_ = WalkEnd::kStopped;
};

}  // namespace yk::search
