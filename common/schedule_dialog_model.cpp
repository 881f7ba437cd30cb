// schedule_dialog_model.cpp — checks and store actions of the schedule edit dialog.
#include "common/schedule_dialog_model.h"

#include "common/date_util.h"
#include "common/schedule_store.h"
#include "platform/message_box.h"

namespace yk {
namespace {

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to) {
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (;;) {
    const size_t hit = text.find(from, pos);
    if (hit == std::u16string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

void Tell(std::u16string_view message) {
  platform::MessageBox(message);
}

// The longest day the start or end day may name: any day 1..31 of a month that repeats
// every month, else the length of that month in that year.
int LastAllowedDay(bool everyMonth, int year, int month) {
  return everyMonth ? 31 : DaysInMonth(year, month);
}

}  // namespace

std::u16string StoredTextToEditText(std::u16string_view stored) {
  return ReplaceAll(stored, kStoredLineBreak, u"\r\n");
}

std::u16string EditTextToStoredText(std::u16string_view edited) {
  return ReplaceAll(ReplaceAll(edited, u"\r", u""), u"\n", kStoredLineBreak);
}

ScheduleDialogInput ScheduleDialogInput::NewOn(int year, int month, int day) {
  ScheduleDialogInput input;
  input.changeMode = 0;
  input.startYear = input.endYear = year;
  input.startMonth = input.endMonth = month;
  input.startDay = input.endDay = day;
  return input;
}

ScheduleDialogInput ScheduleDialogInput::Existing(const ScheduleRecord& record) {
  ScheduleDialogInput input;
  input.changeMode = 1;
  input.startYear = record.startYear;
  input.startMonth = record.startMonth;
  input.startDay = record.startDay;
  input.startHour = record.startHour;
  input.startMinute = record.startMinute;
  input.endYear = record.endYear;
  input.endMonth = record.endMonth;
  input.endDay = record.endDay;
  input.endHour = record.endHour;
  input.endMinute = record.endMinute;
  input.periodIndex = record.period + 2;
  input.text = std::u16string(RecordText(record));
  return input;
}

void ScheduleDialogModel::Open(const ScheduleDialogInput& given) {
  ScheduleDialogInput input = given;
  changeMode_ = input.changeMode;
  if (changeMode_ == 0) {
    input.startHour = input.startMinute = input.endHour = 0;
    input.endMinute = 59;
    input.periodIndex = kPeriodIndexContinuous;
  }

  original_ = ScheduleRecord{};
  original_.startYear = input.startYear;
  original_.startMonth = input.startMonth;
  original_.startDay = input.startDay;
  original_.startHour = input.startHour;
  original_.startMinute = input.startMinute;
  original_.endYear = input.endYear;
  original_.endMonth = input.endMonth;
  original_.endDay = input.endDay;
  original_.endHour = input.endHour;
  original_.endMinute = input.endMinute;
  original_.period = input.periodIndex - 2;
  SetRecordText(&original_, input.text);

  startYear = input.startYear;
  startMonth = StripRepeatMark(input.startMonth);
  startDay = StripRepeatMark(input.startDay);
  endYear = input.endYear;
  endMonth = StripRepeatMark(input.endMonth);
  endDay = StripRepeatMark(input.endDay);
  startHour = input.startHour;
  startMinute = input.startMinute;
  endHour = input.endHour;
  endMinute = input.endMinute;
  everyYear = IsEveryYear(input.startMonth);
  everyMonth = IsEveryMonth(input.startDay);
  const bool anyTime = startHour != 0 || startMinute != 0 || endHour != 0 || endMinute != 0;
  timed = anyTime && changeMode_ != 0 ? 1 : 0;
  periodIndex = input.periodIndex;
  text = StoredTextToEditText(input.text);
}

bool ScheduleDialogModel::OrderOk() const {
  const bool endTimeBeforeStart =
      endHour < startHour || (endHour == startHour && endMinute < startMinute);
  if (periodIndex != kPeriodIndexContinuous && endTimeBeforeStart) return false;
  if (everyYear && endMonth < startMonth) return false;
  if (everyMonth && endDay < startDay) return false;
  const int order = CompareDates({endYear, endMonth, endDay}, {startYear, startMonth, startDay});
  if (order != 0) return order > 0;
  return !endTimeBeforeStart;
}

ScheduleDialogModel::Built ScheduleDialogModel::Build() const {
  auto fail = [](std::u16string_view message) { return Built{std::nullopt, message}; };
  auto yearOk = [](int year) { return year >= kFirstYear && year <= kLastYear; };
  auto monthOk = [](int month) { return month >= 1 && month <= 12; };

  if (!OrderOk()) return fail(kMsgEndBeforeStart);
  if (!yearOk(startYear)) return fail(kMsgBadStartYear);
  if (!yearOk(endYear)) return fail(kMsgBadEndYear);
  if (!monthOk(startMonth)) return fail(kMsgBadStartMonth);
  if (!monthOk(endMonth)) return fail(kMsgBadEndMonth);
  if (startDay < 1 || startDay > LastAllowedDay(everyMonth, startYear, startMonth))
    return fail(kMsgBadStartDay);
  if (endDay < 1 || endDay > LastAllowedDay(everyMonth, endYear, endMonth))
    return fail(kMsgBadEndDay);
  if (timed == 1) {
    if (endHour < 0 || endHour > 23) return fail(kMsgBadEndTime);
    if (startHour < 0 || startHour > 23) return fail(kMsgBadStartTime);
    if (endMinute < 0 || endMinute > 59) return fail(kMsgBadEndTime);
    if (startMinute < 0 || startMinute > 59) return fail(kMsgBadStartTime);
  }

  const std::u16string stored = EditTextToStoredText(text);
  if (stored.size() > size_t(kMaxScheduleTextLength)) return fail(kMsgTextTooLong);

  ScheduleRecord record{};
  record.period = periodIndex - 2;
  record.startYear = startYear;
  record.endYear = endYear;
  record.startMonth = WithRepeatMark(startMonth, everyYear);
  record.endMonth = WithRepeatMark(endMonth, everyYear);
  record.startDay = WithRepeatMark(startDay, everyMonth);
  record.endDay = WithRepeatMark(endDay, everyMonth);
  if (timed == 1) {
    record.startHour = startHour;
    record.startMinute = startMinute;
    record.endHour = endHour;
    record.endMinute = endMinute;
  }
  SetRecordText(&record, stored);
  return Built{record, {}};
}

void ScheduleDialogModel::TakeStartDate(int year, int month, int day) {
  startYear = year;
  startMonth = month;
  startDay = day;
  if (!OrderOk()) {
    endYear = startYear;
    endMonth = startMonth;
    endDay = startDay;
  }
}

void ScheduleDialogModel::TakeEndDate(int year, int month, int day) {
  endYear = year;
  endMonth = month;
  endDay = day;
}

void ScheduleDialogModel::TakeTimes(int newStartHour, int newStartMinute, int newEndHour,
                                    int newEndMinute) {
  startHour = newStartHour;
  startMinute = newStartMinute;
  endHour = newEndHour;
  endMinute = newEndMinute;
  timed = 1;
}

ScheduleDialogModel::Outcome ScheduleDialogModel::Add(const std::filesystem::path& dataFolder,
                                                      ScheduleStore* store) const {
  const Built built = Build();
  if (!built.record) {
    Tell(built.error);
    return Outcome::kStay;
  }
  if (ScheduleExists(dataFolder, *built.record, store)) {
    Tell(kMsgDuplicate);
    return Outcome::kStay;
  }
  return AddSchedule(dataFolder, *built.record, store) ? Outcome::kClose : Outcome::kStay;
}

ScheduleDialogModel::Outcome ScheduleDialogModel::Modify(const std::filesystem::path& dataFolder,
                                                         ScheduleStore* store) const {
  const Built built = Build();
  if (!built.record) {
    Tell(built.error);
    return Outcome::kStay;
  }
  return ModifySchedule(dataFolder, original_, *built.record, store) ? Outcome::kClose
                                                                     : Outcome::kStay;
}

ScheduleDialogModel::Outcome ScheduleDialogModel::Delete(const std::filesystem::path& dataFolder,
                                                         ScheduleStore* store) const {
  const int answer = platform::MessageBox(kMsgDeleteQuestion, platform::kDefaultCaption,
                                          platform::kMbOkCancel | platform::kMbIconQuestion);
  if (answer != platform::kIdOk) return Outcome::kStay;
  if (DeleteSchedule(dataFolder, original_, store)) return Outcome::kClose;
  Tell(kMsgDeleteFailed);
  return Outcome::kStay;
}

}  // namespace yk
