// schedule_store.h — the schedule files under the data folder and their shared cache.
//
// Records live one per line in sched.txt files at four levels of the data tree, chosen
// by how far a record reaches:
//
//   level    records                                         file                cap.
//   Years    start and end year differ (or a year is 0)      sched.txt            300
//   Months   same year, months differ (or a month is 0)      Y/sched.txt          300
//   Days     same year and month, start day before end day   Y/M/sched.txt        300
//   Day      same year, month and day                        Y/M/D/sched.txt       50
//
// (month and day folders name the real number: a 50-mark is removed.)
//
// A line is "(%d,%.2d,%.2d,%.2d,%.2d %d,%.2d,%.2d,%.2d,%.2d %.2d)(%s)" with CR LF, the
// period written "%.1d" when negative so "-1" keeps two characters; at most 2047
// characters before the CR LF.  Line breaks inside a text are stored as "__TVRET__".
//
// The cache (ScheduleStore, plugin_interface.h) holds for each level the records of one
// file: either the shared one in the HostContext, which every plugin of the process uses,
// or a private work area of the same layout.  Each level's key says which file it holds;
// a key of 0 means it holds nothing (this is what the host writes on a data refresh, see
// ClearScheduleStore).  Every write empties the level it wrote, so the next reader loads
// the file again and sees what any plugin added.
//
// The operations that write report failures to the user themselves (limit messages,
// "スケジュールファイルを開く事が出来ませんでした" for a file that can't be written, and
// kRecordDoesNotFitMessage for a record whose numbers don't fit the line's columns) and
// return false; the caller only looks at the result.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/plugin_interface.h"

