// Exporting: the properties each record kind becomes, in each way of naming times, the
// UIDs, the range, the holidays, and what no calendar could show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/holiday.h"
#include "common/ical_exchange.h"
#include "common/tests/ical_test_support.h"
#include "common/tests/store_test_support.h"
#include "platform/text_codec.h"

namespace yk {
namespace {

using testing::MakeRecord;
using testing::TempFolder;

CalendarExport ExportOf(const std::vector<ScheduleRecord>& records, const char* zone,
                        CalendarExportOptions options = {}) {
  TempFolder folder;
  testing::AddRecords(folder.path(), records);
  options.zoneName = zone;
  options.stamp = 1083888000;  // 2004-05-07 00:00 UTC
  return ExportCalendar(folder.path(), options);
}

// The file with its folds undone, so that a test can look for whole properties.
std::string Unfolded(std::string text) {
  for (std::size_t at; (at = text.find("\r\n ")) != std::string::npos;) text.erase(at, 3);
  return text;
}

TEST(IcalExport, EachKindBecomesItsProperties) {
  const struct {
    const char* what;
    ScheduleRecord record;
    const char* zone;
    std::vector<std::string> has;     // whole lines of the unfolded file
    std::vector<std::string> hasNot;  // text that must not appear
  } cases[] = {
      {"all day: DATE values, DTEND the day after",
       MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"休み"),
       testing::kTokyo,
       {"DTSTART;VALUE=DATE:20040507", "DTEND;VALUE=DATE:20040508", "SUMMARY:休み"},
       {"VTIMEZONE", "RRULE"}},
      {"timed in the local zone with its VTIMEZONE",
       MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u"会議"),
       testing::kTokyo,
       {"BEGIN:VTIMEZONE", "TZID:Asia/Tokyo", "DTSTART;TZID=Asia/Tokyo:20040507T100000",
        "DTEND;TZID=Asia/Tokyo:20040507T113000"},
       {"freeassociation"}},
      {"floating when the zone is unknown",
       MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u"x"),
       "",
       {"DTSTART:20040507T100000", "DTEND:20040507T113000"},
       {"VTIMEZONE", "TZID"}},
      {"UTC times when the zone is UTC",
       MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u"x"),
       "UTC",
       {"DTSTART:20040507T100000Z"},
       {"VTIMEZONE"}},
      {"a span over days",
       MakeRecord(2004, 4, 30, 18, 0, 2004, 5, 2, 9, 0, -1, u"x"),
       testing::kTokyo,
       {"DTSTART;TZID=Asia/Tokyo:20040430T180000", "DTEND;TZID=Asia/Tokyo:20040502T090000"},
       {}},
      {"every day: DAILY until the end of the last day (in UTC)",
       MakeRecord(2004, 6, 1, 10, 0, 2004, 6, 3, 11, 0, -2, u"x"),
       testing::kTokyo,
       {"DTEND;TZID=Asia/Tokyo:20040601T110000", "RRULE:FREQ=DAILY;UNTIL=20040603T145959Z"},
       {}},
      {"a weekday: WEEKLY from the first one, the stored start kept",
       MakeRecord(2004, 6, 1, 0, 0, 2004, 6, 30, 0, 0, 3, u"x"),
       testing::kTokyo,
       {"DTSTART;VALUE=DATE:20040602", "RRULE:FREQ=WEEKLY;UNTIL=20040630;BYDAY=WE",
        "X-YOMITOKI-START:20040601"},
       {}},
      {"every year",
       MakeRecord(2003, 53, 5, 0, 0, 2006, 55, 10, 0, 0, -1, u"x"),
       testing::kTokyo,
       {"DTSTART;VALUE=DATE:20030305", "DTEND;VALUE=DATE:20030511",
        "RRULE:FREQ=YEARLY;UNTIL=20060510"},
       {"X-YOMITOKI"}},
      {"every month",
       MakeRecord(2003, 3, 55, 9, 0, 2006, 5, 60, 17, 0, -1, u"x"),
       "",
       {"DTSTART:20030305T090000", "DTEND:20030310T170000",
        "RRULE:FREQ=MONTHLY;UNTIL=20060510T235959"},
       {}},
      {"both marks: the months listed",
       MakeRecord(2003, 53, 55, 0, 0, 2006, 55, 60, 0, 0, -1, u"x"),
       testing::kTokyo,
       {"RRULE:FREQ=MONTHLY;UNTIL=20060510;BYMONTH=3,4,5"},
       {}},
      {"a marked record keeps its period",
       MakeRecord(2004, 3, 55, 9, 0, 2004, 5, 60, 10, 0, -2, u"x"),
       "",
       {"X-YOMITOKI-PERIOD:-2"},
       {}},
      {"line breaks and the characters iCalendar escapes",
       MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"a, b; c\\d__TVRET__二行目"),
       testing::kTokyo,
       {"SUMMARY:a\\, b\\; c\\\\d\\n二行目"},
       {"TVRET"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const CalendarExport result = ExportOf({c.record}, c.zone);
    EXPECT_EQ(result.schedules, 1);
    const std::string text = "\r\n" + Unfolded(result.text);
    for (const std::string& line : c.has) {
      EXPECT_NE(text.find("\r\n" + line + "\r\n"), std::string::npos) << line << "\n" << text;
    }
    for (const std::string& part : c.hasNot) {
      EXPECT_EQ(text.find(part), std::string::npos) << part << "\n" << text;
    }
  }
}

