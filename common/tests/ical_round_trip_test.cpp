// Export, then import into an empty data folder: the same files, byte for byte, for every
// record kind and in every way of naming times; and the exported file read back by
// libical gives the occurrences the organizer shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ical_exchange.h"
#include "common/ical_time.h"
#include "common/schedule_occurrences.h"
#include "common/schedule_store.h"
#include "common/tests/ical_test_support.h"
#include "common/tests/store_test_support.h"
#include "platform/text_codec.h"

namespace yk {
namespace {

using testing::FolderFiles;
using testing::MakeRecord;
using testing::TempFolder;

std::u16string LongText() {
  std::u16string text;
  while (text.size() < 1023) text += u"長い予定、";
  text.resize(1023);
  return text;
}

// Every kind the edit dialog makes, at each level of the tree, and the corners of each.
std::vector<ScheduleRecord> EveryKind() {
  return {
      MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"終日"),
      MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u"会議"),
      MakeRecord(2004, 5, 7, 0, 10, 2004, 5, 7, 0, 40, -1, u"just after midnight"),
      MakeRecord(2004, 5, 7, 9, 0, 2004, 5, 7, 9, 0, -1, u"no length"),
      MakeRecord(2004, 5, 1, 0, 0, 2004, 5, 3, 0, 0, -1, u"three days"),
      MakeRecord(2004, 4, 30, 18, 0, 2004, 5, 2, 9, 0, -1, u"over a month end"),
      MakeRecord(2004, 12, 31, 22, 0, 2005, 1, 1, 2, 0, -1, u"over the new year"),
      MakeRecord(2004, 6, 1, 10, 0, 2004, 6, 3, 11, 0, -2, u"every day"),
      MakeRecord(2004, 6, 1, 0, 0, 2004, 6, 20, 0, 0, -2, u"every day, all day"),
      MakeRecord(2004, 6, 1, 23, 0, 2004, 6, 5, 1, 0, -2, u"every night"),
      MakeRecord(2004, 6, 1, 9, 0, 2004, 6, 30, 10, 0, 3, u"Wednesdays from a Tuesday"),
      MakeRecord(2004, 6, 2, 0, 0, 2004, 7, 31, 0, 0, 0, u"Sundays, to a Saturday"),
      MakeRecord(2003, 53, 5, 0, 0, 2006, 55, 10, 0, 0, -1, u"毎年"),
      MakeRecord(2004, 53, 5, 9, 0, 2004, 53, 5, 10, 0, -1, u"every year, one day"),
      MakeRecord(2003, 52, 29, 0, 0, 2010, 52, 29, 0, 0, -1, u"29 February"),
      MakeRecord(2003, 3, 55, 9, 0, 2006, 5, 60, 17, 0, -1, u"毎月"),
      MakeRecord(2004, 4, 81, 0, 0, 2004, 12, 81, 0, 0, -1, u"the 31st from April"),
      MakeRecord(2003, 53, 55, 0, 0, 2006, 55, 60, 0, 0, -1, u"毎年毎月"),
      MakeRecord(2004, 3, 55, 9, 0, 2004, 5, 60, 10, 0, -2, u"every month, daily times"),
      MakeRecord(2004, 53, 5, 9, 0, 2005, 55, 10, 10, 0, 4, u"every year, a weekday"),
      MakeRecord(1975, 1, 1, 0, 0, 1975, 1, 1, 0, 0, -1, u"the first day"),
      MakeRecord(2036, 12, 31, 23, 0, 2036, 12, 31, 23, 59, -1, u"the last minute"),
      MakeRecord(2004, 5, 8, 0, 0, 2004, 5, 8, 0, 0, -1, u"二行__TVRET__三行__TVRET__"),
      MakeRecord(2004, 5, 8, 0, 0, 2004, 5, 8, 0, 0, -1, u"a, b; c\\d (e) \"f\" 😀"),
      MakeRecord(2004, 5, 8, 0, 0, 2004, 5, 8, 0, 0, -1, u""),
      MakeRecord(2004, 5, 8, 0, 0, 2004, 5, 8, 0, 0, -1, LongText()),
      MakeRecord(2004, 5, 9, 8, 0, 2004, 5, 9, 9, 0, -1, u"twice"),
      MakeRecord(2004, 5, 9, 8, 0, 2004, 5, 9, 9, 0, -1, u"twice"),
  };
}

TEST(IcalRoundTrip, EveryKindComesBackByteForByte) {
  for (const char* zone : {testing::kTokyo, "", "UTC", "Europe/Berlin"}) {
    SCOPED_TRACE(std::string("zone ") + zone);
    TempFolder original, copy;
    testing::AddRecords(original.path(), EveryKind());
    CalendarExportOptions options;
    options.zoneName = zone;
    const CalendarExport exported = ExportCalendar(original.path(), options);
    EXPECT_EQ(exported.schedules, int(EveryKind().size()));
    EXPECT_TRUE(exported.skipped.empty());

    const CalendarImportPlan plan = testing::ImportInto(exported.text, copy.path(), zone);
    EXPECT_EQ(plan.single, int(EveryKind().size()));
    EXPECT_EQ(plan.expanded, 0);
    EXPECT_TRUE(plan.skipped.empty()) << platform::Utf16ToUtf8(ImportReportText(plan, false));
    EXPECT_EQ(FolderFiles(copy.path()), FolderFiles(original.path()));

    const CalendarImportPlan again = testing::ImportInto(exported.text, copy.path(), zone);
    EXPECT_TRUE(again.records.empty());
    EXPECT_EQ(FolderFiles(copy.path()), FolderFiles(original.path()));
  }
}

// The file as another program reads it: libical's own expansion of each exported event
// gives the dates the organizer shows the record on.
TEST(IcalRoundTrip, AnotherReaderSeesTheSameDays) {
  for (const ScheduleRecord& record : EveryKind()) {
    SCOPED_TRACE(platform::Utf16ToUtf8(RecordText(record)));
    TempFolder folder;
    testing::AddRecords(folder.path(), {record});
    CalendarExportOptions options;
    options.zoneName = testing::kTokyo;
    const std::string text = ExportCalendar(folder.path(), options).text;
    icalcomponent* calendar = icalparser_parse_string(text.c_str());
    ASSERT_NE(calendar, nullptr);
    icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
    ASSERT_NE(event, nullptr);
    const icaltimetype start = icalcomponent_get_dtstart(event);
    std::vector<YearMonthDay> days;
    icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
    if (rule == nullptr) {
      days.push_back({start.year, start.month, start.day});
    } else {
      icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(rule), start);
      for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t);
           t = icalrecur_iterator_next(it)) {
        days.push_back({t.year, t.month, t.day});
      }
      icalrecur_iterator_free(it);
    }
    icalcomponent_free(calendar);
    std::vector<YearMonthDay> expected;
    for (const Occurrence& o : RecordOccurrences(record, 100000)) expected.push_back(o.start.date);
    EXPECT_EQ(days, expected);
  }
}

}  // namespace
}  // namespace yk
