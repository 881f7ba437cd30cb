// memo_edit_model.cpp — the "メモ・日記" dialog's rules.
#include "common/memo_edit_model.h"

#include <algorithm>

#include "common/cp932_text.h"
#include "common/line_breaks.h"
#include "common/memo_store.h"
#include "common/u16_format.h"
#include "platform/message_box.h"

namespace yk {
namespace {

std::u16string DayText(YearMonthDay day) {
  return Format16(u"%d年%d月%d日", {day.year, day.month, day.day});
}

bool Confirm(std::u16string_view question, YearMonthDay day) {
  return platform::MessageBox(Format16(question, {day.year, day.month, day.day}),
                              platform::kDefaultCaption,
                              platform::kMbOkCancel | platform::kMbIconQuestion) == platform::kIdOk;
}

void Report(std::u16string_view text) {
  platform::MessageBox(text, platform::kDefaultCaption, platform::kMbOk | platform::kMbIconWarning);
}

}  // namespace

MemoEditModel::MemoEditModel(std::filesystem::path dataFolder, YearMonthDay memoDay, bool readOnly)
    : dataFolder_(std::move(dataFolder)), memoDay_(memoDay), readOnly_(readOnly) {
  std::u16string memo;
  memoExists_ = ReadMemo(memoDay_.year, memoDay_.month, memoDay_.day, dataFolder_, &memo);
  editText_ = WithoutCarriageReturns(memo);
  boxLimit_ = std::max(kMemoBoxLimit, int(editText_.size()));
  SetReferenceDay(memoDay_);
}

std::u16string MemoEditModel::memoDayText() const {
  return DayText(memoDay_);
}

std::u16string MemoEditModel::referenceDayText() const {
  return DayText(referenceDay_);
}

void MemoEditModel::SetReferenceDay(YearMonthDay day) {
  referenceDay_ = day;
  std::u16string memo;
  if (ReadMemo(day.year, day.month, day.day, dataFolder_, &memo))
    referenceText_ = WithoutCarriageReturns(memo);
  else
    referenceText_ = kNoMemoText;
}

MemoEditModel::Outcome MemoEditModel::Save(std::u16string_view typed) {
  if (readOnly_) return Outcome::kStay;
  if (memoExists_ && !Confirm(kMemoOverwriteQuestion, memoDay_)) return Outcome::kStay;
  if (typed.empty()) {
    if (DeleteMemo(memoDay_.year, memoDay_.month, memoDay_.day, dataFolder_))
      return Outcome::kClose;
    Report(kMemoDeleteFailed);
    return Outcome::kStay;
  }
  const MemoWriteResult written = WriteMemo(memoDay_.year, memoDay_.month, memoDay_.day,
                                            dataFolder_, LineFeedsAsCrLf(typed), !memoExists_);
  switch (written.status) {
    case MemoWriteStatus::kWritten:
      return Outcome::kClose;
    case MemoWriteStatus::kNotConvertible:
      Report(Format16(kMemoNotConvertible, {DescribeCharacter(written.offending)}));
      return Outcome::kStay;
    case MemoWriteStatus::kFailed:
      break;
  }
  Report(kMemoSaveFailed);
  return Outcome::kStay;
}

MemoEditModel::Outcome MemoEditModel::Delete() {
  if (!deleteOffered() || !Confirm(kMemoDeleteQuestion, memoDay_)) return Outcome::kStay;
  if (DeleteMemo(memoDay_.year, memoDay_.month, memoDay_.day, dataFolder_)) return Outcome::kClose;
  Report(kMemoDeleteFailed);
  return Outcome::kStay;
}

}  // namespace yk
