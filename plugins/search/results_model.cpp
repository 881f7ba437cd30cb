// results_model.cpp — list lines, marks, the day to move to, and the replacement.
#include "plugins/search/results_model.h"

#include <algorithm>

#include "common/memo_store.h"
#include "common/schedule_dialog_model.h"
#include "common/schedule_store.h"
#include "common/u16_format.h"
#include "platform/message_box.h"

namespace yk::search {
namespace {

constexpr std::size_t kExcerptUnits = 15;

// The first 15 units, without a high surrogate cut from its partner.
std::u16string Excerpt(std::u16string_view text) {
  std::u16string_view head = text.substr(0, kExcerptUnits);
  if (head.size() == kExcerptUnits && head.back() >= 0xD800 && head.back() <= 0xDBFF)
    head.remove_suffix(1);
  return std::u16string(head);
}

// A stored schedule text with each "__TVRET__" as one space.
std::u16string SpacedLineBreaks(std::u16string_view text) {
  std::u16string out;
  for (std::size_t at; (at = text.find(kStoredLineBreak)) != std::u16string_view::npos;) {
    out.append(text.substr(0, at));
    out.push_back(u' ');
    text.remove_prefix(at + kStoredLineBreak.size());
  }
  out.append(text);
  return out;
}

}  // namespace

ResultsModel::ResultsModel(ResultsMode mode, SearchTarget target, const HitTable& table,
                           TextMatcher& matcher, std::filesystem::path dataFolder,
                           ScheduleStore* sharedStore)
    : mode_(mode),
      target_(target),
      table_(table),
      matcher_(matcher),
      dataFolder_(std::move(dataFolder)),
      store_(sharedStore),
      marked_(std::size_t(table.hitCount()), true) {}

std::u16string_view ResultsModel::helpText() const {
  return mode_ == ResultsMode::kReplace ? kReplaceModeHelp : kSearchModeHelp;
}

std::u16string ResultsModel::countLine() const {
  return Format16(u"%d件見つかりました", {table_.hitCount()});
}

std::u16string ResultsModel::Line(int index) const {
  const SearchHit& h = hit(index);
  const std::u16string_view mark =
      mode_ == ResultsMode::kSearch ? u"" : (marked(index) ? u"■" : u"□");
  if (target_ == SearchTarget::kSchedules) {
    const ScheduleRecord& r = h.record;
    return Format16(u"%s%d.%d.%d:%s...",
                    {mark, r.startYear, StripRepeatMark(r.startMonth), StripRepeatMark(r.startDay),
                     Excerpt(SpacedLineBreaks(RecordText(r)))});
  }
  return Format16(u"%s%d.%d.%d:%s...",
                  {mark, h.memoYear, h.memoMonth, h.memoDay, Excerpt(h.memoText)});
}

bool ResultsModel::ToggleMark(int index) {
  if (mode_ != ResultsMode::kReplace || index < 0 || index >= lineCount()) return false;
  marked_[std::size_t(index)] = !marked_[std::size_t(index)];
  return true;
}

std::optional<YearMonthDay> ResultsModel::DayOf(int index) const {
  if (index < 0 || index >= lineCount()) return std::nullopt;
  const SearchHit& h = hit(index);
  if (target_ != SearchTarget::kSchedules) return YearMonthDay{h.memoYear, h.memoMonth, h.memoDay};
  // The shared date every window shows must be a day of the calendar.  A schedule that
  // repeats every month from the 31st may start in a shorter month: its month's last day
  // is taken.  A record whose start names no day at all (written by another program) has
  // no day to go to.
  YearMonthDay day{h.record.startYear, StripRepeatMark(h.record.startMonth),
                   StripRepeatMark(h.record.startDay)};
  if (day.year < 1 || day.month < 1 || day.month > 12 || day.day < 1) return std::nullopt;
  day.day = std::min(day.day, DaysInMonth(day.year, day.month));
  return day;
}

bool ResultsModel::ReplaceSchedule(const SearchHit& hit) {
  // The list is not refreshed after an edit: a record changed since the search is no
  // longer in its file, and a modification would add a second, stale copy of it.
  if (store_ == nullptr || !ScheduleExists(dataFolder_, hit.record, store_)) return false;
  const TextMatcher::Replacement replaced = matcher_.ReplaceInText(RecordText(hit.record));
  if (replaced.status != TextMatcher::Replaced::kChanged) return false;
  const std::u16string stored = EditTextToStoredText(replaced.text);
  if (stored.size() > std::size_t(kMaxScheduleTextLength)) return false;
  if (stored == RecordText(hit.record)) return true;
  ScheduleRecord next = hit.record;
  SetRecordText(&next, stored);
  return ModifySchedule(dataFolder_, hit.record, next, store_);
}

bool ResultsModel::ReplaceMemo(const SearchHit& hit, std::vector<YearMonthDay>* rewritten) {
  const YearMonthDay day{hit.memoYear, hit.memoMonth, hit.memoDay};
  if (std::find(rewritten->begin(), rewritten->end(), day) != rewritten->end()) return true;
  std::u16string text;
  if (!ReadMemo(day.year, day.month, day.day, dataFolder_, &text)) return false;
  const TextMatcher::Replacement replaced = matcher_.ReplaceInText(text);
  if (replaced.status != TextMatcher::Replaced::kChanged) return false;
  if (replaced.text != text &&
      !WriteMemo(day.year, day.month, day.day, dataFolder_, replaced.text, false).ok())
    return false;
  rewritten->push_back(day);
  return true;
}

ResultsModel::ReplaceCounts ResultsModel::ReplaceMarked() {
  // A data folder that can't be written fails every hit the same way: its message is shown
  // once, and the report counts the rest.
  const platform::FirstNoticeOnly oneFailureMessage;
  ReplaceCounts counts;
  std::vector<YearMonthDay> rewritten;
  for (int i = 0; i < lineCount(); ++i) {
    if (!marked(i)) continue;
    const bool done = target_ == SearchTarget::kSchedules ? ReplaceSchedule(hit(i))
                                                          : ReplaceMemo(hit(i), &rewritten);
    ++(done ? counts.replaced : counts.notReplaced);
  }
  if (counts.replaced > 0) changed_ = true;
  return counts;
}

std::u16string ResultsModel::ReplaceReport(const ReplaceCounts& counts) {
  if (counts.notReplaced == 0) return std::u16string(kReplaceDone);
  return Format16(kReplacePartly, {counts.replaced, counts.notReplaced});
}

}  // namespace yk::search
