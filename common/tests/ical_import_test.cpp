// Importing calendar files as other programs write them: the records each event becomes,
// what is expanded or skipped and why, a second import, and files that must change
// nothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/ical_exchange.h"
#include "common/schedule_store.h"
#include "common/tests/ical_test_support.h"
#include "common/tests/store_test_support.h"
#include "platform/testing/message_recorder.h"
#include "platform/text_codec.h"

namespace yk {
namespace {

using platform::testing::MessageRecorder;
using testing::CalendarOf;
using testing::FolderFiles;
using testing::ImportInto;
using testing::PlannedLines;
using testing::TempFolder;

// An Outlook-style zone of its own name, without daylight saving (as Windows writes Tokyo).
constexpr char kTokyoStandardTime[] =
    "BEGIN:VTIMEZONE\nTZID:Tokyo Standard Time\nBEGIN:STANDARD\nDTSTART:16010101T000000\n"
    "TZOFFSETFROM:+0900\nTZOFFSETTO:+0900\nEND:STANDARD\nEND:VTIMEZONE\n";
// New York as Outlook writes it (daylight saving from the second Sunday of March).
constexpr char kEasternTime[] =
    "BEGIN:VTIMEZONE\nTZID:Eastern Standard Time\nBEGIN:STANDARD\nDTSTART:16011104T020000\n"
    "RRULE:FREQ=YEARLY;BYDAY=1SU;BYMONTH=11\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\n"
    "END:STANDARD\nBEGIN:DAYLIGHT\nDTSTART:16010311T020000\n"
    "RRULE:FREQ=YEARLY;BYDAY=2SU;BYMONTH=3\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\n"
    "END:DAYLIGHT\nEND:VTIMEZONE\n";

struct Case {
  const char* what;
  std::string body;                    // inside VCALENDAR
  std::vector<std::string> lines;      // the records planned, in order
  int single = 0, expanded = 0;        // events taken as they are / expanded
  std::vector<std::string> skipped{};  // reasons, in order
};

std::string Event(const std::string& properties) {
  // Appended piece by piece: GCC 12 at -O3 misreads chains of + on strings (-Wrestrict).
  std::string event = "BEGIN:VEVENT\nUID:test-";
  event += std::to_string(std::hash<std::string>{}(properties));
  event += "\nDTSTAMP:20040101T000000Z\n";
  event += properties;
  event += "\nEND:VEVENT";
  return event;
}

TEST(IcalImport, FilesAsOtherProgramsWriteThem) {
  const Case cases[] = {
      {"an all-day date",
       Event("DTSTART;VALUE=DATE:20040507\nDTEND;VALUE=DATE:20040508\nSUMMARY:休み"),
       {"(2004,05,07,00,00 2004,05,07,00,00 -1)(休み)"},
       1},
      {"a multi-day all-day event: DTEND is the day after",
       Event("DTSTART;VALUE=DATE:20040503\nDTEND;VALUE=DATE:20040506\nSUMMARY:旅行"),
       {"(2004,05,03,00,00 2004,05,05,00,00 -1)(旅行)"},
       1},
      {"an all-day date without DTEND",
       Event("DTSTART;VALUE=DATE:20040507\nSUMMARY:x"),
       {"(2004,05,07,00,00 2004,05,07,00,00 -1)(x)"},
       1},
      {"TZID with its VTIMEZONE, the same offset as here",
       std::string(kTokyoStandardTime) +
           Event("DTSTART;TZID=Tokyo Standard Time:20040507T100000\n"
                 "DTEND;TZID=Tokyo Standard Time:20040507T113000\nSUMMARY:会議"),
       {"(2004,05,07,10,00 2004,05,07,11,30 -1)(会議)"},
       1},
      {"TZID with its VTIMEZONE: New York in summer is 13 hours behind",
       std::string(kEasternTime) +
           Event("DTSTART;TZID=Eastern Standard Time:20040507T090000\n"
                 "DTEND;TZID=Eastern Standard Time:20040507T100000\nSUMMARY:call"),
       {"(2004,05,07,22,00 2004,05,07,23,00 -1)(call)"},
       1},
      {"UTC times",
       Event("DTSTART:20040507T010000Z\nDTEND:20040507T023000Z\nSUMMARY:x"),
       {"(2004,05,07,10,00 2004,05,07,11,30 -1)(x)"},
       1},
      {"a UTC time past midnight here is the next day",
       Event("DTSTART:20040507T160000Z\nDURATION:PT1H\nSUMMARY:x"),
       {"(2004,05,08,01,00 2004,05,08,02,00 -1)(x)"},
       1},
      {"floating times are local",
       Event("DTSTART:20040507T100000\nSUMMARY:x"),
       {"(2004,05,07,10,00 2004,05,07,10,00 -1)(x)"},
       1},
      {"a zone name libical knows, without VTIMEZONE",
       Event(
           "DTSTART;TZID=Europe/Berlin:20040107T100000\nDTEND;TZID=Europe/Berlin:20040107T110000\n"
           "SUMMARY:x"),
       {"(2004,01,07,18,00 2004,01,07,19,00 -1)(x)"},
       1},
      {"midnight to midnight is a whole day",
       Event("DTSTART:20040507T000000\nDTEND:20040509T000000\nSUMMARY:x"),
       {"(2004,05,07,00,00 2004,05,08,00,00 -1)(x)"},
       1},
      {"folded lines, escaped commas, semicolons and line breaks",
       Event(
           "SUMMARY:会議\\, 打ち合わせ\\; 資料\\n二行目\\\\終\n わり\nDTSTART;VALUE=DATE:20040507"),
       {"(2004,05,07,00,00 2004,05,07,00,00 -1)(会議, 打ち合わせ; 資料__TVRET__二行目\\終わり)"},
       1},
      {"location and description on lines of their own",
       Event("DTSTART;VALUE=DATE:20040507\nSUMMARY:会議\nLOCATION:本社\nDESCRIPTION:議題\\n予算"),
       {"(2004,05,07,00,00 2004,05,07,00,00 -1)(会議__TVRET__本社__TVRET__議題__TVRET__予算)"},
       1},
      {"weekly with UNTIL as a calendar service writes it",
       Event("DTSTART;TZID=Asia/Tokyo:20040602T100000\nDTEND;TZID=Asia/Tokyo:20040602T110000\n"
             "RRULE:FREQ=WEEKLY;UNTIL=20040630T145959Z;BYDAY=WE\nSUMMARY:定例"),
       {"(2004,06,02,10,00 2004,06,30,11,00 03)(定例)"},
       1},
      {"weekly with UNTIL before the last day's time ends a week earlier",
       Event("DTSTART;TZID=Asia/Tokyo:20040602T100000\nDTEND;TZID=Asia/Tokyo:20040602T110000\n"
             "RRULE:FREQ=WEEKLY;UNTIL=20040630T005959Z;BYDAY=WE\nSUMMARY:定例"),
       {"(2004,06,02,10,00 2004,06,23,11,00 03)(定例)"},
       1},
      {"weekly with COUNT is a plain range",
       Event("DTSTART;VALUE=DATE:20040602\nRRULE:FREQ=WEEKLY;COUNT=4\nSUMMARY:x"),
       {"(2004,06,02,00,00 2004,06,23,00,00 03)(x)"},
       1},
      {"several weekdays: one weekly record each",
       Event("DTSTART:20040607T090000\nDTEND:20040607T100000\n"
             "RRULE:FREQ=WEEKLY;BYDAY=MO,WE,FR;UNTIL=20040630T235959\nSUMMARY:x"),
       {"(2004,06,07,09,00 2004,06,30,10,00 01)(x)", "(2004,06,07,09,00 2004,06,30,10,00 03)(x)",
        "(2004,06,07,09,00 2004,06,30,10,00 05)(x)"},
       0,
       1},
      {"daily with UNTIL",
       Event("DTSTART:20040601T083000\nDTEND:20040601T090000\n"
             "RRULE:FREQ=DAILY;UNTIL=20040610T083000\nSUMMARY:x"),
       {"(2004,06,01,08,30 2004,06,10,09,00 -2)(x)"},
       1},
      {"a birthday since 1960: every year within the organizer's years",
       Event("DTSTART;VALUE=DATE:19600507\nRRULE:FREQ=YEARLY\nSUMMARY:誕生日"),
       {"(1975,55,07,00,00 2036,55,07,00,00 -1)(誕生日)"},
       1},
      {"monthly on the 25th without an end",
       Event("DTSTART;VALUE=DATE:20040525\nRRULE:FREQ=MONTHLY;BYMONTHDAY=25\nSUMMARY:給料日"),
       {"(2004,05,75,00,00 2036,12,75,00,00 -1)(給料日)"},
       1},
      {"COUNT with INTERVAL=2 is expanded",
       Event("DTSTART;VALUE=DATE:20040601\nRRULE:FREQ=WEEKLY;INTERVAL=2;COUNT=3\nSUMMARY:x"),
       {"(2004,06,01,00,00 2004,06,01,00,00 -1)(x)", "(2004,06,15,00,00 2004,06,15,00,00 -1)(x)",
        "(2004,06,29,00,00 2004,06,29,00,00 -1)(x)"},
       0,
       1},
      {"a list of month days is expanded",
       Event("DTSTART:20040601T100000\nDURATION:PT30M\n"
             "RRULE:FREQ=MONTHLY;BYMONTHDAY=1,15;COUNT=3\nSUMMARY:x"),
       {"(2004,06,01,10,00 2004,06,01,10,30 -1)(x)", "(2004,06,15,10,00 2004,06,15,10,30 -1)(x)",
        "(2004,07,01,10,00 2004,07,01,10,30 -1)(x)"},
       0,
       1},
      {"EXDATE takes its day out of the expansion",
       Event("DTSTART;VALUE=DATE:20040602\nRRULE:FREQ=WEEKLY;COUNT=3\n"
             "EXDATE;VALUE=DATE:20040609\nSUMMARY:x"),
       {"(2004,06,02,00,00 2004,06,02,00,00 -1)(x)", "(2004,06,16,00,00 2004,06,16,00,00 -1)(x)"},
       0,
       1},
      {"a moved instance replaces its day",
       "BEGIN:VEVENT\nUID:m\nDTSTART:20040602T100000\nDTEND:20040602T110000\n"
       "RRULE:FREQ=WEEKLY;COUNT=3\nSUMMARY:x\nEND:VEVENT\n"
       "BEGIN:VEVENT\nUID:m\nRECURRENCE-ID:20040609T100000\nDTSTART:20040610T150000\n"
       "DTEND:20040610T160000\nSUMMARY:x\nEND:VEVENT",
       {"(2004,06,02,10,00 2004,06,02,11,00 -1)(x)", "(2004,06,16,10,00 2004,06,16,11,00 -1)(x)",
        "(2004,06,10,15,00 2004,06,10,16,00 -1)(x)"},
       1,
       1},
      {"a repetition whose local time moves with daylight saving is expanded",
       Event("DTSTART;TZID=Europe/Berlin:20040321T100000\nDURATION:PT1H\n"
             "RRULE:FREQ=WEEKLY;COUNT=2\nSUMMARY:x"),
       {"(2004,03,21,18,00 2004,03,21,19,00 -1)(x)", "(2004,03,28,17,00 2004,03,28,18,00 -1)(x)"},
       0,
       1},
      {"before 1975",
       Event("DTSTART;VALUE=DATE:19700101\nSUMMARY:x"),
       {},
       0,
       0,
       {"1975年～2036年の範囲外です"}},
      {"cancelled",
       Event("DTSTART;VALUE=DATE:20040507\nSTATUS:CANCELLED\nSUMMARY:x"),
       {},
       0,
       0,
       {"取り消された予定です"}},
      {"holidays of an export",
       Event("DTSTART;VALUE=DATE:20040505\nCATEGORIES:HOLIDAY\nSUMMARY:x"),
       {},
       0,
       0,
       {"休日データです（予定としては取り込みません）"}},
      {"no start", Event("SUMMARY:x"), {}, 0, 0, {"開始日時がないか、正しくありません"}},
      {"a start on a day that doesn't exist",
       Event("DTSTART:20040160T100000\nSUMMARY:x"),
       {},
       0,
       0,
       {"開始日時がないか、正しくありません"}},
      {"a start at an hour that doesn't exist",
       Event("DTSTART:20040107T250000\nSUMMARY:x"),
       {},
       0,
       0,
       {"開始日時がないか、正しくありません"}},
      {"daily for ever from 1900 is too much",
       Event("DTSTART:19000101T100000\nRRULE:FREQ=DAILY;BYMONTHDAY=1,2\nSUMMARY:x"),
       {},
       0,
       0,
       {"繰り返しが多すぎます（1000件を超えます）"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    const CalendarImportPlan plan =
        PlanCalendarImport(CalendarOf(c.body), folder.path(), {testing::kTokyo});
    ASSERT_TRUE(plan.ok()) << platform::Utf16ToUtf8(plan.error);
    EXPECT_EQ(PlannedLines(plan), c.lines);
    EXPECT_EQ(plan.single, c.single);
    EXPECT_EQ(plan.expanded, c.expanded);
    std::vector<std::string> reasons;
    for (const CalendarNote& note : plan.skipped) {
      reasons.push_back(platform::Utf16ToUtf8(note.reason));
    }
    EXPECT_EQ(reasons, c.skipped);
    EXPECT_TRUE(FolderFiles(folder.path()).empty()) << "planning wrote something";
  }
}

TEST(IcalImport, ATextOverTheLimitIsCutAndTheUserTold) {
  TempFolder folder;
  std::string summary;
  for (int i = 0; i < 1100; ++i) summary += "予";
  const CalendarImportPlan plan =
      PlanCalendarImport(CalendarOf(Event("DTSTART;VALUE=DATE:20040507\nSUMMARY:" + summary)),
                         folder.path(), {testing::kTokyo});
  ASSERT_EQ(plan.records.size(), 1u);
  EXPECT_EQ(RecordText(plan.records[0]).size(), 1023u);
  ASSERT_EQ(plan.changed.size(), 1u);
  EXPECT_EQ(plan.changed[0].reason, u"内容が1023文字を超えるため切り詰めました");
  EXPECT_NE(ImportReportText(plan, false).find(u"切り詰めました"), std::u16string::npos);
}

TEST(IcalImport, TheSecondImportAddsNothing) {
  TempFolder folder;
  const std::string file = CalendarOf(
      Event("DTSTART;VALUE=DATE:20040507\nSUMMARY:a") + "\n" +
      Event("DTSTART:20040601T090000\nDURATION:PT1H\nRRULE:FREQ=WEEKLY;COUNT=10\nSUMMARY:b") +
      "\n" + Event("DTSTART:20040601T090000\nRRULE:FREQ=WEEKLY;INTERVAL=3;COUNT=4\nSUMMARY:c"));
  const CalendarImportPlan first = ImportInto(file, folder.path());
  EXPECT_EQ(first.records.size(), 6u);
  const auto after = FolderFiles(folder.path());
  const CalendarImportPlan second = ImportInto(file, folder.path());
  EXPECT_TRUE(second.records.empty());
  EXPECT_EQ(second.duplicates, 6);
  EXPECT_EQ(FolderFiles(folder.path()), after);
  EXPECT_NE(ImportReportText(second, true).find(u"既にあるため追加しない予定：6件"),
            std::u16string::npos);
}

TEST(IcalImport, AFullDayTakesNoMoreAndTheRestIsAdded) {
  TempFolder folder;
  std::vector<ScheduleRecord> day;
  for (int i = 0; i < 50; ++i) {
    const char16_t text[] = {u'r', char16_t(u'A' + i % 26), char16_t(u'A' + i / 26), 0};
    day.push_back(testing::MakeRecord(2004, 5, 7, 9, 0, 2004, 5, 7, 10, 0, -1, text));
  }
  testing::AddRecords(folder.path(), day);
  const CalendarImportPlan plan =
      ImportInto(CalendarOf(Event("DTSTART;VALUE=DATE:20040507\nSUMMARY:full") + "\n" +
                            Event("DTSTART;VALUE=DATE:20040508\nSUMMARY:free")),
                 folder.path());
  EXPECT_EQ(PlannedLines(plan),
            std::vector<std::string>{"(2004,05,08,00,00 2004,05,08,00,00 -1)(free)"});
  ASSERT_EQ(plan.skipped.size(), 1u);
  EXPECT_EQ(plan.skipped[0].reason, u"その日のスケジュールが50件に達しています");
}

// Each of these leaves the data folder byte for byte as it was.
TEST(IcalImport, MalformedFilesChangeNothing) {
  const std::string good = Event("DTSTART;VALUE=DATE:20040507\nSUMMARY:x");
  const struct {
    const char* what;
    std::string bytes;
    std::u16string error;
  } cases[] = {
      {"an empty file", "", u"iCalendarファイルとして読めませんでした"},
      {"text that isn't a calendar", "hello\r\nworld\r\n",
       u"iCalendarファイルとして読めませんでした"},
      {"a card, not a calendar", "BEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\n",
       u"iCalendarファイルとして読めませんでした"},
      {"cut off before its end", CalendarOf(good).substr(0, CalendarOf(good).size() - 17),
       u"iCalendarファイルとして読めませんでした"},
      {"binary zeros", std::string(4096, '\0'), u"iCalendarファイルとして読めませんでした"},
      {"a calendar without events", CalendarOf("X-WR-CALNAME:empty"),
       u"ファイルに予定（VEVENT）がありません"},
      {"more than 32 MiB", std::string(kMaxCalendarFileBytes + 1, 'A'),
       u"ファイルが大きすぎます（32MBまで）"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    testing::AddRecords(folder.path(),
                        {testing::MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"kept")});
    const auto before = FolderFiles(folder.path());
    const CalendarImportPlan plan = PlanCalendarImport(c.bytes, folder.path(), {testing::kTokyo});
    EXPECT_EQ(plan.error, c.error);
    EXPECT_TRUE(plan.records.empty());
    auto store = std::make_unique<ScheduleStore>();
    ClearScheduleStore(store.get());
    EXPECT_FALSE(ApplyCalendarImport(plan, folder.path(), store.get()));
    EXPECT_EQ(ImportReportText(plan, false), c.error);
    EXPECT_EQ(FolderFiles(folder.path()), before);
  }
}

TEST(IcalImport, BytesThatAreNotUtf8AreReadWithANote) {
  const struct {
    const char* what;
    std::string bytes;
    std::string text;  // the record's text
    std::u16string note;
  } cases[] = {
      {"Shift_JIS",
       CalendarOf(Event("DTSTART;VALUE=DATE:20040507\nSUMMARY:" + platform::Utf16ToCp932(u"会議"))),
       "会議", u"UTF-8ではないためShift_JISとして読みました"},
      {"stray bytes",
       CalendarOf(Event("DTSTART;VALUE=DATE:20040507\nSUMMARY:a\xff\xfe"
                        "b")),
       "a\xEF\xBF\xBD\xEF\xBF\xBD"
       "b",
       u"UTF-8として読めない文字を「\uFFFD」に置き換えました"},
      {"a byte-order mark",
       "\xEF\xBB\xBF" + CalendarOf(Event("DTSTART;VALUE=DATE:20040507\nSUMMARY:x")), "x", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    const CalendarImportPlan plan = PlanCalendarImport(c.bytes, folder.path(), {testing::kTokyo});
    ASSERT_EQ(plan.records.size(), 1u);
    EXPECT_EQ(platform::Utf16ToUtf8(RecordText(plan.records[0])), c.text);
    if (c.note.empty()) {
      EXPECT_TRUE(plan.changed.empty());
    } else {
      ASSERT_EQ(plan.changed.size(), 1u);
      EXPECT_EQ(plan.changed[0].reason, c.note);
    }
  }
}

// An add that fails midway (a file stands where the year's folder must go) undoes the
// adds before it: the folder is as it was, byte for byte — a stored file without its last
// line end, or with a line that is no record, keeps both.
TEST(IcalImport, AFailedAddUndoesTheImport) {
  std::string manyDays;
  for (int day = 1; day <= 20; ++day) {
    manyDays += Event("DTSTART;VALUE=DATE:200406" + std::string(day < 10 ? "0" : "") +
                      std::to_string(day) + "\nSUMMARY:d") +
                "\n";
  }
  const struct {
    const char* what;
    std::string kept;  // the bytes of the stored day file
    std::string events;
    std::size_t planned;
  } cases[] = {
      {"a few days", testing::Le(u"(2004,05,07,00,00 2004,05,07,00,00 -1)(kept)\r\n"),
       Event("DTSTART;VALUE=DATE:20040508\nSUMMARY:a") + "\n" +
           Event("DTSTART;VALUE=DATE:20040507\nSUMMARY:b") + "\n",
       3},
      {"many days, and a day file without its last line end",
       testing::Le(u"not a record\r\n(2004,05,07,00,00 2004,05,07,00,00 -1)(kept)"),
       Event("DTSTART;VALUE=DATE:20040507\nSUMMARY:b") + "\n" + manyDays, 22},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    MessageRecorder messages;
    testing::WriteBytes(folder.path() / "2004/5/7/sched.txt", c.kept);
    testing::WriteBytes(folder.path() / "2005", "not a folder");
    const auto before = FolderFiles(folder.path());
    const CalendarImportPlan plan =
        PlanCalendarImport(CalendarOf(c.events + Event("DTSTART;VALUE=DATE:20050101\nSUMMARY:c")),
                           folder.path(), {testing::kTokyo});
    ASSERT_EQ(plan.records.size(), c.planned);
    auto store = std::make_unique<ScheduleStore>();
    ClearScheduleStore(store.get());
    EXPECT_FALSE(ApplyCalendarImport(plan, folder.path(), store.get()));
    EXPECT_EQ(messages.texts(),
              std::vector<std::u16string>{u"スケジュールファイルを開く事が出来ませんでした"});
    EXPECT_EQ(FolderFiles(folder.path()), before);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "2004" / "5" / "8"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "2004" / "6"));
  }
}

}  // namespace
}  // namespace yk