namespace yk {

// Levels in cache order.
enum class SpanLevel : int { Years = 0, Months = 1, Days = 2, Day = 3 };

inline constexpr int kYearsLevelCapacity = 300;
inline constexpr int kMonthsLevelCapacity = 300;
inline constexpr int kDaysLevelCapacity = 300;
inline constexpr int kDayLevelCapacity = 50;
inline constexpr int kMaxScheduleTextLength = kScheduleTextUnits - 1;  // 1023
inline constexpr int kDeletedMarker = -10;  // period of a cached record being deleted
inline constexpr int kDayListCapacity = 20;

// Period values besides the weekdays 0 (Sunday) .. 6 (Saturday).
inline constexpr int kPeriodEveryDay = -2;    // every day of the range, start to end time
inline constexpr int kPeriodContinuous = -1;  // one span from start date+time to end date+time

// Shown when a record's numbers don't fit the fixed-width columns of its line (a year of
// five digits, an hour of 100, a period below -9): it is refused, nothing is written.
inline constexpr std::u16string_view kRecordDoesNotFitMessage =
    u"日付・時刻の値が記録できる範囲を超えているため、スケジュールを記録出来ませんでした";

// How a line break inside a record's text is stored.
inline constexpr std::u16string_view kStoredLineBreak = u"__TVRET__";

// ---- records --------------------------------------------------------------------------

// The record's text up to its terminator (never reads past the 1024 units).
[[nodiscard]] std::u16string_view RecordText(const ScheduleRecord& record);

// Stores `text` cut to its first 1023 units, with a terminator, zeroing the rest.
void SetRecordText(ScheduleRecord* record, std::u16string_view text);

// All eleven numbers equal and the texts equal unit for unit.
[[nodiscard]] bool RecordsEqual(const ScheduleRecord& a, const ScheduleRecord& b);

// The level a record belongs to, from its fields as stored (50-marks included).
[[nodiscard]] SpanLevel SpanLevelOf(const ScheduleRecord& record);

// Capacity of a level: 300, or 50 for Day.
[[nodiscard]] int LevelCapacity(SpanLevel level);

// The first cached record of a level inside the store.
[[nodiscard]] ScheduleRecord* LevelRecords(ScheduleStore* store, SpanLevel level);
[[nodiscard]] const ScheduleRecord* LevelRecords(const ScheduleStore* store, SpanLevel level);

// ---- lines ----------------------------------------------------------------------------

// Parses one line (without its line end).  Anything before the first "(" is ignored.
// False (and *record untouched) when the line doesn't parse: no "(", shorter than 39
// characters from it, or a missing "," at 5 or 22 or "(" at 38.
[[nodiscard]] bool ParseScheduleLine(std::u16string_view line, ScheduleRecord* record);

// The line of a record without its CR LF, already cut to 2047 characters.
[[nodiscard]] std::u16string FormatScheduleLine(const ScheduleRecord& record);

// ---- files and the cache ----------------------------------------------------------------

// The file of a level for a date (arguments the level doesn't use are ignored; 50-marks
// are removed from month and day).
[[nodiscard]] std::filesystem::path ScheduleFilePath(const std::filesystem::path& dataFolder,
                                                     SpanLevel level, int year, int month, int day);

// The file a record is stored in.
[[nodiscard]] std::filesystem::path ScheduleFilePathOf(const std::filesystem::path& dataFolder,
                                                       const ScheduleRecord& record);

// The key that names a level's file for a date: Years 1; Months the year; Days
// year*100+month; Day year*10000+month*100+day (50-marks removed).  0 when the date
// can't be named uniquely in 32 bits (year outside 1..99999, month or day outside 1..99);
// such a file is then read again at every use.
[[nodiscard]] int32_t LevelKey(SpanLevel level, int year, int month, int day);

// Empties every level: keys and counts 0.  What the host does on a data refresh.
void ClearScheduleStore(ScheduleStore* store);

// Empties one level (key and count 0), so the next reader loads its file again.
void ForgetLevel(ScheduleStore* store, SpanLevel level);

// Reads the level's file for the date into the cache, after settling a move that a crash
// left half done (SettleScheduleMove).  A missing or unreadable file leaves the level
// holding that file with no records.  Malformed lines are skipped; reading stops when the
// level is full.
void LoadLevel(SpanLevel level, int year, int month, int day,
               const std::filesystem::path& dataFolder, ScheduleStore* store);

// Makes sure the level holds the file for the date, loading it when it holds another one
// (or nothing).
void EnsureLevel(SpanLevel level, int year, int month, int day,
                 const std::filesystem::path& dataFolder, ScheduleStore* store);

// ---- operations -------------------------------------------------------------------------

// True when a record equal to `record` lies in the file where `record` belongs.  Here and
// in DeleteSchedule and ModifySchedule the given record is compared as its line would
// store it (raw line breaks as "__TVRET__"), so either form finds the stored one.
[[nodiscard]] bool ScheduleExists(const std::filesystem::path& dataFolder,
                                  const ScheduleRecord& record, ScheduleStore* store);

// Appends the record to its file (creating folders and file as needed).  A full level
// shows its limit message and writes nothing; a file that can't be written shows
// "スケジュールファイルを開く事が出来ませんでした".  Does not test for duplicates.
[[nodiscard]] bool AddSchedule(const std::filesystem::path& dataFolder,
                               const ScheduleRecord& record, ScheduleStore* store);

// AddSchedule for each of `records` in turn, in one step: the same files end up with the
// same bytes in the same order, but each file is written once and the disk flushed for
// all of them together (see AppendBatch), and each level of the cache that a record
// belongs to is emptied once.  No duplicate test, as in AddSchedule.
//
// All or nothing: every record is checked against its level's limit (counting those the
// batch adds before it to the same file) and its line's columns before anything is
// written.  When one would be refused — a full level, a record that doesn't fit — nothing
// is written and the message that AddSchedule shows for that record is shown once.  When a
// file can't be written, the files written before it are taken back to their old bytes
// (files and folders the batch made are removed) and
// "スケジュールファイルを開く事が出来ませんでした" is shown.
// `*refused` (when given) is set to the index of the record where the adds one by one
// would have stopped (the first record of the file that failed; 0 when the flush of the
// whole batch failed), or records.size() when all were added.
[[nodiscard]] bool AddSchedules(const std::filesystem::path& dataFolder,
                                std::span<const ScheduleRecord> records, ScheduleStore* store,
                                std::size_t* refused = nullptr);

// Removes the first record equal to `record` from its file (rewritten atomically).
// False without a message when there is none; a failed rewrite shows the open-failure
// message and leaves the file as it was.
[[nodiscard]] bool DeleteSchedule(const std::filesystem::path& dataFolder,
                                  const ScheduleRecord& record, ScheduleStore* store);

// Replaces `oldRecord` (when it is found) with `newRecord`, which is stored at the end of
// its file.  The old record stays unless the new one was stored: a full target level or
// a failed write leaves both files as they were (with the message shown) and returns
// false.  A missing old record is not an error: the new one is added.  No duplicate test.
// A change that moves the record to another file is guarded by a move intent (below), so
// that a crash between its two writes never leaves the record in both files.
[[nodiscard]] bool ModifySchedule(const std::filesystem::path& dataFolder,
                                  const ScheduleRecord& oldRecord, const ScheduleRecord& newRecord,
                                  ScheduleStore* store);

// ---- moves between files -----------------------------------------------------------------
//
// Moving a record to another file takes two writes: the new line is appended to its file,
// then the old line is taken out of its own.  Before the first, the store writes (whole,
// through ReplaceFileAtomically) a move intent into the data folder; after the second it
// removes it.  The intent names both files and both lines, how many lines equal to each
// record its file held before the move, and the new file's size then.  It is a hidden file
// of ours alone, in the same UTF-16 CR LF form as the data files:
//
//   schedule move 1
//   <old file, relative to the data folder, "/" between folders>
//   <old line>
//   <lines equal to the old record in the old file before the move>
//   <new file>
//   <new line>
//   <lines equal to the new record in the new file before the move>
//   <the new file's size in bytes before the move>
//   end
//
// An intent left behind by a crash is settled before the store next reads a level, and at
// the host's start.  Counting the equal lines tells what was done, also when a file holds
// the same record more than once:
//   - the new file holds one more new line than before and the old file as many old lines
//     as before: the old line is taken out (the first equal one, as a delete does);
//   - the new file holds as many new lines as before: nothing was moved (the start of a
//     line cut short by the crash is cut off again) and the intent is dropped;
//   - anything else (the move was finished, or the files were changed since): the files
//     are left as they are and the intent is dropped.
// Each step is whole on its own, so settling may itself be interrupted and run again.

// The move intent's file.
[[nodiscard]] std::filesystem::path MoveIntentPath(const std::filesystem::path& dataFolder);

enum class MoveSettlement {
  kNone,       // no intent
  kDropped,    // an intent with nothing left to do (or unreadable) was removed
  kCompleted,  // the old line was taken out, and the intent removed
  kFailed,     // a file couldn't be read or written: the intent stays for the next start
};

// Settles an intent left in `dataFolder`.  When no intent exists this is one stat.  An
// intent that couldn't be settled is not tried again by this process until it changes.
// Levels of `store` (when given) holding a file that settling changed are emptied.
MoveSettlement SettleScheduleMove(const std::filesystem::path& dataFolder,
                                  ScheduleStore* store = nullptr);

// ---- one date's list --------------------------------------------------------------------

struct DayEntry {
  int startHour = 0, startMinute = 0;  // as the record applies on this date
  int endHour = 0, endMinute = 0;      // 24:00 when it runs on past the date
  int startMinutes = 0;                // minutes after midnight
  int endMinutes = 0;
  int length = 0;              // endMinutes - startMinutes
  int allDay = 0;              // 1 when the record's four time fields are all 0
  std::u16string displayText;  // the text with every "__TVRET__" as one LF
  ScheduleRecord record{};     // a copy of the record, for the edit dialog
};

struct DayScheduleList {
  std::array<int, kDayListCapacity> order{};  // indices into entries, display order
  std::array<DayEntry, kDayListCapacity> entries{};
  int count = 0;     // entries held
  int total = 0;     // records that fell on the date, including those that didn't fit
  int overflow = 0;  // 1 when more than 20 fell on it
};

// Fills `list` with the records that fall on the date (Y, M, D with weekday W), reading
// the date's Day, Days, Months and Years files as needed.  All-day entries come first in
// collection order, then the others by start time (equal starts keep collection order).
void CollectDaySchedules(const std::filesystem::path& dataFolder, int year, int month, int day,
                         int weekday, ScheduleStore* store, DayScheduleList* list);

// Every record that falls on the date, however many, in the same display order over all
// of them (a busy date can hold hundreds: 50 of its own and up to 300 in each wider file).
[[nodiscard]] std::vector<DayEntry> CollectAllDaySchedules(const std::filesystem::path& dataFolder,
                                                           int year, int month, int day,
                                                           int weekday, ScheduleStore* store);

// Whether a record falls on a date, honouring the every-year / every-month marks and,
// for unmarked records, a weekly period.
[[nodiscard]] bool DateMatches(const ScheduleRecord& record, int year, int month, int day,
                               int weekday);

// Whether the record's start time (end time) applies on the date: true for weekly and
// every-day records on any date they fall on, else when the date is the first (last) day.
[[nodiscard]] bool IsStartDay(const ScheduleRecord& record, int year, int month, int day,
                              int weekday);
[[nodiscard]] bool IsEndDay(const ScheduleRecord& record, int year, int month, int day,
                            int weekday);

}  // namespace yk
