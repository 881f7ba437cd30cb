// ical_text.h — what the calendar export and import share: the names of the organizer's
// own iCalendar properties, the texts of their notes, and texts between the stored form
// (line breaks as "__TVRET__") and a calendar's (real line breaks).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/date_util.h"
#include "common/ical_exchange.h"

namespace yk {

// The stored start date of a record whose first occurrence lies later (YYYYMMDD).
inline constexpr char kCalendarStartExtension[] = "X-YOMITOKI-START";
// The period of a marked record when it isn't 期間通して (-1).
inline constexpr char kCalendarPeriodExtension[] = "X-YOMITOKI-PERIOD";
// The category of the holidays an export adds.
inline constexpr char kCalendarHolidayCategory[] = "HOLIDAY";

inline constexpr std::u16string_view kCalendarBadRecordReason = u"日付か時刻が正しくありません";
inline constexpr std::u16string_view kCalendarNoDayReason = u"該当する日がありません";

// Every "__TVRET__" as one LF.
[[nodiscard]] std::u16string StoredTextToLines(std::u16string_view stored);

// CR LF, CR and LF each as "__TVRET__"; a tab as a space; other control characters
// dropped (a stored text is one line of printable characters).
[[nodiscard]] std::u16string LinesToStoredText(std::u16string_view text);

// "2004/5/7 会議": a date and the first line of a text, cut to 20 characters.
[[nodiscard]] std::u16string CalendarLabel(const YearMonthDay& date, std::u16string_view text);
[[nodiscard]] std::u16string RecordLabel(const ScheduleRecord& record);

// `pattern` with its "%d" replaced by `count`.
[[nodiscard]] std::u16string FormatCount(std::u16string_view pattern, long count);

// Appends "\n\n<heading>（n件）" and the first ten notes, one a line.
void AppendNotes(std::u16string* text, std::u16string_view heading,
                 const std::vector<CalendarNote>& notes);

}  // namespace yk
