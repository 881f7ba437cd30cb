// ical_import.cpp — an iCalendar file read whole into a plan of records, then added.
#include <strings.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

#include "common/ical_exchange.h"
#include "common/ical_text.h"
#include "common/ical_time.h"
#include "common/schedule_occurrences.h"
#include "common/schedule_store.h"
#include "platform/text_codec.h"

namespace yk {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxRuleOccurrences = 25000;  // every day of 1975..2036 is 22,646
constexpr long kMaxRuleSteps = 400000;              // a rule is given up after so many
constexpr char16_t kReplacement = 0xFFFD;

constexpr std::u16string_view kTooLargeError = u"ファイルが大きすぎます（32MBまで）";
constexpr std::u16string_view kUnreadableError = u"ファイルを読み込めませんでした";
constexpr std::u16string_view kNotCalendarError = u"iCalendarファイルとして読めませんでした";
constexpr std::u16string_view kNoEventsError = u"ファイルに予定（VEVENT）がありません";

constexpr std::u16string_view kNoStartReason = u"開始日時がないか、正しくありません";
constexpr std::u16string_view kOutOfRangeReason = u"1975年～2036年の範囲外です";
constexpr std::u16string_view kCancelledReason = u"取り消された予定です";
constexpr std::u16string_view kHolidayReason = u"休日データです（予定としては取り込みません）";
constexpr std::u16string_view kTooManyReason = u"繰り返しが多すぎます（1000件を超えます）";
constexpr std::u16string_view kBadRuleReason = u"繰り返しの規則が読めません";
constexpr std::u16string_view kCutReason = u"内容が1023文字を超えるため切り詰めました";
constexpr std::u16string_view kCp932Reason = u"UTF-8ではないためShift_JISとして読みました";
constexpr std::u16string_view kRepairedReason =
    u"UTF-8として読めない文字を「\uFFFD」に置き換えました";
constexpr std::u16string_view kLevelFullReasons[] = {
    u"年をまたぐスケジュールが300件に達しています",
    u"月をまたぐスケジュールが300件に達しています",
    u"日をまたぐスケジュールが300件に達しています",
    u"その日のスケジュールが50件に達しています",
};

// ---- bytes to text ------------------------------------------------------------------------

// The length of the valid UTF-8 sequence at `at`, or 0.
std::size_t Utf8SequenceAt(std::string_view s, std::size_t at) {
  const auto byte = [&](std::size_t i) { return i < s.size() ? uint8_t(s[i]) : 0; };
  const uint8_t b0 = byte(at);
  auto continuation = [&](std::size_t i) { return (byte(i) & 0xC0) == 0x80; };
  if (b0 < 0x80) return 1;
  if (b0 >= 0xC2 && b0 <= 0xDF) return continuation(at + 1) ? 2 : 0;
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    const uint8_t b1 = byte(at + 1);
    if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 > 0x9F)) return 0;
    return continuation(at + 1) && continuation(at + 2) ? 3 : 0;
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    const uint8_t b1 = byte(at + 1);
    if ((b0 == 0xF0 && b1 < 0x90) || (b0 == 0xF4 && b1 > 0x8F)) return 0;
    return continuation(at + 1) && continuation(at + 2) && continuation(at + 3) ? 4 : 0;
  }
  return 0;
}

// The file as UTF-8 for the parser: UTF-8 as it is; else Shift_JIS when it reads as that
// without a flaw; else UTF-8 with each broken sequence as U+FFFD.  NUL bytes are dropped
// (the parser reads C strings).  A note tells the user when it wasn't plain UTF-8.
std::string CalendarText(std::string_view bytes, CalendarImportPlan* plan) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::string text;
  text.reserve(bytes.size());
  bool broken = false;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = Utf8SequenceAt(bytes, at);
    if (length == 0) {
      broken = true;
      text += "\xEF\xBF\xBD";
      ++at;
    } else {
      if (bytes[at] != '\0') text.append(bytes.substr(at, length));
      at += length;
    }
  }
  if (!broken) return text;
  const std::u16string sjis = platform::Cp932ToUtf16(bytes);
  if (sjis.find(kReplacement) == std::u16string::npos) {
    plan->changed.push_back({u"", std::u16string(kCp932Reason)});
    std::string converted = platform::Utf16ToUtf8(sjis);
    std::erase(converted, '\0');
    return converted;
  }
  plan->changed.push_back({u"", std::u16string(kRepairedReason)});
  return text;
}

