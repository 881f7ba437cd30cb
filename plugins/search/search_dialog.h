// search_dialog.h — "検索・置換" (template 3010): what to look for, where and when; runs
// the search and the results dialogs.  The rules live in SearchDialogModel.
//
//   SearchOutcome outcome = RunSearchDialog(host, parent);
#pragma once

#include <QDialog>
#include <memory>

#include "common/plugin_interface.h"
#include "plugins/search/hit_table.h"
#include "plugins/search/results_model.h"
#include "plugins/search/search_dialog_model.h"

namespace yk::search {

class SearchDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kFromYear = 1012, kFromMonth = 1013, kFromDay = 1014;
  static constexpr int kFromCalendar = 1015;
  static constexpr int kToYear = 1016, kToMonth = 1017, kToDay = 1018;
  static constexpr int kToCalendar = 1019;
  static constexpr int kSchedulesRadio = 1004, kMemosRadio = 1005, kTasksRadio = 1020;
  static constexpr int kHelpButton = 1011;
  static constexpr int kSearchText = 1006;
  static constexpr int kSearchButton = 1008;
  static constexpr int kReplacementLabel = 1021;
  static constexpr int kReplacementText = 1007;
  static constexpr int kReplaceButton = 1009;
  static constexpr int kRegexCheck = 1010;
  static constexpr int kCloseButton = 2;

  explicit SearchDialog(HostContext* host, QWidget* parent = nullptr);
  ~SearchDialog() override;

  // False when the hit table couldn't be allocated (the user was told; exec() returns at
  // once).
  bool ready() const { return table_ != nullptr; }
  const SearchDialogModel& model() const { return model_; }
  const SearchOutcome& outcome() const { return model_.outcome(); }

  int exec() override;

 private:
  bool Exchange(bool save);
  void ShowTargetRow();
  void OnCalendar(bool start);
  void OnHelp();
  void OnSearch(ResultsMode mode);

  HostContext* host_;
  SearchDialogModel model_;
  std::unique_ptr<HitTable> table_;
};

// Runs the dialog modally; what it ended with.
SearchOutcome RunSearchDialog(HostContext* host, QWidget* parent = nullptr);

}  // namespace yk::search