// Lines end in CR LF and are folded within 75 octets, never inside a character; every
// event has a UID and a DTSTAMP; the zone comes before the events.
TEST(IcalExport, TheFileIsWellFormed) {
  std::u16string longText;
  for (int i = 0; i < 300; ++i) longText += u"予定";
  const CalendarExport result =
      ExportOf({MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, longText),
                MakeRecord(2004, 5, 8, 0, 0, 2004, 5, 8, 0, 0, -1, u"x")},
               testing::kTokyo);
  const std::string& text = result.text;
  ASSERT_FALSE(text.empty());
  EXPECT_TRUE(text.starts_with("BEGIN:VCALENDAR\r\n"));
  EXPECT_TRUE(text.ends_with("END:VCALENDAR\r\n"));
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LE(end - at, 75u);
    EXPECT_EQ(text.find('\n', at), end + 1) << "a bare LF";
    at = end + 2;
  }
  EXPECT_TRUE(platform::Utf8ToUtf16(text).find(u'\uFFFD') == std::u16string::npos);
  const std::string unfolded = Unfolded(text);
  std::size_t events = 0, uids = 0, stamps = 0;
  for (std::size_t at = 0; (at = unfolded.find("BEGIN:VEVENT", at)) != std::string::npos; ++at) {
    ++events;
  }
  for (std::size_t at = 0; (at = unfolded.find("\r\nUID:", at)) != std::string::npos; ++at) ++uids;
  for (std::size_t at = 0;
       (at = unfolded.find("\r\nDTSTAMP:20040507T000000Z", at)) != std::string::npos; ++at) {
    ++stamps;
  }
  EXPECT_EQ(events, 2u);
  EXPECT_EQ(uids, 2u);
  EXPECT_EQ(stamps, 2u);
  EXPECT_LT(unfolded.find("BEGIN:VTIMEZONE"), unfolded.find("BEGIN:VEVENT"));
  EXPECT_NE(unfolded.find("SUMMARY:" + platform::Utf16ToUtf8(longText) + "\r\n"),
            std::string::npos);
}

std::vector<std::string> Uids(const std::string& text) {
  std::vector<std::string> uids;
  for (std::size_t at = 0; (at = text.find("\r\nUID:", at)) != std::string::npos;) {
    at += 6;
    uids.push_back(text.substr(at, text.find("\r\n", at) - at));
  }
  return uids;
}

TEST(IcalExport, UidsAreStableAndDistinct) {
  const ScheduleRecord a = MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"a");
  const ScheduleRecord b = MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"b");
  const std::vector<std::string> first = Uids(ExportOf({a, b, a}, testing::kTokyo).text);
  const std::vector<std::string> again = Uids(ExportOf({a, b, a}, testing::kTokyo).text);
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first, again);
  EXPECT_NE(first[0], first[1]);
  EXPECT_NE(first[0], first[2]) << "two equal records share a UID";
  const std::vector<std::string> alone = Uids(ExportOf({b}, testing::kTokyo).text);
  EXPECT_EQ(alone, std::vector<std::string>{first[1]}) << "a UID depends on the other records";
}