// ---- one event ---------------------------------------------------------------------------

std::u16string Utf16Of(const char* text) {
  return text != nullptr ? platform::Utf8ToUtf16(text) : std::u16string();
}

// SUMMARY, then LOCATION and DESCRIPTION on lines of their own.
std::u16string EventText(icalcomponent* event) {
  std::u16string text = Utf16Of(icalcomponent_get_summary(event));
  for (const char* part :
       {icalcomponent_get_location(event), icalcomponent_get_description(event)}) {
    const std::u16string more = Utf16Of(part);
    if (more.empty() || more == text) continue;
    if (!text.empty()) text += u'\n';
    text += more;
  }
  return text;
}

// A stored text cut to the record's 1023 characters, never inside a stored line break or
// a surrogate pair.
std::u16string CutStoredText(std::u16string text) {
  std::size_t cut = std::size_t(kMaxScheduleTextLength);
  const std::size_t escape = text.rfind(kStoredLineBreak, cut - 1);
  if (escape != std::u16string::npos && escape + kStoredLineBreak.size() > cut) cut = escape;
  if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
  text.resize(cut);
  return text;
}

// A time property's value with the zone its TZID names (from the file, or libical's own).
icaltimetype TimeOf(icalproperty* property, icalcomponent* calendar) {
  icalvalue* value = icalproperty_get_value(property);
  if (value == nullptr) return icaltime_null_time();
  icaltimetype t = icaltime_null_time();
  switch (icalvalue_isa(value)) {
    case ICAL_DATE_VALUE:
      t = icalvalue_get_date(value);
      break;
    case ICAL_DATETIME_VALUE:
      t = icalvalue_get_datetime(value);
      break;
    case ICAL_DATETIMEPERIOD_VALUE: {
      const icaldatetimeperiodtype period = icalvalue_get_datetimeperiod(value);
      t = icaltime_is_null_time(period.time) ? period.period.start : period.time;
      break;
    }
    case ICAL_PERIOD_VALUE:
      t = icalvalue_get_period(value).start;
      break;
    default:
      return icaltime_null_time();
  }
  if (icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) {
    const char* name = icalparameter_get_tzid(tzid);
    icaltimezone* zone = name != nullptr ? icalcomponent_get_timezone(calendar, name) : nullptr;
    if (zone == nullptr && name != nullptr) zone = icaltimezone_get_builtin_timezone(name);
    if (zone != nullptr && !t.is_date) t.zone = zone;
  }
  return t;
}

// Whether an instance starting at `t` is the one `other` names (a date names the day).
bool SameInstance(const icaltimetype& t, const icaltimetype& other) {
  if (other.is_date || t.is_date) {
    return t.year == other.year && t.month == other.month && t.day == other.day;
  }
  return icaltime_compare(t, other) == 0;
}

struct EventShape {
  icaltimetype start;
  bool allDay = false;
  int days = 1;                 // all-day: the days each occurrence covers
  icaldurationtype duration{};  // timed: from start to end
};

Occurrence OccurrenceAt(const icaltimetype& instance, const EventShape& shape,
                        const CalendarZone& zone) {
  if (shape.allDay) {
    const YearMonthDay day{instance.year, instance.month, instance.day};
    return {{day, 0}, {AddDays(day, shape.days - 1), 0}, true};
  }
  const LocalMoment start = zone.ToLocal(instance);
  LocalMoment end = zone.ToLocal(icaltime_add(instance, shape.duration));
  if (end < start) end = start;
  // Midnight to midnight is how many programs write whole days.
  if (start.minutes == 0 && end.minutes == 0 && end.date > start.date) {
    return {start, {AddDays(end.date, -1), 0}, true};
  }
  return {start, end, false};
}

bool InOrganizerYears(const YearMonthDay& date) {
  return date.year >= kFirstYear && date.year <= kLastYear;
}

// A date of the calendar and a time of the day (libical takes "20040160" for a date).
bool ValidMoment(const LocalMoment& moment) {
  return IsValidDate(moment.date.year, moment.date.month, moment.date.day) && moment.minutes >= 0 &&
         moment.minutes < 24 * 60;
}

