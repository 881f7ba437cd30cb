// holiday.cpp — reading, matching, writing and showing holiday entries.
#include "common/holiday.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/atomic_file.h"
#include "common/date_util.h"
#include "common/decimal_text.h"
#include "common/utf16_line_file.h"

namespace yk {
namespace {

constexpr std::size_t kMinLineLength = 27;
constexpr std::size_t kNameStart = 26;

void StoreName(HolidayEntry* entry, std::u16string_view name) {
  std::size_t length = std::min<std::size_t>(name.size(), kMaxHolidayNameLength);
  std::memcpy(entry->name, name.data(), length * sizeof(char16_t));
  std::fill(entry->name + length, entry->name + kHolidayNameUnits, u'\0');
}

// Parses into *entry, which may be partly written when the line doesn't parse.
bool ParseInto(std::u16string_view line, HolidayEntry* entry) {
  std::size_t open = line.find(u'(');
  if (open == std::u16string_view::npos) return false;
  std::u16string_view s = line.substr(open);
  if (s.size() < kMinLineLength || s[3] != u',' || s[25] != u',' || s[13] != u'(') return false;
  auto field = [s](std::size_t start) { return ReadDecimal(s.substr(start, 2)); };
  entry->startMonth = field(1);
  entry->startDay = field(4);
  entry->endMonth = field(7);
  entry->endDay = field(10);
  entry->month = field(14);
  entry->day = field(17);
  entry->weekday = field(20);
  entry->colour = field(23);
  std::u16string_view name = s.substr(kNameStart);
  if (!name.empty()) name.remove_suffix(1);  // the closing ")"
  StoreName(entry, name);
  return true;
}

bool RangeTestPasses(const HolidayEntry& e, int month, int day) {
  if (e.startDay == 0) return true;
  if (IsEveryMonth(e.startDay)) {
    return month >= e.startMonth && (e.endMonth == 0 || month <= e.endMonth) &&
           day >= e.startDay - kRepeatMark && (e.endDay == 0 || day <= e.endDay - kRepeatMark);
  }
  if (e.startMonth < month && month < e.endMonth) return true;
  if (month == e.startMonth && month == e.endMonth) return e.startDay <= day && day <= e.endDay;
  if (month == e.startMonth && e.startMonth < e.endMonth) return day >= e.startDay;
  if (month == e.endMonth && e.endMonth > e.startMonth) return day <= e.endDay;
  return false;
}

bool DayTestPasses(const HolidayEntry& e, int month, int day, int weekday) {
  if (IsEveryMonth(e.day)) return day == e.day - kRepeatMark;
  if (e.month == month && e.day == day) return true;
  return (e.weekday == -1 || e.weekday == weekday) && (e.month == month || e.month == 0) &&
         (e.day == day || e.day == 0);
}

std::u16string Ascii(const char* text) {
  std::u16string out;
  for (; *text != '\0'; ++text) out.push_back(static_cast<unsigned char>(*text));
  return out;
}

std::u16string Number(int value) {
  return Ascii(std::to_string(value).c_str());
}

constexpr std::u16string_view kWeekdayNames[7] = {u" 日曜", u" 月曜", u" 火曜", u" 水曜",
                                                  u" 木曜", u" 金曜", u" 土曜"};
constexpr std::u16string_view kTilde = u"\uFF5E";  // the full-width wave dash of the list

}  // namespace

std::filesystem::path HolidayFilePath(const std::filesystem::path& dataFolder, int year) {
  return dataFolder / (std::to_string(year) + "holiday.txt");
}

std::u16string_view HolidayName(const HolidayEntry& entry) {
  const char16_t* begin = entry.name;
  const char16_t* end = std::find(begin, begin + kHolidayNameUnits, u'\0');
  return std::u16string_view(begin, static_cast<std::size_t>(end - begin));
}

void SetHolidayName(HolidayEntry* entry, std::u16string_view name) {
  StoreName(entry, name);
}

int ReadHolidays(int year, const std::filesystem::path& dataFolder, HolidayTable* table,
                 bool force) {
  if (!force && table->loadedYear == year && year != 0) {
    return std::clamp<int32_t>(table->count, 0, kMaxHolidays);
  }
  int count = 0;
  bool opened = ForEachUtf16Line(HolidayFilePath(dataFolder, year), [&](std::u16string_view line) {
    if (ParseInto(line, &table->entries[count])) ++count;
    return count < kMaxHolidays;
  });
  // A year without a file has no holidays: the table must not go on showing the entries
  // of the year it held before (nor hand them to the editor to be saved under this year).
  table->loadedYear = year;
  table->count = opened ? count : 0;
  return table->count;
}

bool HolidayMatches(const HolidayEntry& entry, int month, int day, int weekday) {
  return RangeTestPasses(entry, month, day) && DayTestPasses(entry, month, day, weekday);
}

const HolidayEntry* FindHoliday(const HolidayTable& table, int month, int day, int weekday) {
  int count = std::clamp<int32_t>(table.count, 0, kMaxHolidays);
  for (int i = 0; i < count; ++i) {
    if (HolidayMatches(table.entries[i], month, day, weekday)) return &table.entries[i];
  }
  return nullptr;
}

bool ParseHolidayLine(std::u16string_view line, HolidayEntry* entry) {
  HolidayEntry parsed{};
  if (!ParseInto(line, &parsed)) return false;
  *entry = parsed;
  return true;
}

std::u16string WriteHolidayLine(const HolidayEntry& e) {
  const char* format = e.weekday >= 0 ? "(%.2d,%.2d %.2d,%.2d)(%.2d,%.2d,%.2d,%.2d,"
                                      : "(%.2d,%.2d %.2d,%.2d)(%.2d,%.2d,%.1d,%.2d,";
  char head[128];
  std::snprintf(head, sizeof head, format, e.startMonth, e.startDay, e.endMonth, e.endDay, e.month,
                e.day, e.weekday, e.colour);
  std::u16string line = Ascii(head);
  // A name is one line: a stray line break would split the entry in two.
  for (char16_t c : HolidayName(e)) line.push_back(c == u'\r' || c == u'\n' ? u' ' : c);
  line += u")\r\n";
  return line;
}

bool SaveHolidays(int year, const std::filesystem::path& dataFolder, const HolidayTable& table) {
  int count = std::clamp<int32_t>(table.count, 0, kMaxHolidays);
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += EncodeUtf16Le(WriteHolidayLine(table.entries[i]));
  return ReplaceFileAtomically(HolidayFilePath(dataFolder, year), bytes);
}

std::u16string HolidayDisplayText(const HolidayEntry& e) {
  std::u16string text = u"[";
  if (e.startDay == 0) {
    if (IsEveryMonth(e.day)) {
      text += u"毎月" + Number(e.day - kRepeatMark) + u"日";
    } else {
      text += Number(e.month) + u"/" + Number(e.day);
    }
  } else {
    if (IsEveryMonth(e.startDay)) {
      text += Number(e.startMonth) + std::u16string(kTilde) + Number(e.endMonth) + u"月 " +
              Number(e.startDay - kRepeatMark) + std::u16string(kTilde) +
              Number(e.endDay - kRepeatMark) + u"日";
    } else {
      text += Number(e.startMonth) + u"/" + Number(e.startDay) + std::u16string(kTilde) +
              Number(e.endMonth) + u"/" + Number(e.endDay);
    }
    if (e.weekday >= 0 && e.weekday <= 6) text += kWeekdayNames[e.weekday];
  }
  text += u"] ";
  text += HolidayName(e);
  return text;
}

}  // namespace yk
