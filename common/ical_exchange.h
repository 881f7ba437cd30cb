// ical_exchange.h — schedules (and holidays) out to an iCalendar file (RFC 5545) and
// events from one in, for the organizer's menu commands and the yomitoki-ical tool.
//
// Export: every record becomes a VEVENT with a UID made from its line (stable from one
// export to the next), all-day records with DATE values, timed ones in the local zone
// (ical_time.h), spans with DTEND, and the repeating kinds with an RRULE:
//   every day of a range (period -2)   FREQ=DAILY;UNTIL=...
//   a weekday of a range (0..6)        FREQ=WEEKLY;BYDAY=..;UNTIL=...
//   every year / every month           FREQ=YEARLY / FREQ=MONTHLY;UNTIL=...
//   both marks                         FREQ=MONTHLY;BYMONTH=<start>..<end>;UNTIL=...
// DTSTART is the first occurrence; where that isn't the record's stored start (a weekly
// range that begins on another weekday, the 31st from a month of 30 days)
// X-YOMITOKI-START:YYYYMMDD keeps it, and a marked record's period other than 期間通して
// is kept in X-YOMITOKI-PERIOD, so an import gives back the very same record.  Stored
// line breaks ("__TVRET__") are real line breaks in SUMMARY.  Holidays, when asked for,
// are all-day VEVENTs with CATEGORIES:HOLIDAY.
//
// Import: nothing is written until the whole file has been read (PlanCalendarImport),
// then the plan's records go through the store's own add for many records
// (ApplyCalendarImport), which adds all of them or, when one fails, none.  An event becomes the
// record kind that covers exactly its occurrences in 1975..2036 (checked against
// schedule_occurrences.h); one that no kind expresses (COUNT that isn't a plain end, INTERVAL above
// 1, lists of days, EXDATE, RDATE, moved instances, a zone whose offset changes under a repetition)
// is expanded into single records, up to 1000 of them, or skipped with its reason.  Records already
// stored (the store's duplicate test) are not added again, so a second import of a file
// adds nothing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/date_util.h"
#include "common/plugin_interface.h"

namespace yk {

inline constexpr std::size_t kMaxCalendarFileBytes = 32u << 20;  // 32 MiB
inline constexpr std::size_t kMaxExpandedRecords = 1000;         // one event's single records

// An event (or a record) left out, or changed, and why; `what` names it for the user
// ("2004/5/7 会議").
struct CalendarNote {
  std::u16string what;
  std::u16string reason;
};

// ---- export -----------------------------------------------------------------------------

struct CalendarExportOptions {
  YearMonthDay from{kFirstYear, 1, 1};  // records and holidays that touch these days
  YearMonthDay to{kLastYear, 12, 31};
  bool holidays = false;
  std::string zoneName;  // the local zone (SystemZoneName()); empty: floating times
  int64_t stamp = 0;     // DTSTAMP in seconds since 1970 (UTC); 0: now
};

struct CalendarExport {
  std::string text;  // the file: UTF-8, CR LF, folded
  int schedules = 0;
  int holidays = 0;
  std::vector<CalendarNote> skipped;  // records no calendar can show (invalid dates)
};

[[nodiscard]] CalendarExport ExportCalendar(const std::filesystem::path& dataFolder,
                                            const CalendarExportOptions& options);

// Writes `text` as `file` through the atomic replace.  False leaves the old file.
[[nodiscard]] bool WriteCalendarFile(const std::filesystem::path& file, std::string_view text);

// What the user is told after an export to `file`.
[[nodiscard]] std::u16string ExportReportText(const CalendarExport& result);

// ---- import -----------------------------------------------------------------------------

struct CalendarImportOptions {
  std::string zoneName;  // the local zone (SystemZoneName()); empty: the C library's
};

struct CalendarImportPlan {
  std::u16string error;                 // the file was refused: nothing is to be added
  std::vector<ScheduleRecord> records;  // to add, in file order
  int events = 0;                       // events in the file
  int single = 0;                       // events that became one record each
  int expanded = 0;                     // events that became several records
  int expandedRecords = 0;              // the records those became
  int duplicates = 0;                   // records already stored (or twice in the file)
  std::vector<CalendarNote> skipped;    // events or records not to be added
  std::vector<CalendarNote> changed;    // added, but not quite as they stood (a text cut)

  [[nodiscard]] bool ok() const { return error.empty(); }
};

// Reads a whole calendar file from memory and works out what it adds to `dataFolder`.
// Writes nothing.
[[nodiscard]] CalendarImportPlan PlanCalendarImport(std::string_view bytes,
                                                    const std::filesystem::path& dataFolder,
                                                    const CalendarImportOptions& options);

// The same for a file (refused when it can't be read or is larger than 32 MiB).
[[nodiscard]] CalendarImportPlan PlanCalendarImportFile(const std::filesystem::path& file,
                                                        const std::filesystem::path& dataFolder,
                                                        const CalendarImportOptions& options);

// Adds the plan's records through the store (AddSchedules).  When one can't be added
// (the store has shown why), none is and the result is false: the data stay as they were.
[[nodiscard]] bool ApplyCalendarImport(const CalendarImportPlan& plan,
                                       const std::filesystem::path& dataFolder,
                                       ScheduleStore* store);

// What the user is told: the plan before the import (`done` false) or its outcome.
[[nodiscard]] std::u16string ImportReportText(const CalendarImportPlan& plan, bool done);

}  // namespace yk
