// The holiday editor's logic: the list's actions, questions and saving, and the entry's
// checks and encoding.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/holiday.h"
#include "common/utf16_line_file.h"
#include "host/holiday_editor_model.h"
#include "platform/message_box.h"
#include "platform/testing/message_recorder.h"
#include "platform/testing/temp_folder.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using platform::kIdNo;
using platform::kIdYes;

HolidayEntry OneDay(int month, int day, const std::u16string& name) {
  HolidayEntry e{};
  e.month = month;
  e.day = day;
  e.weekday = -1;
  e.colour = kHolidayRed;
  SetHolidayName(&e, name);
  return e;
}

class HolidayListTest : public ::testing::Test {
 protected:
  HolidayListTest() { views_ = std::make_unique<HolidayTable>(); }

  // Writes the year's file with entries named "e0", "e1", ...
  void WriteYear(int year, int entries) {
    auto table = std::make_unique<HolidayTable>();
    for (int i = 0; i < entries; ++i) {
      table->entries[i] = OneDay(1 + i % 12, 1 + i % 28, EntryName(i));
    }
    table->count = entries;
    ASSERT_TRUE(SaveHolidays(year, folder_, *table));
  }
  // "e0", "e1", ... (appended, not u"e" + number: GCC 12 at -O3 warns (-Wrestrict) about
  // the latter).
  static std::u16string EntryName(int i) {
    std::u16string name(1, u'e');
    for (char c : std::to_string(i)) name += char16_t(c);
    return name;
  }

  std::vector<std::u16string> Names(const HolidayListModel& model) {
    std::vector<std::u16string> out;
    for (int i = 0; i < model.count(); ++i) out.emplace_back(HolidayName(model.entry(i)));
    return out;
  }

  // The list over the temporary folder; the entry dialog answers `outcome` and counts runs.
  HolidayListModel Model() {
    return HolidayListModel(folder_, views_.get(), [this](const HolidayEntryRequest& request) {
      requests_.push_back(request);
      return outcome_;
    });
  }

  platform::testing::TempFolder temp_{"dialogs_hol"};
  const fs::path folder_ = temp_.path();
  std::unique_ptr<HolidayTable> views_;
  std::vector<HolidayEntryRequest> requests_;
  HolidayEntryOutcome outcome_;
  platform::testing::MessageRecorder messages_;
};

TEST_F(HolidayListTest, AddingTheTwoHundredAndFirstEntryIsRefused) {
  WriteYear(2010, 199);
  HolidayListModel model = Model();
  ASSERT_TRUE(model.Open(2010));
  ASSERT_EQ(model.count(), 199);
  outcome_ = {HolidayEntryChoice::kAdd, OneDay(5, 5, u"new")};
  model.Add();
  EXPECT_EQ(model.count(), 200);
  EXPECT_EQ(model.selection(), 199) << "the new entry is selected";
  EXPECT_TRUE(model.modified());
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].mode, HolidayEntryMode::kNew);
  EXPECT_EQ(requests_[0].year, 2010);

  model.Add();
  EXPECT_EQ(model.count(), 200);
  EXPECT_EQ(requests_.size(), 1u) << "the entry dialog does not open";
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{kHolidayLimitText});

  // "編集" then "新規追加" (a copy as a new entry) is not taken at 200 either.
  model.Select(0);
  model.Edit();
  EXPECT_EQ(model.count(), 200);
}

TEST_F(HolidayListTest, EditNeedsASelectionAndReplacesOrAppends) {
  WriteYear(2010, 3);
  HolidayListModel model = Model();
  ASSERT_TRUE(model.Open(2010));
  model.Edit();
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{kHolidayNoSelectionText});
  EXPECT_TRUE(requests_.empty());

  model.Select(1);
  outcome_ = {HolidayEntryChoice::kReplace, OneDay(7, 7, u"x")};
  model.Edit();
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].mode, HolidayEntryMode::kEdit);
  EXPECT_EQ(HolidayName(requests_[0].entry), u"e1");
  EXPECT_EQ(requests_[0].listCount, 3);
  EXPECT_EQ(Names(model), (std::vector<std::u16string>{u"e0", u"x", u"e2"}));

  outcome_ = {HolidayEntryChoice::kAdd, OneDay(8, 8, u"copy")};
  model.Edit();
  EXPECT_EQ(Names(model), (std::vector<std::u16string>{u"e0", u"x", u"e2", u"copy"}));

  outcome_ = {HolidayEntryChoice::kCancel, {}};
  model.Select(0);
  model.Edit();
  EXPECT_EQ(Names(model), (std::vector<std::u16string>{u"e0", u"x", u"e2", u"copy"}));
}

