// schedule_dialog_model.h — the fields and rules of the schedule edit dialog, without widgets.
//
// The dialog shows one schedule on two pages: "日時" (dates, times, repetition, period) and
// "内容" (the text).  The page shows months and days without their 50-marks and holds the
// marks as the "毎年" / "毎月" boxes; the text is edited with real line breaks (CR LF) and
// stored with each break as "__TVRET__".  When the user confirms, the fields are checked in
// a fixed order (the first failure is the one reported) and turned into a ScheduleRecord,
// which goes to the schedule store: added after a duplicate test, modified in place of the
// record the dialog was opened with, or deleted after a question.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/plugin_interface.h"

namespace yk {

// Position in the period list = period + 2.
inline constexpr int kPeriodIndexEveryDay = 0;    // "毎日指定時刻"
inline constexpr int kPeriodIndexContinuous = 1;  // "期間通して"
inline constexpr int kPeriodIndexCount = 9;
inline constexpr int kScheduleTextBoxLimit = 1000;  // characters the text box takes

// The period list in list order.
inline constexpr std::u16string_view kPeriodNames[kPeriodIndexCount] = {
    u"毎日指定時刻", u"期間通して", u"毎週日曜日", u"毎週月曜日", u"毎週火曜日",
    u"毎週水曜日",   u"毎週木曜日", u"毎週金曜日", u"毎週土曜日"};

inline constexpr std::u16string_view kScheduleHelpText =
    u"2003/3/5～2006/5/10の期間で「毎年」を指定した場合2003～2006の毎3/5～5/10、「毎月」を指定した"
    u"場合2003/3～2006/5の毎5～10日、両方指定した場合2003～2006年の毎3～5月の毎5～10日となります。";

// Messages of the checks, in the order they are made.
inline constexpr std::u16string_view kMsgEndBeforeStart = u"終了日時が開始日時より前になっています";
inline constexpr std::u16string_view kMsgBadStartYear = u"開始年が無効です";
inline constexpr std::u16string_view kMsgBadEndYear = u"終了年が無効です";
inline constexpr std::u16string_view kMsgBadStartMonth = u"開始月が無効です";
inline constexpr std::u16string_view kMsgBadEndMonth = u"終了月が無効です";
inline constexpr std::u16string_view kMsgBadStartDay = u"開始日が無効です";
inline constexpr std::u16string_view kMsgBadEndDay = u"終了日が無効です";
inline constexpr std::u16string_view kMsgBadStartTime = u"開始時刻が無効です";
inline constexpr std::u16string_view kMsgBadEndTime = u"終了時刻が無効です";
// A stored text holds at most 1023 characters and every line break takes nine of them, so
// a full text box with breaks can be too long: it is refused rather than cut.
inline constexpr std::u16string_view kMsgTextTooLong =
    u"内容が長すぎます。改行は1つにつき9文字として数えられます。改行を含めて1023文字以内にしてくだ"
    u"さい";
inline constexpr std::u16string_view kMsgDuplicate = u"同じ内容のスケジュールが既に存在します";
inline constexpr std::u16string_view kMsgDeleteQuestion =
    u"スケジュールを削除します。よろしいですか？";
inline constexpr std::u16string_view kMsgDeleteFailed =
    u"データエラーもしくはファイルエラーによりスケジュールの削除に失敗しました";

// "__TVRET__" → CR LF, for showing a stored text.
std::u16string StoredTextToEditText(std::u16string_view stored);
// Every CR removed and every LF turned into "__TVRET__", for storing an edited text.
std::u16string EditTextToStoredText(std::u16string_view edited);

// What the caller hands to the dialog: the record's ten numbers as stored (marks
// included), its period index and its text as stored.
struct ScheduleDialogInput {
  int changeMode = 0;  // 0 new schedule, 1 an existing one is edited
  int startYear = 0, startMonth = 0, startDay = 0, startHour = 0, startMinute = 0;
  int endYear = 0, endMonth = 0, endDay = 0, endHour = 0, endMinute = 0;
  int periodIndex = kPeriodIndexContinuous;
  std::u16string text;  // escaped

  // A new schedule on one date (start and end the date).
  static ScheduleDialogInput NewOn(int year, int month, int day);
  // An existing record, for change mode.
  static ScheduleDialogInput Existing(const ScheduleRecord& record);
};

class ScheduleDialogModel {
 public:
  // What a store action asks of the dialog.
  enum class Outcome { kStay, kClose };

  // Date page fields, months and days without marks.
  int startYear = 0, startMonth = 0, startDay = 0;
  int endYear = 0, endMonth = 0, endDay = 0;
  int startHour = 0, startMinute = 0, endHour = 0, endMinute = 0;
  bool everyYear = false;
  bool everyMonth = false;
  int timed = 0;  // radio: 0 "終日", 1 "時刻"
  int periodIndex = kPeriodIndexContinuous;
  // Text page field: the edit copy, line breaks as CR LF.
  std::u16string text;

  // Takes the caller's values, applies the new-mode defaults (times 0:00 to 0:59, "期間通して")
  // and fills the pages.
  void Open(const ScheduleDialogInput& input);

  int changeMode() const { return changeMode_; }
  const ScheduleRecord& originalRecord() const { return original_; }

  // True when the end does not lie before the start (times compared as entered, even
  // for "終日").
  [[nodiscard]] bool OrderOk() const;

  // Checks the fields in order and builds the record; the message of the first failure
  // otherwise.
  struct Built {
    std::optional<ScheduleRecord> record;
    std::u16string_view error;  // empty when record is set
  };
  [[nodiscard]] Built Build() const;

  // A start date picked with the calendar; the end date follows when it would lie before.
  void TakeStartDate(int year, int month, int day);
  void TakeEndDate(int year, int month, int day);
  // Times set with the time picker; selects "時刻".
  void TakeTimes(int newStartHour, int newStartMinute, int newEndHour, int newEndMinute);

  // The store actions.  Each reports its failure itself (message box) and says whether
  // the dialog closes (something was stored) or stays open.
  Outcome Add(const std::filesystem::path& dataFolder, ScheduleStore* store) const;
  Outcome Modify(const std::filesystem::path& dataFolder, ScheduleStore* store) const;
  Outcome Delete(const std::filesystem::path& dataFolder, ScheduleStore* store) const;

 private:
  int changeMode_ = 0;
  ScheduleRecord original_{};
};

}  // namespace yk
