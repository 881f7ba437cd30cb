// ical_export.cpp — the schedule files (and holidays) as one iCalendar file.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>

#include "common/atomic_file.h"
#include "common/holiday.h"
#include "common/ical_exchange.h"
#include "common/ical_text.h"
#include "common/ical_time.h"
#include "common/schedule_occurrences.h"
#include "common/schedule_store.h"
#include "platform/text_codec.h"

namespace yk {
namespace {

namespace fs = std::filesystem;

constexpr char kProductId[] = "-//Yomitoki//Yomitoki//JA";
constexpr char kUidDomain[] = "@yomitoki";
constexpr int kMaxFolderYear = 9999;

// One sched.txt of the tree: its level and the date its folders name.
struct ScheduleFile {
  SpanLevel level;
  int year = 0, month = 0, day = 0;
};

// The numbered sub-folders of `folder` within low..high, in numeric order.  Only names
// the store itself makes ("5", not "05") count: those are the files it reads.
std::vector<int> NumberedFolders(const fs::path& folder, int low, int high) {
  std::vector<int> numbers;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    int value = 0;
    const auto [rest, failed] = std::from_chars(name.data(), name.data() + name.size(), value);
    if (failed != std::errc() || rest != name.data() + name.size() || value < low || value > high ||
        std::to_string(value) != name || !it->is_directory(error)) {
      continue;
    }
    numbers.push_back(value);
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

std::vector<ScheduleFile> ScheduleFiles(const fs::path& dataFolder) {
  std::vector<ScheduleFile> files;
  std::error_code error;
  auto add = [&](SpanLevel level, int y, int m, int d) {
    if (fs::is_regular_file(ScheduleFilePath(dataFolder, level, y, m, d), error)) {
      files.push_back({level, y, m, d});
    }
  };
  add(SpanLevel::Years, 0, 0, 0);
  for (int y : NumberedFolders(dataFolder, 1, kMaxFolderYear)) {
    add(SpanLevel::Months, y, 0, 0);
    const fs::path year = dataFolder / std::to_string(y);
    for (int m : NumberedFolders(year, 1, 12)) {
      add(SpanLevel::Days, y, m, 0);
      for (int d : NumberedFolders(year / std::to_string(m), 1, 31)) {
        add(SpanLevel::Day, y, m, d);
      }
    }
  }
  return files;
}

// FNV-1a over the record's line: the same record gets the same UID in every export.
std::string UidOf(const ScheduleRecord& record, int repeat) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (char byte : platform::Utf16ToUtf8(FormatScheduleLine(record))) {
    hash = (hash ^ uint8_t(byte)) * 0x100000001b3ULL;
  }
  char uid[48];
  std::snprintf(uid, sizeof uid, "%016llx-%d", static_cast<unsigned long long>(hash), repeat);
  return uid + std::string(kUidDomain);
}

icalproperty* DateProperty(icalproperty_kind kind, const YearMonthDay& day) {
  icalproperty* property = icalproperty_new(kind);
  icalproperty_set_value(property, icalvalue_new_date(CalendarDate(day)));
  return property;
}

void AddSpan(icalcomponent* event, const Occurrence& first, const CalendarZone& zone) {
  if (first.allDay) {
    icalcomponent_add_property(event, DateProperty(ICAL_DTSTART_PROPERTY, first.start.date));
    icalcomponent_add_property(event,
                               DateProperty(ICAL_DTEND_PROPERTY, AddDays(first.end.date, 1)));
  } else {
    icalcomponent_add_property(event, zone.NewTimeProperty(ICAL_DTSTART_PROPERTY, first.start));
    icalcomponent_add_property(event, zone.NewTimeProperty(ICAL_DTEND_PROPERTY, first.end));
  }
}

void AddRule(icalcomponent* event, const ScheduleRecord& r, RecordKind kind, bool allDay,
             const CalendarZone& zone) {
  icalrecurrencetype rule;
  icalrecurrencetype_clear(&rule);
  switch (kind) {
    case RecordKind::kEveryDay:
      rule.freq = ICAL_DAILY_RECURRENCE;
      break;
    case RecordKind::kWeekly:
      rule.freq = ICAL_WEEKLY_RECURRENCE;
      rule.by_day[0] = short(r.period + ICAL_SUNDAY_WEEKDAY);
      break;
    case RecordKind::kEveryYear:
      rule.freq = ICAL_YEARLY_RECURRENCE;
      break;
    case RecordKind::kEveryMonth:
      rule.freq = ICAL_MONTHLY_RECURRENCE;
      break;
    case RecordKind::kEveryYearMonth: {
      rule.freq = ICAL_MONTHLY_RECURRENCE;
      int i = 0;
      for (int m = StripRepeatMark(r.startMonth); m <= StripRepeatMark(r.endMonth); ++m) {
        rule.by_month[i++] = short(m);
      }
      break;
    }
    case RecordKind::kSpan:
    case RecordKind::kInvalid:
      return;
  }
  const YearMonthDay until = RecordRangeEnd(r);
  rule.until = allDay ? CalendarDate(until) : zone.UntilEndOf(until);
  icalcomponent_add_property(event, icalproperty_new_rrule(rule));
}

void AddExtension(icalcomponent* event, const char* name, const std::string& value) {
  icalproperty* property = icalproperty_new_x(value.c_str());
  icalproperty_set_x_name(property, name);
  icalcomponent_add_property(event, property);
}

// The event of a record, or null with the reason when no calendar could show it.
icalcomponent* EventOf(const ScheduleRecord& r, const std::string& uid, const icaltimetype& stamp,
                       const CalendarZone& zone, std::u16string* reason) {
  const RecordKind kind = KindOf(r);
  if (kind == RecordKind::kInvalid) {
    *reason = kCalendarBadRecordReason;
    return nullptr;
  }
  const std::vector<Occurrence> first = RecordOccurrences(r, 1);
  if (first.empty()) {
    *reason = kCalendarNoDayReason;
    return nullptr;
  }
  icalcomponent* event = icalcomponent_new_vevent();
  icalcomponent_add_property(event, icalproperty_new_uid(uid.c_str()));
  icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
  AddSpan(event, first.front(), zone);
  AddRule(event, r, kind, first.front().allDay, zone);
  const YearMonthDay stored{r.startYear, StripRepeatMark(r.startMonth),
                            StripRepeatMark(r.startDay)};
  if (stored != first.front().start.date) {
    char start[48];
    std::snprintf(start, sizeof start, "%04d%02d%02d", stored.year, stored.month, stored.day);
    AddExtension(event, kCalendarStartExtension, start);
  }
  if (kind != RecordKind::kSpan && kind != RecordKind::kEveryDay && kind != RecordKind::kWeekly &&
      r.period != kPeriodContinuous) {
    AddExtension(event, kCalendarPeriodExtension, std::to_string(r.period));
  }
  const std::string summary = platform::Utf16ToUtf8(StoredTextToLines(RecordText(r)));
  icalcomponent_add_property(event, icalproperty_new_summary(summary.c_str()));
  return event;
}

// Whether any occurrence of the record touches from..to.
bool Touches(const ScheduleRecord& r, const YearMonthDay& from, const YearMonthDay& to) {
  constexpr std::size_t kEnough = 40000;  // more than every day of 1975..2036
  for (const Occurrence& o : RecordOccurrences(r, kEnough)) {
    if (o.start.date > to) return false;
    if (o.end.date >= from) return true;
  }
  return false;
}

void AddHolidays(icalcomponent* calendar, const fs::path& dataFolder,
                 const CalendarExportOptions& options, const icaltimetype& stamp,
                 CalendarExport* result) {
  auto table = std::make_unique<HolidayTable>();
  for (int year = std::max(options.from.year, kFirstYear);
       year <= std::min(options.to.year, kLastYear); ++year) {
    if (ReadHolidays(year, dataFolder, table.get(), /*force=*/true) == 0) continue;
    for (YearMonthDay day{year, 1, 1}; day.year == year; day = AddDays(day, 1)) {
      if (day < options.from || day > options.to) continue;
      const HolidayEntry* entry =
          FindHoliday(*table, day.month, day.day, WeekdayOf(day.year, day.month, day.day));
      if (entry == nullptr) continue;
      char uid[48];
      std::snprintf(uid, sizeof uid, "holiday-%04d%02d%02d%s", day.year, day.month, day.day,
                    kUidDomain);
      icalcomponent* event = icalcomponent_new_vevent();
      icalcomponent_add_property(event, icalproperty_new_uid(uid));
      icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
      icalcomponent_add_property(event, DateProperty(ICAL_DTSTART_PROPERTY, day));
      icalcomponent_add_property(event, DateProperty(ICAL_DTEND_PROPERTY, AddDays(day, 1)));
      const std::string name = platform::Utf16ToUtf8(HolidayName(*entry));
      icalcomponent_add_property(event, icalproperty_new_summary(name.c_str()));
      icalcomponent_add_property(event, icalproperty_new_categories(kCalendarHolidayCategory));
      icalcomponent_add_property(event, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
      icalcomponent_add_component(calendar, event);
      ++result->holidays;
    }
  }
}

}  // namespace

CalendarExport ExportCalendar(const fs::path& dataFolder, const CalendarExportOptions& options) {
  PrepareCalendarLibrary();
  CalendarExport result;
  const CalendarZone zone(options.zoneName);
  const time_t now = options.stamp != 0 ? time_t(options.stamp) : std::time(nullptr);
  const icaltimetype stamp = icaltime_from_timet_with_zone(now, 0, icaltimezone_get_utc_timezone());

  icalcomponent* calendar = icalcomponent_new_vcalendar();
  icalcomponent_add_property(calendar, icalproperty_new_prodid(kProductId));
  icalcomponent_add_property(calendar, icalproperty_new_version("2.0"));
  icalcomponent_add_property(calendar, icalproperty_new_calscale("GREGORIAN"));

  std::vector<icalcomponent*> events;
  bool timed = false;
  auto store = std::make_unique<ScheduleStore>();
  std::map<std::u16string, int> seen;  // identical records get their own UIDs
  for (const ScheduleFile& file : ScheduleFiles(dataFolder)) {
    ClearScheduleStore(store.get());
    LoadLevel(file.level, file.year, file.month, file.day, dataFolder, store.get());
    const int count = store->counts[int(file.level)];
    const ScheduleRecord* records = LevelRecords(store.get(), file.level);
    for (int i = 0; i < count; ++i) {
      const ScheduleRecord& r = records[i];
      const int repeat = seen[FormatScheduleLine(r)]++;
      // Outside the range: left out.  Records that fall on no day at all are listed.
      if (!RecordOccurrences(r, 1).empty() && !Touches(r, options.from, options.to)) continue;
      std::u16string reason;
      icalcomponent* event = EventOf(r, UidOf(r, repeat), stamp, zone, &reason);
      if (event == nullptr) {
        result.skipped.push_back({RecordLabel(r), reason});
        continue;
      }
      timed = timed || !IsAllDayRecord(r);
      events.push_back(event);
      ++result.schedules;
    }
  }
  // The zone goes before the events that name it.
  if (icalcomponent* vtimezone = timed ? zone.NewTimezoneComponent() : nullptr) {
    icalcomponent_add_component(calendar, vtimezone);
  }
  for (icalcomponent* event : events) icalcomponent_add_component(calendar, event);
  if (options.holidays) AddHolidays(calendar, dataFolder, options, stamp, &result);
  char* text = icalcomponent_as_ical_string_r(calendar);
  result.text = text != nullptr ? text : "";
  icalmemory_free_buffer(text);
  icalcomponent_free(calendar);
  return result;
}

bool WriteCalendarFile(const fs::path& file, std::string_view text) {
  return ReplaceFileAtomically(file, text);
}

std::u16string ExportReportText(const CalendarExport& result) {
  std::u16string text = FormatCount(u"%d件の予定", result.schedules);
  if (result.holidays > 0) text += FormatCount(u"と%d日の休日", result.holidays);
  text += u"を書き出しました。";
  AppendNotes(&text, u"書き出せなかった予定", result.skipped);
  return text;
}

}  // namespace yk