bool OccurrenceBefore(const Occurrence& a, const Occurrence& b) {
  if (a.start != b.start) return a.start < b.start;
  if (a.end != b.end) return a.end < b.end;
  return a.allDay < b.allDay;
}

ScheduleRecord RecordOf(const YearMonthDay& start, const YearMonthDay& end, int period,
                        const Occurrence& times, std::u16string_view text) {
  ScheduleRecord r{};
  r.startYear = start.year;
  r.startMonth = start.month;
  r.startDay = start.day;
  r.endYear = end.year;
  r.endMonth = end.month;
  r.endDay = end.day;
  if (!times.allDay) {
    r.startHour = times.start.minutes / 60;
    r.startMinute = times.start.minutes % 60;
    r.endHour = times.end.minutes / 60;
    r.endMinute = times.end.minutes % 60;
  }
  r.period = period;
  SetRecordText(&r, text);
  return r;
}

// Whether the records together cover exactly `occurrences` (sorted), all within the
// organizer's years.
bool CoverExactly(const std::vector<ScheduleRecord>& records,
                  const std::vector<Occurrence>& occurrences) {
  std::vector<Occurrence> covered;
  for (const ScheduleRecord& r : records) {
    if (KindOf(r) == RecordKind::kInvalid || r.startYear < kFirstYear || r.endYear > kLastYear) {
      return false;
    }
    for (const Occurrence& o : RecordOccurrences(r, occurrences.size() + 1)) covered.push_back(o);
    if (covered.size() > occurrences.size()) return false;
  }
  std::sort(covered.begin(), covered.end(), OccurrenceBefore);
  return covered == occurrences;
}

