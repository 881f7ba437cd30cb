// search_dialog_model.h — the "検索・置換" dialog without widgets: its fields, the checks
// before a run, and what it reports to the plugin when it closes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/date_util.h"
#include "plugins/search/search_period.h"

namespace yk::search {

inline constexpr int kSearchTextLimit = 50;  // characters of each text box

inline constexpr std::u16string_view kSearchHelp =
    u"検索文字・置換え文字を入力して検索・置換えボタンを押してください。最初の該当する200件まで検索"
    u"・置換えが出来ます。仕事は過去に終了した仕事を検索します。\n\n正規表現にチェックを付けるとPer"
    u"l互"
    u"換の正規表現で検索・置換えが出来ます。";
inline constexpr std::u16string_view kMsgNoKeyword = u"キーワードを入力して下さい";
inline constexpr std::u16string_view kMsgBadPeriod = u"指定期間が無効です";
inline constexpr std::u16string_view kMsgNotFound = u"見つかりませんでした";
inline constexpr std::u16string_view kMsgTooManyHits =
    u"件数が200件以上あります。検索・置換えは200件に対してのみ有効となります。";
inline constexpr std::u16string_view kMsgTasksNotAvailable = u"仕事は開発中なり";
inline constexpr std::u16string_view kMsgNoMemory = u"メモリの確保に失敗しました";
inline constexpr std::u16string_view kMsgNoTableMemory = u"検索に必要なメモリの確保に失敗しました";

// What the dialog asks of the plugin when it closes.
struct SearchOutcome {
  bool changed = false;              // data were written
  int changeMask = 0;                // ChangeFlag bits of the targets written
  std::optional<YearMonthDay> move;  // the day to move the shared date to
};

class SearchDialogModel {
 public:
  // Defaults: schedules, plain text, empty texts, the month of `today`.
  explicit SearchDialogModel(YearMonthDay today);

  SearchPeriod period;
  int target = int(SearchTarget::kSchedules);  // radio index
  bool useRegex = false;
  std::u16string searchText;
  std::u16string replacementText;

  SearchTarget searchTarget() const { return SearchTarget(target); }
  // The replacement row is offered for schedules and memos, not for tasks.
  bool replaceOffered() const { return searchTarget() != SearchTarget::kTasks; }

  // The checks before a run, in order; the first failure's message is shown and false
  // returned.
  [[nodiscard]] bool ReadyToSearch() const;

  // What a results dialog ended with.  True when the search dialog closes (a move).
  bool TakeResults(bool changed, std::optional<YearMonthDay> move);

  const SearchOutcome& outcome() const { return outcome_; }

 private:
  SearchOutcome outcome_;
};

}  // namespace yk::search
