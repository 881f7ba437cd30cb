#include "host/holiday_editor_model.h"

#include <algorithm>
#include <new>
#include <utility>

#include "common/atomic_file.h"
#include "common/date_util.h"
#include "common/utf16_line_file.h"
#include "platform/message_box.h"

namespace yk {
namespace {

// A name is one line of the file: line breaks pasted into the edit become spaces.
std::u16string OneLineName(std::u16string name) {
  if (name.size() > size_t(kMaxHolidayNameInput)) name.resize(size_t(kMaxHolidayNameInput));
  std::replace_if(
      name.begin(), name.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; }, u' ');
  return name;
}

bool InRange(int value, int low, int high) {
  return value >= low && value <= high;
}

int MaxDay(bool everyMonth, int year, int month) {
  return everyMonth ? 31 : DaysInMonth(year, month);
}

}  // namespace

// ---- One entry ------------------------------------------------------------------------------

HolidayEntryFields FieldsFromEntry(const HolidayEntry& e) {
  HolidayEntryFields f;
  f.colour = InRange(e.colour, kHolidayNoColour, kHolidayGreen) ? e.colour : kHolidayNoColour;
  f.name = std::u16string(HolidayName(e));
  if (f.name.size() > size_t(kMaxHolidayNameInput)) f.name.resize(size_t(kMaxHolidayNameInput));
  if (e.startDay == 0) {
    f.kind = HolidayKind::kOneDay;
    f.dayEveryMonth = IsEveryMonth(e.day);
    f.month = e.month;
    f.day = StripRepeatMark(e.day);
  } else {
    f.kind = HolidayKind::kPeriod;
    f.periodEveryMonth = IsEveryMonth(e.startDay);
    f.startMonth = e.startMonth;
    f.startDay = StripRepeatMark(e.startDay);
    f.endMonth = e.endMonth;
    f.endDay = StripRepeatMark(e.endDay);
    f.weekdayIndex = InRange(e.weekday, -1, 6) ? e.weekday + 1 : 0;
  }
  return f;
}

HolidayEntryCheck EntryFromFields(const HolidayEntryFields& f, int year) {
  HolidayEntry e{};
  e.colour = InRange(f.colour, kHolidayNoColour, kHolidayGreen) ? f.colour : kHolidayNoColour;
  if (f.kind == HolidayKind::kOneDay) {
    if (!f.dayEveryMonth && !InRange(f.month, 1, 12)) return {std::nullopt, kMonthInvalidText};
    if (!InRange(f.day, 1, MaxDay(f.dayEveryMonth, year, f.month))) {
      return {std::nullopt, kDayInvalidText};
    }
    // With "毎月" the month edit is disabled and its value only kept; one that would not
    // fit the file's two-character field is stored as 0.
    e.month = InRange(f.month, 0, 12) ? f.month : 0;
    e.day = f.dayEveryMonth ? f.day + kRepeatMark : f.day;
    e.weekday = -1;
  } else {
    const bool every = f.periodEveryMonth;
    if (!InRange(f.startMonth, 1, 12)) return {std::nullopt, kStartMonthInvalidText};
    if (!InRange(f.startDay, 1, MaxDay(every, year, f.startMonth))) {
      return {std::nullopt, kStartDayInvalidText};
    }
    if (!InRange(f.endMonth, 1, 12)) return {std::nullopt, kEndMonthInvalidText};
    if (!InRange(f.endDay, 1, MaxDay(every, year, f.endMonth))) {
      return {std::nullopt, kEndDayInvalidText};
    }
    if (f.endMonth < f.startMonth ||
        ((every || f.startMonth == f.endMonth) && f.endDay < f.startDay)) {
      return {std::nullopt, kEndBeforeStartText};
    }
    e.startMonth = f.startMonth;
    e.startDay = every ? f.startDay + kRepeatMark : f.startDay;
    e.endMonth = f.endMonth;
    e.endDay = every ? f.endDay + kRepeatMark : f.endDay;
    e.weekday = InRange(f.weekdayIndex, 0, 7) ? f.weekdayIndex - 1 : -1;
  }
  SetHolidayName(&e, OneLineName(f.name));
  return {e, nullptr};
}

HolidayEntryControls EntryControls(const HolidayEntryFields& f, HolidayEntryMode mode,
                                   int listCount) {
  HolidayEntryControls c;
  const bool oneDay = f.kind == HolidayKind::kOneDay;
  c.oneDayGroup = oneDay;
  c.monthEdit = oneDay && !f.dayEveryMonth;
  c.periodGroup = !oneDay;
  c.replaceButton = mode == HolidayEntryMode::kEdit;
  c.addButton = mode == HolidayEntryMode::kNew || listCount < kMaxHolidays;
  return c;
}

// ---- The list -------------------------------------------------------------------------------

HolidayListModel::HolidayListModel(std::filesystem::path dataFolder, HolidayTable* viewsTable,
                                   HolidayEntryRunner runEntry)
    : dataFolder_(std::move(dataFolder)), viewsTable_(viewsTable), runEntry_(std::move(runEntry)) {}

HolidayListModel::~HolidayListModel() = default;

bool HolidayListModel::Open(int year) {
  table_.reset(new (std::nothrow) HolidayTable());
  if (!table_) return false;
  year_ = year;
  table_->count = 0;
  table_->loadedYear = 0;
  (void)ReadHolidays(year_, dataFolder_, table_.get(), /*force=*/true);
  selection_ = -1;
  modified_ = false;
  return true;
}