TEST_F(HolidayListTest, MovesAndDeletesKeepTheSelectionWhereItBelongs) {
  struct Step {
    const char* action;
    int select;  // row selected before the action
    std::vector<std::u16string> names;
    int selection;  // after
  };
  const std::vector<Step> steps = {
      {"up", 0, {u"e0", u"e1", u"e2", u"e3"}, 0},    // top: nothing
      {"up", 2, {u"e0", u"e2", u"e1", u"e3"}, 1},    // selection follows
      {"down", 3, {u"e0", u"e2", u"e1", u"e3"}, 3},  // bottom: nothing
      {"down", 0, {u"e2", u"e0", u"e1", u"e3"}, 1},
      {"delete", 1, {u"e2", u"e1", u"e3"}, 1},  // same position
      {"delete", 2, {u"e2", u"e1"}, 1},         // the last entry
      {"delete", 0, {u"e1"}, 0},
      {"delete", 0, {}, -1},
      {"delete", 0, {}, -1},  // empty: nothing
  };
  WriteYear(2011, 4);
  HolidayListModel model = Model();
  ASSERT_TRUE(model.Open(2011));
  for (const Step& s : steps) {
    SCOPED_TRACE(std::string(s.action) + " at " + std::to_string(s.select));
    model.Select(s.select);
    const std::string a = s.action;
    if (a == "up") model.MoveUp();
    if (a == "down") model.MoveDown();
    if (a == "delete") model.Delete();
    EXPECT_EQ(Names(model), s.names);
    EXPECT_EQ(model.selection(), s.selection);
  }
  EXPECT_TRUE(messages_.texts().empty()) << "delete asks nothing";
}

TEST_F(HolidayListTest, SavingAnEmptyListEmptiesTheFile) {
  WriteYear(2012, 2);
  HolidayListModel model = Model();
  ASSERT_TRUE(model.Open(2012));
  views_->loadedYear = 2012;
  model.Select(0);
  model.Delete();
  model.Delete();
  ASSERT_EQ(model.count(), 0);
  ASSERT_TRUE(model.Save());
  EXPECT_FALSE(model.modified());
  EXPECT_EQ(views_->loadedYear, 0) << "the views read the file again";
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{kHolidaySavedText});
  EXPECT_EQ(fs::file_size(HolidayFilePath(folder_, 2012)), 0u);
  auto reread = std::make_unique<HolidayTable>();
  EXPECT_EQ(ReadHolidays(2012, folder_, reread.get(), true), 0) << "deleted holidays stay gone";
}

TEST_F(HolidayListTest, SaveWritesTheListInOrder) {
  HolidayListModel model = Model();
  ASSERT_TRUE(model.Open(2013));
  EXPECT_EQ(model.count(), 0) << "a year without a file is an empty list";
  outcome_ = {HolidayEntryChoice::kAdd, OneDay(5, 5, u"b")};
  model.Add();
  outcome_ = {HolidayEntryChoice::kAdd, OneDay(1, 1, u"a")};
  model.Add();
  ASSERT_TRUE(model.Save());
  auto reread = std::make_unique<HolidayTable>();
  ASSERT_EQ(ReadHolidays(2013, folder_, reread.get(), true), 2);
  EXPECT_EQ(HolidayName(reread->entries[0]), u"b");
  EXPECT_EQ(HolidayName(reread->entries[1]), u"a");
}