bool HasAny(const short* list) {
  return list[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

// The records of one repeating kind that could stand for the rule, for each plausible
// range (the stored start and the rule's end as written, or its first and last
// occurrence).  The caller keeps the first that covers the occurrences exactly.
std::vector<std::vector<ScheduleRecord>> Candidates(const icalrecurrencetype& rule,
                                                    const std::vector<Occurrence>& occurrences,
                                                    std::optional<YearMonthDay> until,
                                                    std::optional<YearMonthDay> storedStart,
                                                    std::u16string_view text) {
  std::vector<std::vector<ScheduleRecord>> out;
  if (rule.interval > 1 || HasAny(rule.by_second) || HasAny(rule.by_minute) ||
      HasAny(rule.by_hour) || HasAny(rule.by_year_day) || HasAny(rule.by_week_no) ||
      HasAny(rule.by_set_pos)) {
    return out;
  }
  const Occurrence& first = occurrences.front();
  if (HasAny(rule.by_month_day) &&
      (rule.by_month_day[0] != first.start.date.day || HasAny(rule.by_month_day + 1))) {
    return out;
  }
  std::vector<int> weekdays;
  for (int i = 0; i < ICAL_BY_DAY_SIZE && rule.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
    if (icalrecurrencetype_day_position(rule.by_day[i]) != 0) return out;
    weekdays.push_back(int(icalrecurrencetype_day_day_of_week(rule.by_day[i])) -
                       ICAL_SUNDAY_WEEKDAY);
  }
  int firstMonth = 13, lastMonth = 0;
  for (int i = 0; i < ICAL_BY_MONTH_SIZE && rule.by_month[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
    firstMonth = std::min<int>(firstMonth, rule.by_month[i]);
    lastMonth = std::max<int>(lastMonth, rule.by_month[i]);
  }
  const bool monthList =
      lastMonth > 0 && (firstMonth != lastMonth || firstMonth != first.start.date.month);
  if (!weekdays.empty() && rule.freq != ICAL_WEEKLY_RECURRENCE) return out;

  std::vector<YearMonthDay> ends;
  if (until) ends.push_back(std::min(*until, YearMonthDay{kLastYear, 12, 31}));
  ends.push_back(occurrences.back().start.date);
  if (!until && rule.count == 0) ends.push_back({kLastYear, 12, 31});
  std::vector<YearMonthDay> starts;
  if (storedStart) starts.push_back(*storedStart);
  starts.push_back(first.start.date);

  const YearMonthDay firstEnd = first.end.date;
  for (const YearMonthDay& s : starts) {
    for (const YearMonthDay& e : ends) {
      std::vector<ScheduleRecord> records;
      switch (rule.freq) {
        case ICAL_DAILY_RECURRENCE:
          if (monthList) break;
          records.push_back(RecordOf(s, e, kPeriodEveryDay, first, text));
          break;
        case ICAL_WEEKLY_RECURRENCE:
          if (monthList) break;
          if (weekdays.empty()) {
            weekdays.push_back(
                WeekdayOf(first.start.date.year, first.start.date.month, first.start.date.day));
          }
          for (int w : weekdays) records.push_back(RecordOf(s, e, w, first, text));
          break;
        case ICAL_MONTHLY_RECURRENCE:
        case ICAL_YEARLY_RECURRENCE:
          if (monthList) {
            records.push_back(RecordOf(
                {s.year, WithRepeatMark(firstMonth, true), WithRepeatMark(s.day, true)},
                {e.year, WithRepeatMark(lastMonth, true), WithRepeatMark(firstEnd.day, true)},
                kPeriodContinuous, first, text));
          } else if (rule.freq == ICAL_MONTHLY_RECURRENCE) {
            records.push_back(RecordOf({s.year, s.month, WithRepeatMark(s.day, true)},
                                       {e.year, e.month, WithRepeatMark(firstEnd.day, true)},
                                       kPeriodContinuous, first, text));
          } else {
            records.push_back(RecordOf({s.year, WithRepeatMark(s.month, true), s.day},
                                       {e.year, WithRepeatMark(firstEnd.month, true), firstEnd.day},
                                       kPeriodContinuous, first, text));
          }
          break;
        default:
          break;
      }
      if (!records.empty()) out.push_back(std::move(records));
    }
  }
  return out;
}

// The value of the event's property `name` (one of the organizer's own), or null.
const char* ExtensionValue(icalcomponent* event, std::string_view name) {
  for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); p != nullptr;
       p = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
    const char* found = icalproperty_get_x_name(p);
    if (found != nullptr && name == found) return icalproperty_get_x(p);
  }
  return nullptr;
}

std::optional<YearMonthDay> StoredStartOf(icalcomponent* event) {
  const char* value = ExtensionValue(event, kCalendarStartExtension);
  if (value == nullptr) return std::nullopt;
  const std::string_view digits = value;
  if (digits.size() != 8 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const int number = std::stoi(std::string(digits));
  return YearMonthDay{number / 10000, number / 100 % 100, number % 100};
}

std::optional<int> StoredPeriodOf(icalcomponent* event) {
  const char* value = ExtensionValue(event, kCalendarPeriodExtension);
  for (int period = kPeriodEveryDay; value != nullptr && period <= kSaturday; ++period) {
    if (std::to_string(period) == value) return period;
  }
  return std::nullopt;
}

bool IsHoliday(icalcomponent* event) {
  for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_CATEGORIES_PROPERTY);
       p != nullptr; p = icalcomponent_get_next_property(event, ICAL_CATEGORIES_PROPERTY)) {
    const char* value = icalproperty_get_categories(p);
    if (value != nullptr && strcasecmp(value, kCalendarHolidayCategory) == 0) return true;
  }
  return false;
}

// What one event adds: records and how they came about, or the reason it adds nothing.
struct EventOutcome {
  std::vector<ScheduleRecord> records;
  bool expanded = false;
  std::u16string label;
  std::u16string skipReason;
  bool cut = false;
};

class EventReader {
 public:
  EventReader(icalcomponent* calendar, const CalendarZone& zone,
              const std::multimap<std::string, icaltimetype>& moved)
      : calendar_(calendar), zone_(zone), moved_(moved) {}

  EventOutcome Read(icalcomponent* event) const;

 private:
  // The occurrences within 1975..2036, sorted; false when the rule can't be followed.
  bool Occurrences(icalcomponent* event, const EventShape& shape, bool moved,
                   std::vector<Occurrence>* out, std::u16string* reason) const;

  icalcomponent* calendar_;
  const CalendarZone& zone_;
  const std::multimap<std::string, icaltimetype>& moved_;  // UID → moved instances
};