std::vector<std::u16string> HolidayListModel::Lines() const {
  std::vector<std::u16string> lines;
  for (int i = 0; i < count(); ++i) lines.push_back(HolidayDisplayText(table_->entries[i]));
  return lines;
}

void HolidayListModel::Select(int row) {
  selection_ = InRange(row, 0, count() - 1) ? row : -1;
}

bool HolidayListModel::AskToSave() {
  if (!modified_) return true;
  const int answer = platform::MessageBox(kHolidaySaveQuestion, platform::kDefaultCaption,
                                          platform::kMbYesNo | platform::kMbIconQuestion);
  if (answer != platform::kIdYes) return true;  // "No": the changes are dropped
  return Save();
}

bool HolidayListModel::ChangeYear(int year) {
  if (!table_) return false;
  if (!AskToSave()) return false;
  return Open(year);
}

void HolidayListModel::MoveUp() {
  if (!table_ || selection_ <= 0 || selection_ >= count()) return;
  std::swap(table_->entries[selection_], table_->entries[selection_ - 1]);
  --selection_;
  modified_ = true;
}

void HolidayListModel::MoveDown() {
  if (!table_ || selection_ < 0 || selection_ >= count() - 1) return;
  std::swap(table_->entries[selection_], table_->entries[selection_ + 1]);
  ++selection_;
  modified_ = true;
}

void HolidayListModel::Append(const HolidayEntry& entry) {
  table_->entries[table_->count] = entry;
  selection_ = table_->count;
  ++table_->count;
  modified_ = true;
}

void HolidayListModel::Add() {
  if (!table_) return;
  if (count() >= kMaxHolidays) {
    platform::MessageBox(kHolidayLimitText);
    return;
  }
  if (!runEntry_) return;
  HolidayEntryRequest request;
  request.mode = HolidayEntryMode::kNew;
  request.listCount = count();
  request.year = year_;
  const HolidayEntryOutcome outcome = runEntry_(request);
  if (outcome.choice == HolidayEntryChoice::kAdd && count() < kMaxHolidays) {
    Append(outcome.entry);
  }
}

void HolidayListModel::Edit() {
  if (!table_) return;
  if (!InRange(selection_, 0, count() - 1)) {
    platform::MessageBox(kHolidayNoSelectionText);
    return;
  }
  if (!runEntry_) return;
  HolidayEntryRequest request;
  request.mode = HolidayEntryMode::kEdit;
  request.entry = table_->entries[selection_];
  request.listCount = count();
  request.year = year_;
  const HolidayEntryOutcome outcome = runEntry_(request);
  if (outcome.choice == HolidayEntryChoice::kReplace) {
    table_->entries[selection_] = outcome.entry;
    modified_ = true;
  } else if (outcome.choice == HolidayEntryChoice::kAdd && count() < kMaxHolidays) {
    Append(outcome.entry);
  }
}

void HolidayListModel::Delete() {
  if (!table_ || !InRange(selection_, 0, count() - 1)) return;
  std::move(table_->entries + selection_ + 1, table_->entries + count(),
            table_->entries + selection_);
  --table_->count;
  table_->entries[table_->count] = HolidayEntry{};
  if (selection_ >= count()) selection_ = count() - 1;
  modified_ = true;
}

bool HolidayListModel::Save() {
  if (!table_) return false;
  // An empty list is written as an empty file: leaving the old file would bring every
  // deleted holiday back at the next load.
  // A file that is there but can't be read was opened as an empty list: writing the list
  // would put it in place of every holiday the file holds.
  // The list holds the first entries of a longer file (one written by hand): the entries
  // past them are carried over as they stand, so saving loses none of them.
  const std::filesystem::path file = HolidayFilePath(dataFolder_, year_);
  std::string past;
  int seen = 0;
  HolidayEntry scratch{};
  std::error_code error;
  const bool unreadable = std::filesystem::exists(file, error) &&
                          !ForEachUtf16Line(file, [&](std::u16string_view line) {
                            if (ParseHolidayLine(line, &scratch) && ++seen > kMaxHolidays)
                              past += EncodeUtf16Line(line);
                            return true;
                          });
  bool saved = false;
  if (!unreadable && past.empty()) {
    saved = SaveHolidays(year_, dataFolder_, *table_);
  } else if (!unreadable) {
    std::string bytes;
    for (int i = 0; i < count(); ++i) bytes += EncodeUtf16Le(WriteHolidayLine(table_->entries[i]));
    saved = ReplaceFileAtomically(file, bytes + past);
  }
  if (!saved) {
    platform::MessageBox(kHolidaySaveFailedText);
    return false;
  }
  if (viewsTable_ != nullptr) viewsTable_->loadedYear = 0;
  platform::MessageBox(kHolidaySavedText, platform::kDefaultCaption,
                       platform::kMbOk | platform::kMbIconInformation);
  modified_ = false;
  return true;
}

bool HolidayListModel::Close() {
  if (!AskToSave()) return false;
  table_.reset();
  return true;
}

void HolidayListModel::ShowHelp() const {
  platform::MessageBox(kHolidayListHelpText, platform::kDefaultCaption,
                       platform::kMbOk | platform::kMbIconInformation);
}

}  // namespace yk
