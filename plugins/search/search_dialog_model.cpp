// search_dialog_model.cpp — defaults, checks and the outcome of the search dialog.
#include "plugins/search/search_dialog_model.h"

#include "platform/message_box.h"

namespace yk::search {

SearchDialogModel::SearchDialogModel(YearMonthDay today)
    : period(MonthPeriod(today.year, today.month)) {}

bool SearchDialogModel::ReadyToSearch() const {
  if (searchText.empty()) {
    platform::MessageBox(kMsgNoKeyword);
    return false;
  }
  if (!IsValidPeriod(period)) {
    platform::MessageBox(kMsgBadPeriod);
    return false;
  }
  return true;
}

bool SearchDialogModel::TakeResults(bool changed, std::optional<YearMonthDay> move) {
  if (changed) {
    outcome_.changed = true;
    outcome_.changeMask |= ChangeFlagOf(searchTarget());
  }
  if (!move) return false;
  outcome_.move = move;
  return true;
}

}  // namespace yk::search
