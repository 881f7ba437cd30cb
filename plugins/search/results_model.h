// results_model.h — the list of hits and what can be done with it: the "検索結果" dialog
// without widgets.
//
// Mode 0 (from "検索") lists the hits for editing and moving; mode 1 (from "置換え") lists
// each with a mark, "■" to be replaced or "□" left alone (a double tap toggles it), and
// offers "置換え実行".
//
// A replacement writes only what is exact and complete, and says what it could not do:
//   - a schedule that is no longer in its file as found (changed meanwhile) is not
//     added back; a new text longer than a record holds (1023 characters) is not cut;
//   - a memo that vanished, or whose new text the code page can't hold, stays as it is;
//   - a memo listed twice is rewritten once;
// every such hit is counted, and the report names how many were not replaced.  A write the
// store refuses is counted the same way; its message is shown once per run, not once per
// hit.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/date_util.h"
#include "common/plugin_interface.h"
#include "plugins/search/hit_table.h"
#include "plugins/search/search_period.h"
#include "plugins/search/text_matcher.h"

namespace yk::search {

enum class ResultsMode : int { kSearch = 0, kReplace = 1 };

inline constexpr std::u16string_view kSearchModeHelp =
    u"編集・内容を確認したいアイテムを選択し、編集ボタンを押してください。";
inline constexpr std::u16string_view kReplaceModeHelp =
    u"置換えを実行するには置換えボタンを押してください。置換え対象から外したいアイテムはダブルクリ"
    u"ッ"
    u"クすると□に変わり対象から解除されます。\r\n置換えの場合内容は参照のみ出来ます。";
inline constexpr std::u16string_view kMoveQuestion = u"検索を終了してこの日に移動しますか？";
inline constexpr std::u16string_view kReplaceDone = u"置換えが完了しました";
inline constexpr std::u16string_view kReplacePartly =
    u"置換えが完了しました。%d件を置換え、%d件は置換えできませんでした。";

class ResultsModel {
 public:
  // The table, the matcher and the store must outlive the model.  `sharedStore` is the
  // Host context's schedule cache, through which replacements are written.
  ResultsModel(ResultsMode mode, SearchTarget target, const HitTable& table, TextMatcher& matcher,
               std::filesystem::path dataFolder, ScheduleStore* sharedStore);

  ResultsMode mode() const { return mode_; }
  SearchTarget target() const { return target_; }
  bool replaceOffered() const { return mode_ == ResultsMode::kReplace; }
  std::u16string_view helpText() const;

  // "%d件見つかりました"
  std::u16string countLine() const;
  int lineCount() const { return int(marked_.size()); }
  // "[■|□]%d.%d.%d:%s..." with the first 15 units of the text (a schedule's line breaks
  // as spaces; a memo's as they are).
  std::u16string Line(int index) const;
  bool marked(int index) const { return marked_.at(std::size_t(index)); }
  const SearchHit& hit(int index) const { return table_.hits.at(std::size_t(index)); }

  // A double tap on a line: flips its mark in mode 1; false (nothing) in mode 0.
  bool ToggleMark(int index);

  // The day "この日に移動" goes to: a schedule's start day (marks removed, the day kept
  // within its month), a memo's day; none for a start that names no day.
  std::optional<YearMonthDay> DayOf(int index) const;

  // An edit dialog opened from the list ended with OK.
  void NoteEdited() { changed_ = true; }

  struct ReplaceCounts {
    int replaced = 0;
    int notReplaced = 0;
  };
  // "置換え実行": every marked hit in table order.
  ReplaceCounts ReplaceMarked();
  // kReplaceDone, or kReplacePartly with the counts.
  static std::u16string ReplaceReport(const ReplaceCounts& counts);

  // Something was written (an edit or a replacement).
  bool changed() const { return changed_; }

 private:
  bool ReplaceSchedule(const SearchHit& hit);
  bool ReplaceMemo(const SearchHit& hit, std::vector<YearMonthDay>* rewritten);

  ResultsMode mode_;
  SearchTarget target_;
  const HitTable& table_;
  TextMatcher& matcher_;
  std::filesystem::path dataFolder_;
  ScheduleStore* store_;
  std::vector<bool> marked_;
  bool changed_ = false;
};

}  // namespace yk::search