TEST_F(HolidayListTest, ChangingTheYearAsksBeforeDroppingChanges) {
  WriteYear(2014, 2);
  WriteYear(2015, 1);
  struct Case {
    const char* rule;
    bool modify;
    int answer;  // 0 = no question expected
    std::vector<std::u16string> file2014;
  };
  const std::vector<Case> cases = {
      {"unmodified: no question", false, 0, {u"e0", u"e1"}},
      {"No drops the changes", true, kIdNo, {u"e0", u"e1"}},
      {"Yes saves them first", true, kIdYes, {u"e1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    WriteYear(2014, 2);
    messages_.Clear();
    HolidayListModel model = Model();
    ASSERT_TRUE(model.Open(2014));
    if (c.modify) {
      model.Select(0);
      model.Delete();
    }
    if (c.answer != 0) messages_.Answer(c.answer);
    ASSERT_TRUE(model.ChangeYear(2015));
    EXPECT_EQ(model.year(), 2015);
    EXPECT_EQ(Names(model), std::vector<std::u16string>{u"e0"}) << "the other year is loaded";
    EXPECT_FALSE(model.modified());
    const std::vector<std::u16string> texts = messages_.texts();
    ASSERT_EQ(texts.empty(), c.answer == 0);
    if (c.answer != 0) {
      EXPECT_EQ(texts.front(), kHolidaySaveQuestion);
    }
    HolidayListModel check = Model();
    ASSERT_TRUE(check.Open(2014));
    EXPECT_EQ(Names(check), c.file2014);
  }
}

TEST_F(HolidayListTest, AFailedSaveKeepsTheChangesAndTheDialog) {
  const fs::path missing = folder_ / "no" / "such" / "folder";
  HolidayListModel model(missing, views_.get(), [](const HolidayEntryRequest&) {
    return HolidayEntryOutcome{HolidayEntryChoice::kAdd, OneDay(2, 3, u"x")};
  });
  ASSERT_TRUE(model.Open(2016));
  model.Add();
  views_->loadedYear = 2016;
  EXPECT_FALSE(model.Save());
  EXPECT_TRUE(model.modified());
  EXPECT_EQ(views_->loadedYear, 2016);
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{kHolidaySaveFailedText});

  messages_.Clear();
  messages_.Answer(kIdYes);
  EXPECT_FALSE(model.Close()) << "Yes, but the save failed: stay open";
  EXPECT_FALSE(model.ChangeYear(2017));
  EXPECT_EQ(model.year(), 2016);
  EXPECT_EQ(model.count(), 1);
  messages_.Answer(kIdNo);
  EXPECT_TRUE(model.Close()) << "No closes without saving";
}

// A year's file its user can't read (one left by another user, say) opens as an empty
// list; saving that list must not put a file of the new entries in its place.  Run by a
// user who doesn't own the file: when the tests run as root, a child process drops to
// another user for the edit.
TEST_F(HolidayListTest, SavingOverAnUnreadableFileIsRefused) {
  WriteYear(2018, 3);
  const fs::path file = HolidayFilePath(folder_, 2018);
  const auto before = fs::file_size(file);
  ::chmod(file.c_str(), 0200);
  ::chmod(folder_.c_str(), 0777);
  outcome_ = {HolidayEntryChoice::kAdd, OneDay(5, 5, u"new")};
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    HolidayListModel model = Model();
    if (!model.Open(2018)) ::_exit(3);
    model.Add();
    ::_exit(model.Save() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save is reported as failed";
  EXPECT_EQ(fs::file_size(file), before);
  auto reread = std::make_unique<HolidayTable>();
  EXPECT_EQ(ReadHolidays(2018, folder_, reread.get(), true), 3);
}

// A file with more entries than the list holds (written by hand) keeps the ones past the
// list when the list is saved.
TEST_F(HolidayListTest, SavingKeepsTheEntriesPastAFullList) {
  const fs::path file = HolidayFilePath(folder_, 2019);
  {
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < kMaxHolidays + 5; ++i) {
      const std::u16string line = WriteHolidayLine(OneDay(1, 1, EntryName(i)));
      out << EncodeUtf16Le(line);
    }
  }
  HolidayListModel model = Model();
  ASSERT_TRUE(model.Open(2019));
  ASSERT_EQ(model.count(), kMaxHolidays);
  model.Select(0);
  model.Delete();
  ASSERT_TRUE(model.Save());
  auto reread = std::make_unique<HolidayTable>();
  ASSERT_EQ(ReadHolidays(2019, folder_, reread.get(), true), kMaxHolidays);
  EXPECT_EQ(HolidayName(reread->entries[kMaxHolidays - 1]), u"e200");
  int lines = 0;
  ASSERT_TRUE(ForEachUtf16Line(file, [&](std::u16string_view) { return ++lines > 0; }));
  EXPECT_EQ(lines, kMaxHolidays + 4);
}

// ---- The entry ------------------------------------------------------------------------------

HolidayEntryFields Period(int sm, int sd, int em, int ed, bool every = false) {
  HolidayEntryFields f;
  f.kind = HolidayKind::kPeriod;
  f.startMonth = sm;
  f.startDay = sd;
  f.endMonth = em;
  f.endDay = ed;
  f.periodEveryMonth = every;
  return f;
}

HolidayEntryFields Day(int m, int d, bool every = false) {
  HolidayEntryFields f;
  f.month = m;
  f.day = d;
  f.dayEveryMonth = every;
  return f;
}

TEST(HolidayEntryTest, ChecksAndStoredNumbers) {
  struct Case {
    const char* rule;
    HolidayEntryFields fields;
    int year;
    const char16_t* message;  // nullptr: accepted
    std::u16string line;      // the file line of the accepted entry (without CR LF)
  };
  const std::vector<Case> cases = {
      {"one day", Day(5, 5), 2004, nullptr, u"(00,00 00,00)(05,05,-1,01,)"},
      {"month 0", Day(0, 5), 2004, kMonthInvalidText, u""},
      {"month 13", Day(13, 5), 2004, kMonthInvalidText, u""},
      {"day 0", Day(5, 0), 2004, kDayInvalidText, u""},
      {"31 April", Day(4, 31), 2004, kDayInvalidText, u""},
      {"29 February in a leap year", Day(2, 29), 2000, nullptr, u"(00,00 00,00)(02,29,-1,01,)"},
      {"29 February in a common year", Day(2, 29), 2035, kDayInvalidText, u""},
      {"every month: 31 stored as 81", Day(4, 31, true), 2004, nullptr,
       u"(00,00 00,00)(04,81,-1,01,)"},
      {"every month: day 32", Day(4, 32, true), 2004, kDayInvalidText, u""},
      {"every month: the month is not checked", Day(0, 10, true), 2004, nullptr,
       u"(00,00 00,00)(00,60,-1,01,)"},
      {"every month: a month too wide for the file is stored as 0", Day(123, 10, true), 2004,
       nullptr, u"(00,00 00,00)(00,60,-1,01,)"},
      {"period", Period(4, 29, 5, 5), 2004, nullptr, u"(04,29 05,05)(00,00,-1,01,)"},
      {"start month 13", Period(13, 1, 12, 1), 2004, kStartMonthInvalidText, u""},
      {"start day 31 June", Period(6, 31, 7, 1), 2004, kStartDayInvalidText, u""},
      {"end month 0", Period(1, 1, 0, 1), 2004, kEndMonthInvalidText, u""},
      {"end day 30 February", Period(1, 1, 2, 30), 2004, kEndDayInvalidText, u""},
      {"end month before start month", Period(5, 1, 4, 30), 2004, kEndBeforeStartText, u""},
      {"same month, end day before start day", Period(5, 10, 5, 9), 2004, kEndBeforeStartText, u""},
      {"later month, earlier day", Period(5, 10, 6, 9), 2004, nullptr,
       u"(05,10 06,09)(00,00,-1,01,)"},
      {"every month: end day before start day", Period(5, 10, 6, 9, true), 2004,
       kEndBeforeStartText, u""},
      {"every month: days 10..31 stored + 50", Period(1, 10, 12, 31, true), 2004, nullptr,
       u"(01,60 12,81)(00,00,-1,01,)"},
      {"every month: 31 in a 30-day month", Period(4, 31, 4, 31, true), 2004, nullptr,
       u"(04,81 04,81)(00,00,-1,01,)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    const HolidayEntryCheck check = EntryFromFields(c.fields, c.year);
    if (c.message != nullptr) {
      EXPECT_FALSE(check.entry.has_value());
      EXPECT_EQ(std::u16string(check.message ? check.message : u""), c.message);
      continue;
    }
    ASSERT_TRUE(check.entry.has_value());
    EXPECT_EQ(WriteHolidayLine(*check.entry), c.line + u"\r\n");
  }
}

TEST(HolidayEntryTest, WeekdayColourAndNameAreStored) {
  HolidayEntryFields f = Period(4, 29, 5, 5);
  f.weekdayIndex = 1;  // "毎週日曜日"
  f.colour = kHolidayGreen;
  f.name = u"連休\r\n後半";
  const HolidayEntryCheck check = EntryFromFields(f, 2004);
  ASSERT_TRUE(check.entry.has_value());
  EXPECT_EQ(WriteHolidayLine(*check.entry), u"(04,29 05,05)(00,00,00,03,連休  後半)\r\n")
      << "a line break would split the file's line";
  EXPECT_EQ(HolidayDisplayText(*check.entry), u"[4/29～5/5 日曜] 連休  後半");
}

TEST(HolidayEntryTest, EditModeShowsTheEntryAndRoundTrips) {
  struct Case {
    const char* line;
    HolidayEntryFields fields;
  };
  HolidayEntryFields every25 = Day(3, 25, true);
  every25.colour = kHolidayBlue;
  every25.name = u"X";
  HolidayEntryFields range = Period(1, 10, 12, 20, true);
  range.colour = kHolidayGreen;
  range.name = u"Y";
  HolidayEntryFields sundays = Period(4, 29, 5, 5);
  sundays.weekdayIndex = 1;
  sundays.colour = kHolidayBlue;
  sundays.name = u"Z";
  const std::vector<Case> cases = {
      {"(00,00 00,00)(03,75,-1,02,X)", every25},
      {"(01,60 12,70)(00,00,-1,03,Y)", range},
      {"(04,29 05,05)(00,00,00,02,Z)", sundays},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    HolidayEntry entry{};
    const std::string narrow = c.line;
    ASSERT_TRUE(ParseHolidayLine(std::u16string(narrow.begin(), narrow.end()), &entry));
    EXPECT_EQ(FieldsFromEntry(entry), c.fields);
    const HolidayEntryCheck back = EntryFromFields(c.fields, 2004);
    ASSERT_TRUE(back.entry.has_value());
    EXPECT_EQ(WriteHolidayLine(*back.entry),
              std::u16string(narrow.begin(), narrow.end()) + u"\r\n");
  }
}

TEST(HolidayEntryTest, ControlStates) {
  struct Case {
    const char* rule;
    HolidayEntryFields fields;
    HolidayEntryMode mode;
    int listCount;
    bool monthEdit, periodGroup, replace, add;
  };
  const std::vector<Case> cases = {
      {"new, one day", Day(1, 1), HolidayEntryMode::kNew, 200, true, false, false, true},
      {"one day every month disables the month", Day(1, 1, true), HolidayEntryMode::kNew, 0, false,
       false, false, true},
      {"period", Period(1, 1, 1, 1), HolidayEntryMode::kEdit, 5, false, true, true, true},
      {"edit with 200 entries cannot add", Day(1, 1), HolidayEntryMode::kEdit, 200, true, false,
       true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    const HolidayEntryControls got = EntryControls(c.fields, c.mode, c.listCount);
    EXPECT_EQ(got.oneDayGroup, !c.periodGroup);
    EXPECT_EQ(got.monthEdit, c.monthEdit);
    EXPECT_EQ(got.periodGroup, c.periodGroup);
    EXPECT_EQ(got.replaceButton, c.replace);
    EXPECT_EQ(got.addButton, c.add);
  }
}

}  // namespace
}  // namespace yk