bool EventReader::Occurrences(icalcomponent* event, const EventShape& shape, bool moved,
                              std::vector<Occurrence>* out, std::u16string* reason) const {
  std::vector<icaltimetype> starts{shape.start};
  if (!moved) {
    long steps = 0;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
      icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(p), shape.start);
      if (it == nullptr) {
        *reason = kBadRuleReason;
        return false;
      }
      for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t);
           t = icalrecur_iterator_next(it)) {
        if (++steps > kMaxRuleSteps || starts.size() > kMaxRuleOccurrences) {
          icalrecur_iterator_free(it);
          *reason = kTooManyReason;
          return false;
        }
        if (t.year > kLastYear + 1) break;
        if (t.year >= kFirstYear - 1) starts.push_back(t);
      }
      icalrecur_iterator_free(it);
    }
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
      const icaltimetype t = TimeOf(p, calendar_);
      if (!icaltime_is_null_time(t) && t.year >= kFirstYear - 1 && t.year <= kLastYear + 1) {
        starts.push_back(t);
      }
    }
    std::vector<icaltimetype> removed;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
      removed.push_back(TimeOf(p, calendar_));
    }
    if (const char* uid = icalcomponent_get_uid(event)) {
      for (auto [it, end] = moved_.equal_range(uid); it != end; ++it) removed.push_back(it->second);
    }
    std::erase_if(starts, [&](const icaltimetype& t) {
      return std::any_of(removed.begin(), removed.end(),
                         [&](const icaltimetype& r) { return SameInstance(t, r); });
    });
  }
  for (const icaltimetype& t : starts) {
    const Occurrence o = OccurrenceAt(t, shape, zone_);
    if (ValidMoment(o.start) && ValidMoment(o.end) && InOrganizerYears(o.start.date) &&
        InOrganizerYears(o.end.date)) {
      out->push_back(o);
    }
  }
  std::sort(out->begin(), out->end(), OccurrenceBefore);
  out->erase(std::unique(out->begin(), out->end()), out->end());
  if (out->empty()) *reason = kOutOfRangeReason;
  return !out->empty();
}

EventOutcome EventReader::Read(icalcomponent* event) const {
  EventOutcome outcome;
  std::u16string text = LinesToStoredText(EventText(event));
  icalproperty* startProperty = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
  EventShape shape;
  shape.start = startProperty != nullptr ? TimeOf(startProperty, calendar_) : icaltime_null_time();
  const bool hasStart =
      !icaltime_is_null_time(shape.start) &&
      ValidMoment({{shape.start.year, shape.start.month, shape.start.day},
                   shape.start.is_date ? 0 : shape.start.hour * 60 + shape.start.minute}) &&
      shape.start.second >= 0 && shape.start.second <= 60;
  outcome.label =
      CalendarLabel(hasStart ? YearMonthDay{shape.start.year, shape.start.month, shape.start.day}
                             : YearMonthDay{},
                    StoredTextToLines(text));
  if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED) {
    outcome.skipReason = kCancelledReason;
    return outcome;
  }
  if (IsHoliday(event)) {
    outcome.skipReason = kHolidayReason;
    return outcome;
  }
  if (!hasStart) {
    outcome.skipReason = kNoStartReason;
    return outcome;
  }
  if (text.size() > std::size_t(kMaxScheduleTextLength)) {
    text = CutStoredText(std::move(text));
    outcome.cut = true;
  }
  shape.allDay = shape.start.is_date != 0;
  icalproperty* endProperty = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY);
  icalproperty* durationProperty = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY);
  const icaltimetype end =
      endProperty != nullptr ? TimeOf(endProperty, calendar_) : icaltime_null_time();
  if (shape.allDay) {
    if (!icaltime_is_null_time(end) && end.is_date) {
      shape.days = int(
          std::clamp<long>(DayNumber({end.year, end.month, end.day}) -
                               DayNumber({shape.start.year, shape.start.month, shape.start.day}),
                           1, 366L * (kLastYear - kFirstYear + 1)));
    } else if (durationProperty != nullptr) {
      const icaldurationtype d = icalproperty_get_duration(durationProperty);
      if (!d.is_neg) shape.days = std::clamp(int(d.days + 7 * d.weeks), 1, 366 * 62);
    }
  } else if (!icaltime_is_null_time(end) && !end.is_date) {
    shape.duration = icaltime_subtract(end, shape.start);
  } else if (durationProperty != nullptr) {
    shape.duration = icalproperty_get_duration(durationProperty);
  }
  if (shape.duration.is_neg) shape.duration = icaldurationtype_null_duration();

  const bool moved = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
  std::vector<Occurrence> occurrences;
  if (!Occurrences(event, shape, moved, &occurrences, &outcome.skipReason)) return outcome;

  // A repeating event: the one record kind that covers exactly its occurrences.
  std::vector<icalproperty*> rules;
  for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p != nullptr;
       p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
    rules.push_back(p);
  }
  if (!moved && rules.size() == 1) {
    const icalrecurrencetype rule = icalproperty_get_rrule(rules.front());
    std::optional<YearMonthDay> until;
    if (!icaltime_is_null_time(rule.until)) until = zone_.ToLocal(rule.until).date;
    for (std::vector<ScheduleRecord>& records :
         Candidates(rule, occurrences, until, StoredStartOf(event), text)) {
      if (!CoverExactly(records, occurrences)) continue;
      if (const std::optional<int> period = StoredPeriodOf(event)) {
        for (ScheduleRecord& r : records) {
          const RecordKind kind = KindOf(r);
          if (kind == RecordKind::kEveryYear || kind == RecordKind::kEveryMonth ||
              kind == RecordKind::kEveryYearMonth) {
            r.period = *period;
          }
        }
      }
      outcome.expanded = records.size() > 1;
      outcome.records = std::move(records);
      return outcome;
    }
  }
  // Anything else: one single record per occurrence.
  if (occurrences.size() > kMaxExpandedRecords) {
    outcome.skipReason = kTooManyReason;
    return outcome;
  }
  for (const Occurrence& o : occurrences) {
    outcome.records.push_back(RecordOf(o.start.date, o.end.date, kPeriodContinuous, o, text));
  }
  outcome.expanded = outcome.records.size() > 1;
  return outcome;
}