TEST(IcalExport, OnlyRecordsThatTouchTheRange) {
  CalendarExportOptions june;
  june.from = {2004, 6, 1};
  june.to = {2004, 6, 30};
  const CalendarExport result =
      ExportOf({MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"May"),
                MakeRecord(2004, 5, 30, 0, 0, 2004, 6, 1, 0, 0, -1, u"into June"),
                MakeRecord(2004, 6, 15, 9, 0, 2004, 6, 15, 10, 0, -1, u"June"),
                MakeRecord(2003, 56, 10, 0, 0, 2006, 56, 10, 0, 0, -1, u"every 10 June"),
                MakeRecord(2003, 57, 10, 0, 0, 2006, 57, 10, 0, 0, -1, u"every 10 July")},
               testing::kTokyo, june);
  EXPECT_EQ(result.schedules, 3);
  for (const char* summary : {"SUMMARY:into June", "SUMMARY:June", "SUMMARY:every 10 June"}) {
    EXPECT_NE(result.text.find(std::string(summary) + "\r\n"), std::string::npos) << summary;
  }
}

TEST(IcalExport, HolidaysAsAllDayEventsOfTheirCategory) {
  TempFolder folder;
  HolidayTable table{};
  HolidayEntry golden{};
  golden.month = 5;
  golden.day = 5;
  golden.weekday = -1;
  golden.colour = kHolidayRed;
  SetHolidayName(&golden, u"こどもの日");
  table.entries[0] = golden;
  table.count = 1;
  ASSERT_TRUE(SaveHolidays(2004, folder.path(), table));
  ASSERT_TRUE(SaveHolidays(2005, folder.path(), table));
  CalendarExportOptions options;
  options.from = {2004, 1, 1};
  options.to = {2004, 12, 31};
  options.holidays = true;
  options.zoneName = testing::kTokyo;
  const CalendarExport result = ExportCalendar(folder.path(), options);
  EXPECT_EQ(result.holidays, 1);
  const std::string text = Unfolded(result.text);
  for (const char* line :
       {"UID:holiday-20040505@yomitoki", "DTSTART;VALUE=DATE:20040505", "DTEND;VALUE=DATE:20040506",
        "SUMMARY:こどもの日", "CATEGORIES:HOLIDAY"}) {
    EXPECT_NE(text.find(std::string(line) + "\r\n"), std::string::npos) << line;
  }
  options.holidays = false;
  EXPECT_EQ(ExportCalendar(folder.path(), options).text.find("HOLIDAY"), std::string::npos);
}

TEST(IcalExport, RecordsNoCalendarCouldShowAreListed) {
  TempFolder folder;
  testing::WriteBytes(folder.path() / "2004" / "4" / "sched.txt",
                      testing::Le(u"(2004,04,31,00,00 2004,05,02,00,00 -1)(no such day)\r\n"
                                  u"(2004,04,01,00,00 2004,04,02,00,00 -1)(fine)\r\n"));
  testing::WriteBytes(folder.path() / "2004" / "6" / "1" / "sched.txt",
                      testing::Le(u"(2004,06,01,09,00 2004,06,01,10,00 03)(no Wednesday)\r\n"));
  CalendarExportOptions options;
  options.zoneName = testing::kTokyo;
  const CalendarExport result = ExportCalendar(folder.path(), options);
  EXPECT_EQ(result.schedules, 1);
  ASSERT_EQ(result.skipped.size(), 2u);
  EXPECT_EQ(result.skipped[0].what, u"2004/4/31 no such day");
  EXPECT_EQ(result.skipped[0].reason, u"日付か時刻が正しくありません");
  EXPECT_EQ(result.skipped[1].reason, u"該当する日がありません");
  EXPECT_NE(ExportReportText(result).find(u"書き出せなかった予定（2件）"), std::u16string::npos);
}

}  // namespace
}  // namespace yk
