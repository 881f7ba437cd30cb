// memo_edit_model.h — the fields and rules of the "メモ・日記" dialog, without widgets.
//
// The dialog shows one day's memo for editing and, below it, the memo of a reference day
// (at first the same day) for reading.  "保存" asks before it writes over an existing memo
// and deletes the memo when the text is empty; "削除" asks, then deletes.  In read-only
// mode neither is offered.
//
// The edit box shows line breaks as LF; the file holds CR LF.  The box takes at most
// kMemoBoxLimit characters typed, but a longer memo (written by another program) is shown
// and saved whole.  A save the code page can't hold exactly, and a save or deletion the
// disk refuses, is reported and the dialog stays open with the text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/date_util.h"

namespace yk {

inline constexpr std::u16string_view kMemoDialogTitle = u"メモ・日記";
inline constexpr std::u16string_view kNoMemoText = u"この日のメモはありません";
inline constexpr std::u16string_view kMemoOverwriteQuestion = u"%d/%d/%dのメモに上書き保存します";
inline constexpr std::u16string_view kMemoDeleteQuestion = u"%d/%d/%dのメモを削除します";
inline constexpr std::u16string_view kMemoNotConvertible =
    u"%sはメモに保存できない文字です。別の文字に直してから保存して下さい。";
inline constexpr std::u16string_view kMemoSaveFailed =
    u"メモを保存できませんでした。ディスクの空きと書き込みの権限を確かめて下さい。";
inline constexpr std::u16string_view kMemoDeleteFailed = u"メモを削除できませんでした。";

class MemoEditModel {
 public:
  enum class Outcome { kStay, kClose };

  // Reads the memo of `memoDay` and, as the reference, the same day's memo.
  MemoEditModel(std::filesystem::path dataFolder, YearMonthDay memoDay, bool readOnly);

  // The memo as the edit box shows it (LF line breaks) and what the box takes.
  const std::u16string& editText() const { return editText_; }
  int boxLimit() const { return boxLimit_; }
  bool memoExists() const { return memoExists_; }
  bool readOnly() const { return readOnly_; }
  bool saveOffered() const { return !readOnly_; }
  bool deleteOffered() const { return !readOnly_ && memoExists_; }

  YearMonthDay memoDay() const { return memoDay_; }
  YearMonthDay referenceDay() const { return referenceDay_; }
  // "%d年%d月%d日" of the memo's and the reference day.
  std::u16string memoDayText() const;
  std::u16string referenceDayText() const;
  // The reference day's memo (LF line breaks), or kNoMemoText.
  const std::u16string& referenceText() const { return referenceText_; }

  // "今日" and "暦": another reference day, its memo read afresh.
  void SetReferenceDay(YearMonthDay day);

  // "保存" with the box's text (LF line breaks).  Asks, writes or deletes, reports.
  Outcome Save(std::u16string_view typed);
  // "削除": asks, then deletes.
  Outcome Delete();

 private:
  std::filesystem::path dataFolder_;
  YearMonthDay memoDay_;
  YearMonthDay referenceDay_;
  bool readOnly_;
  bool memoExists_ = false;
  int boxLimit_;
  std::u16string editText_;
  std::u16string referenceText_;
};

}  // namespace yk
