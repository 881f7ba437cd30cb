// search_results_dialog.h — "検索結果" (template 3011): the hits of a search, to open, to
// move to, or to replace.  The rules live in ResultsModel.
#pragma once

#include <QDialog>
#include <optional>

#include "common/plugin_interface.h"
#include "plugins/search/results_model.h"

class QListWidget;

namespace yk::search {

class SearchResultsDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kCountLine = 1022;
  static constexpr int kList = 1016;
  static constexpr int kHelpButton = 1011;
  static constexpr int kMoveButton = 1008;
  static constexpr int kEditButton = 1017;
  static constexpr int kReplaceButton = 1047;
  static constexpr int kCloseButton = 2;

  SearchResultsDialog(HostContext* host, ResultsMode mode, SearchTarget target,
                      const HitTable& table, TextMatcher& matcher, QWidget* parent = nullptr);

  const ResultsModel& model() const { return model_; }
  bool changed() const { return model_.changed(); }
  // The day "この日に移動" asked for, if it did.
  const std::optional<YearMonthDay>& moveDay() const { return move_; }

 private:
  int Selection() const;
  void OnToggle(int row);
  void OnHelp();
  void OnEdit();
  void OnMove();
  void OnReplace();

  HostContext* host_;
  ResultsModel model_;
  QListWidget* list_;
  std::optional<YearMonthDay> move_;
};

}  // namespace yk::search