// The VCALENDARs of a parsed file (libical gathers several under an XROOT).
std::vector<icalcomponent*> CalendarsOf(icalcomponent* root) {
  if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) return {root};
  std::vector<icalcomponent*> calendars;
  if (icalcomponent_isa(root) != ICAL_XROOT_COMPONENT) return calendars;
  for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
       c != nullptr; c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
    calendars.push_back(c);
  }
  return calendars;
}

// Leaves out of the plan's records what is stored already and what the files can't hold,
// keeping the file order; `labels[eventOf[i]]` names the event of record i.  (Two equal
// events of one file are both added, as two equal records of one file are both exported.)
// The records are sorted out where they stand: an import may plan many thousands, and each
// record is some two kilobytes.
void Admit(const std::vector<std::u16string>& labels, const std::vector<std::size_t>& eventOf,
           const fs::path& dataFolder, CalendarImportPlan* plan) {
  auto store = std::make_unique<ScheduleStore>();
  ClearScheduleStore(store.get());
  std::map<fs::path, int> added;
  std::vector<ScheduleRecord>& records = plan->records;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const ScheduleRecord& record = records[i];
    if (ScheduleExists(dataFolder, record, store.get())) {
      ++plan->duplicates;
      continue;
    }
    // ScheduleExists has loaded the record's file into its level.
    const SpanLevel level = SpanLevelOf(record);
    int& pending = added[ScheduleFilePathOf(dataFolder, record)];
    if (store->counts[int(level)] + pending >= LevelCapacity(level)) {
      plan->skipped.push_back({labels[eventOf[i]], std::u16string(kLevelFullReasons[int(level)])});
      continue;
    }
    ++pending;
    if (kept != i) records[kept] = record;
    ++kept;
  }
  records.resize(kept);
}

}  // namespace

CalendarImportPlan PlanCalendarImport(std::string_view bytes, const fs::path& dataFolder,
                                      const CalendarImportOptions& options) {
  PrepareCalendarLibrary();
  CalendarImportPlan plan;
  if (bytes.size() > kMaxCalendarFileBytes) {
    plan.error = kTooLargeError;
    return plan;
  }
  const std::string text = CalendarText(bytes, &plan);
  icalcomponent* root = icalparser_parse_string(text.c_str());
  if (root == nullptr) {
    plan.error = kNotCalendarError;
    return plan;
  }
  const CalendarZone zone(options.zoneName);
  std::vector<std::u16string> labels;  // of the events that give records
  std::vector<std::size_t> eventOf;    // of each record planned: its label
  const std::vector<icalcomponent*> calendars = CalendarsOf(root);
  for (icalcomponent* calendar : calendars) {
    // Instances that an event of their own moves or cancels, by the UID they belong to.
    std::multimap<std::string, icaltimetype> moved;
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         e != nullptr; e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
      icalproperty* id = icalcomponent_get_first_property(e, ICAL_RECURRENCEID_PROPERTY);
      const char* uid = icalcomponent_get_uid(e);
      if (id != nullptr && uid != nullptr) moved.emplace(uid, TimeOf(id, calendar));
    }
    const EventReader reader(calendar, zone, moved);
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         e != nullptr; e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
      ++plan.events;
      EventOutcome outcome = reader.Read(e);
      if (!outcome.skipReason.empty()) {
        plan.skipped.push_back({outcome.label, outcome.skipReason});
        continue;
      }
      if (outcome.cut) plan.changed.push_back({outcome.label, std::u16string(kCutReason)});
      if (outcome.expanded) {
        ++plan.expanded;
        plan.expandedRecords += int(outcome.records.size());
      } else {
        ++plan.single;
      }
      labels.push_back(std::move(outcome.label));
      plan.records.insert(plan.records.end(), outcome.records.begin(), outcome.records.end());
      eventOf.resize(plan.records.size(), labels.size() - 1);
    }
  }
  icalcomponent_free(root);
  if (calendars.empty()) {
    plan.error = kNotCalendarError;
  } else if (plan.events == 0) {
    plan.error = kNoEventsError;
  }
  if (!plan.ok()) {
    plan.records.clear();
    plan.skipped.clear();
    plan.changed.clear();
    return plan;
  }
  Admit(labels, eventOf, dataFolder, &plan);
  return plan;
}

CalendarImportPlan PlanCalendarImportFile(const fs::path& file, const fs::path& dataFolder,
                                          const CalendarImportOptions& options) {
  CalendarImportPlan plan;
  std::error_code error;
  if (!fs::is_regular_file(file, error)) {
    plan.error = kUnreadableError;
    return plan;
  }
  const std::uintmax_t size = fs::file_size(file, error);
  if (error) {
    plan.error = kUnreadableError;
    return plan;
  }
  if (size > kMaxCalendarFileBytes) {
    plan.error = kTooLargeError;
    return plan;
  }
  std::ifstream in(file, std::ios::binary);
  std::string bytes(std::size_t(size), '\0');
  if (!in || !in.read(bytes.data(), std::streamsize(bytes.size()))) {
    plan.error = kUnreadableError;
    return plan;
  }
  return PlanCalendarImport(bytes, dataFolder, options);
}

bool ApplyCalendarImport(const CalendarImportPlan& plan, const fs::path& dataFolder,
                         ScheduleStore* store) {
  if (!plan.ok()) return false;
  return AddSchedules(dataFolder, plan.records, store);
}

std::u16string ImportReportText(const CalendarImportPlan& plan, bool done) {
  if (!plan.ok()) return plan.error;
  const long count = long(plan.records.size());
  std::u16string text =
      FormatCount(done ? u"%d件の予定を追加しました。" : u"%d件の予定を追加します。", count);
  text += FormatCount(u"\n\nファイルの予定：%d件", plan.events);
  if (plan.single > 0) text += FormatCount(u"\n・そのまま取り込む予定：%d件", plan.single);
  if (plan.expanded > 0) {
    text += FormatCount(u"\n・繰り返しを展開する予定：%d件", plan.expanded);
    text += FormatCount(u"（%d件の予定に）", plan.expandedRecords);
  }
  if (plan.duplicates > 0) {
    text += FormatCount(u"\n・既にあるため追加しない予定：%d件", plan.duplicates);
  }
  AppendNotes(&text, u"取り込まない予定", plan.skipped);
  AppendNotes(&text, u"注意", plan.changed);
  return text;
}

}  // namespace yk
