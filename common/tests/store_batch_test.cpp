// Adding many records at once: the same files as adding them one after another, the same
// refusals at the same record, and nothing changed when the batch is refused or a file
// can't be written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/append_batch.h"
#include "common/schedule_store.h"
#include "common/tests/store_test_support.h"
#include "common/utf16_line_file.h"
#include "platform/testing/message_recorder.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using platform::testing::MessageRecorder;
using testing::FolderTree;
using testing::Le;
using testing::MakeRecord;
using testing::TempFolder;
using testing::WriteBytes;

using Records = std::vector<ScheduleRecord>;
using Files = std::map<std::string, std::string>;  // relative path → bytes

constexpr char16_t kOpenFailed[] = u"スケジュールファイルを開く事が出来ませんでした";
constexpr char16_t kDayFull[] = u"１日のスケジュールが50件を超えました。これ以上の記録は出来ません";
constexpr char16_t kDaysFull[] =
    u"日をまたぐスケジュールが300件を超えました。これ以上の記録は出来ません";
constexpr char16_t kMonthsFull[] =
    u"月をまたぐスケジュールが300件を超えました。これ以上の記録は出来ません";
constexpr char16_t kYearsFull[] =
    u"年をまたぐスケジュールが300件を超えました。これ以上の記録は出来ません";

// Records of every kind and level, some of them for the same files.
const ScheduleRecord kDay = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u"会議");
const ScheduleRecord kDayBroken = MakeRecord(2004, 5, 8, 0, 0, 2004, 5, 8, 0, 0, -1, u"a\r\nb\nc");
const ScheduleRecord kEveryMonthDay = MakeRecord(2004, 5, 57, 0, 0, 2004, 5, 57, 0, 0, -1, u"f");
const ScheduleRecord kEveryYearDay = MakeRecord(2004, 55, 7, 9, 0, 2004, 55, 7, 9, 30, -1, u"g");
const ScheduleRecord kWeekly = MakeRecord(2004, 5, 1, 9, 0, 2004, 5, 3, 17, 0, 3, u"週");
const ScheduleRecord kEveryDay = MakeRecord(2004, 5, 10, 9, 0, 2004, 5, 20, 10, 0, -2, u"毎日");
const ScheduleRecord kMonths = MakeRecord(2004, 4, 30, 0, 0, 2004, 5, 2, 0, 0, -2, u"b");
const ScheduleRecord kEveryYearSpan = MakeRecord(2004, 53, 55, 0, 0, 2004, 55, 60, 0, 0, -1, u"e");
const ScheduleRecord kYears = MakeRecord(2004, 12, 31, 22, 0, 2005, 1, 1, 2, 0, -1, u"c");
const ScheduleRecord kEveryYearYears = MakeRecord(2003, 53, 5, 0, 0, 2006, 55, 10, 0, 0, -1, u"d");
const ScheduleRecord kLongText =
    MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, std::u16string(1023, u'長'));
const ScheduleRecord kOtherYear = MakeRecord(1975, 1, 1, 0, 0, 1975, 1, 1, 0, 0, 0, u"古い");

// `count` distinct lines of one file, each line a record of `first` with its own text.
std::string Lines(const ScheduleRecord& first, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) {
    ScheduleRecord r = first;
    // Unit by unit: GCC 12 at -O3 warns (-Wrestrict) about u"r" + a string.
    SetRecordText(&r, std::u16string{u'r', char16_t(u'A' + i % 26), char16_t(u'A' + i / 26)});
    bytes += EncodeUtf16Line(FormatScheduleLine(r));
  }
  return bytes;
}

// A record like `r` with another text.
ScheduleRecord WithText(ScheduleRecord r, std::u16string_view text) {
  SetRecordText(&r, text);
  return r;
}

struct Side {
  TempFolder folder;
  std::unique_ptr<ScheduleStore> store = std::make_unique<ScheduleStore>();

  explicit Side(const Files& files,
                const std::function<void(const fs::path&, ScheduleStore*)>& prepare) {
    ClearScheduleStore(store.get());
    for (const auto& [name, bytes] : files) WriteBytes(folder.path() / name, bytes);
    if (prepare) prepare(folder.path(), store.get());
  }
  const fs::path& data() const { return folder.path(); }
};

struct OneByOne {
  std::size_t stopped;  // the first record refused, or the count when none was
  std::vector<std::u16string> messages;
};

// AddSchedule for each record until the first refusal, as the import did before.
OneByOne AddOneByOne(Side& side, const Records& records) {
  MessageRecorder messages;
  std::size_t i = 0;
  while (i < records.size() && AddSchedule(side.data(), records[i], side.store.get())) ++i;
  return {i, messages.texts()};
}

struct Scenario {
  const char* what;
  Files files;
  Records records;
  std::function<void(const fs::path&, ScheduleStore*)> prepare = nullptr;
};

// The scenario's adds one by one stop at record `stopsAt` with `message`; the batch is
// refused whole there with the same message and changes nothing, and the records before
// it, added as a batch of their own, give what the adds one by one gave.
void ExpectRefusedWhole(const Scenario& s, std::size_t stopsAt, std::u16string_view message) {
  Side one(s.files, s.prepare);
  Side batch(s.files, s.prepare);
  const OneByOne expected = AddOneByOne(one, s.records);
  ASSERT_EQ(expected.stopped, stopsAt) << "the scenario's one-by-one adds";
  ASSERT_EQ(expected.messages, std::vector<std::u16string>{std::u16string(message)});

  const Files before = FolderTree(batch.data());
  MessageRecorder messages;
  std::size_t refused = 0;
  EXPECT_FALSE(AddSchedules(batch.data(), s.records, batch.store.get(), &refused));
  EXPECT_EQ(refused, stopsAt);
  EXPECT_EQ(messages.texts(), expected.messages);
  EXPECT_EQ(FolderTree(batch.data()), before);

  Side prefix(s.files, s.prepare);
  const Records added(s.records.begin(), s.records.begin() + long(stopsAt));
  EXPECT_TRUE(AddSchedules(prefix.data(), added, prefix.store.get()));
  EXPECT_EQ(FolderTree(prefix.data()), FolderTree(one.data()));
}

TEST(StoreBatch, GivesTheBytesOfAddsOneByOne) {
  const Records mix = {kDay,       kWeekly,        kMonths,         kYears,
                       kDayBroken, kDay,           kEveryMonthDay,  kEveryDay,
                       kOtherYear, kEveryYearSpan, kEveryYearYears, kEveryYearDay,
                       kLongText,  kWeekly,        kYears};
  const std::string dayLines = Lines(kDay, 2);
  const Scenario scenarios[] = {
      {"every kind and level into an empty folder", {}, mix},
      {"files that exist already",
       {{"2004/5/7/sched.txt", dayLines},
        {"2004/5/sched.txt", Lines(kWeekly, 3)},
        {"2004/sched.txt", Lines(kMonths, 4)},
        {"sched.txt", Lines(kYears, 5)}},
       mix},
      {"last lines without CR LF, with a CR alone, cut inside a unit, and junk",
       {{"2004/5/7/sched.txt", dayLines.substr(0, dayLines.size() - 4)},
        {"2004/5/sched.txt", Lines(kWeekly, 1).substr(0, Lines(kWeekly, 1).size() - 2)},
        {"2004/sched.txt", Lines(kMonths, 1) + "x"},
        {"sched.txt", Le(u"junk\r\nmore junk")},
        {"2004/5/8/sched.txt", ""}},
       mix},
      {"duplicates within the batch and of stored records",
       {{"2004/5/7/sched.txt", EncodeUtf16Line(FormatScheduleLine(kDay))},
        {"sched.txt", EncodeUtf16Line(FormatScheduleLine(kYears))}},
       {kDay, kDay, kYears, kDay, kYears, kYears}},
      {"levels filled to their capacities exactly",
       {{"2004/5/7/sched.txt", Lines(kDay, 48)},
        {"2004/5/sched.txt", Lines(kWeekly, 299)},
        {"2004/sched.txt", Lines(kMonths, 299)},
        {"sched.txt", Lines(kYears, 298)}},
       {kDay, kWeekly, kYears, kMonths, kEveryMonthDay, kYears}},
      {"a cached level holding a file that changed behind its back",
       {{"2004/5/7/sched.txt", Lines(kDay, 10)}},
       {kWeekly, kDay, kDay},
       [](const fs::path& data, ScheduleStore* store) {
         LoadLevel(SpanLevel::Day, 2004, 5, 7, data, store);
         WriteBytes(data / "2004/5/7/sched.txt", Lines(kDay, 45));
       }},
      {"an empty batch", {{"2004/5/7/sched.txt", dayLines}}, {}},
  };
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.what);
    Side one(s.files, s.prepare);
    Side batch(s.files, s.prepare);
    const OneByOne expected = AddOneByOne(one, s.records);
    ASSERT_EQ(expected.stopped, s.records.size()) << "the scenario adds every record";

    MessageRecorder messages;
    std::size_t refused = 12345;
    EXPECT_TRUE(AddSchedules(batch.data(), s.records, batch.store.get(), &refused));
    EXPECT_EQ(refused, s.records.size());
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_EQ(FolderTree(batch.data()), FolderTree(one.data()));
  }
}

// A record that adds one by one would refuse: a full level, whether the batch fills it or
// it was full before (and whether the cache knew it), or a record no line can hold.
TEST(StoreBatch, IsRefusedWholeWhereAddsOneByOneStop) {
  const ScheduleRecord nextDay = MakeRecord(2004, 5, 8, 0, 0, 2004, 5, 8, 0, 0, -1, u"n");
  Records dayAfterDay;
  for (int i = 0; i < 4; ++i) {
    dayAfterDay.push_back(WithText(kDay, u"new" + std::u16string(1, char16_t(u'0' + i))));
    dayAfterDay.push_back(nextDay);
  }
  ScheduleRecord tooFarOff = kDay;  // a year of five digits doesn't fit its column
  tooFarOff.startYear = tooFarOff.endYear = 12004;
  // A file whose last line lacks one character and has half of a "(" after it: the line
  // end written before the first new line completes it into a record.
  std::u16string shortLine = FormatScheduleLine(kDay).substr(0, 38);
  const std::string cutLine = Le(shortLine) + "(";

  const struct {
    Scenario scenario;
    std::size_t stopsAt;
    std::u16string message;
  } cases[] = {
      {{"a day filled in the middle of the batch",
        {{"2004/5/7/sched.txt", Lines(kDay, 47)}},
        dayAfterDay},
       6,
       kDayFull},
      {{"a day full before the batch", {{"2004/5/7/sched.txt", Lines(kDay, 50)}}, {nextDay, kDay}},
       1,
       kDayFull},
      {{"spans within a month", {{"2004/5/sched.txt", Lines(kWeekly, 299)}}, {kEveryDay, kWeekly}},
       1,
       kDaysFull},
      {{"spans across months",
        {{"2004/sched.txt", Lines(kMonths, 298)}},
        {kMonths, kDay, kEveryYearSpan, kMonths}},
       3,
       kMonthsFull},
      {{"spans across years", {{"sched.txt", Lines(kYears, 300)}}, {kEveryYearYears}},
       0,
       kYearsFull},
      {{"a record no line can hold", {}, {kDay, kWeekly, tooFarOff, kYears}},
       2,
       std::u16string(kRecordDoesNotFitMessage)},
      {{"a line end that makes a cut line a record",
        {{"2004/5/7/sched.txt", Lines(kDay, 48) + cutLine}},
        {kDay, kDay}},
       1,
       kDayFull},
      {{"a full day that the cache doesn't know of yet",
        {{"2004/5/7/sched.txt", Lines(kDay, 48)}},
        {kDay, kDay, kDay},
        [](const fs::path& data, ScheduleStore* store) {
          LoadLevel(SpanLevel::Day, 2004, 5, 7, data, store);
          WriteBytes(data / "2004/5/7/sched.txt", Lines(kDay, 60));
        }},
       1,
       kDayFull},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario.what);
    ExpectRefusedWhole(c.scenario, c.stopsAt, c.message);
  }
}

// A file that can't be written, after others were: the batch takes back what it wrote,
// existing files keep their bytes to the last one (a missing line end stays missing) and
// the files and folders it made are gone.  Few files are flushed each on its own, many
// together: both are taken back.
TEST(StoreBatch, AFileThatCantBeWrittenLeavesEveryFileAsItWas) {
  const std::string dayLines = Lines(kDay, 3);
  const Files existing = {{"2004/5/7/sched.txt", dayLines.substr(0, dayLines.size() - 4)},
                          {"2004/5/sched.txt", Lines(kWeekly, 1) + "x"},
                          {"2004/sched.txt", Lines(kMonths, 2)}};
  Records many = {kDay, kWeekly, kMonths, kYears};
  for (int day = 1; day <= 28; ++day)
    many.push_back(MakeRecord(2003, 2, day, 0, 0, 2003, 2, day, 0, 0, -1, u"x"));
  const ScheduleRecord blocked = MakeRecord(2005, 3, 3, 0, 0, 2005, 3, 3, 0, 0, -1, u"late");
  auto blockYear = [](const fs::path& data, ScheduleStore*) { WriteBytes(data / "2005", "file"); };
  auto folderForFile = [](const fs::path& data, ScheduleStore*) {
    fs::create_directories(data / "2005/3/3/sched.txt");
  };
  auto pipeForFile = [](const fs::path& data, ScheduleStore*) {
    fs::create_directories(data / "2005/3/3");
    ASSERT_EQ(::mkfifo((data / "2005/3/3/sched.txt").c_str(), 0600), 0);
  };
  Records fewThenBlocked = {kDay, kWeekly, blocked, kMonths};
  Records manyThenBlocked = many;
  manyThenBlocked.push_back(blocked);
  manyThenBlocked.push_back(kDay);
  ASSERT_GT(std::size(many), AppendBatch::kFlushEachFileUpTo);

  const struct {
    Scenario scenario;
    std::size_t stopsAt;
  } cases[] = {
      {{"a few files, then a file where a year's folder must be", existing, fewThenBlocked,
        blockYear},
       2},
      {{"many files, then a file where a year's folder must be", existing, manyThenBlocked,
        blockYear},
       many.size()},
      {{"many files, then a folder where a file must be", existing, manyThenBlocked, folderForFile},
       many.size()},
      {{"a few files, then a pipe where a file must be", existing, fewThenBlocked, pipeForFile}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario.what);
    ExpectRefusedWhole(c.scenario, c.stopsAt, kOpenFailed);
  }
}

// The cache: each level a record went to is emptied (and read afresh by the next reader,
// which sees the new records); the others keep what they hold.
TEST(StoreBatch, EmptiesTheLevelsItAddedTo) {
  TempFolder folder;
  auto store = std::make_unique<ScheduleStore>();
  ClearScheduleStore(store.get());
  WriteBytes(folder.path() / "2004/5/7/sched.txt", Lines(kDay, 2));
  WriteBytes(folder.path() / "sched.txt", Lines(kYears, 3));
  const struct {
    const char* what;
    Records records;
    std::vector<SpanLevel> emptied;
  } cases[] = {
      {"one day", {kDay, kDay}, {SpanLevel::Day}},
      {"another day's file at the same level", {kDayBroken}, {SpanLevel::Day}},
      {"days and months", {kWeekly, kMonths}, {SpanLevel::Days, SpanLevel::Months}},
      {"every level",
       {kYears, kMonths, kWeekly, kDay},
       {SpanLevel::Years, SpanLevel::Months, SpanLevel::Days, SpanLevel::Day}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DayScheduleList list;
    CollectDaySchedules(folder.path(), 2004, 5, 7, 5, store.get(), &list);
    const int held = list.total;
    int32_t keys[kScheduleLevelCount];
    std::copy(std::begin(store->keys), std::end(store->keys), keys);
    ASSERT_TRUE(AddSchedules(folder.path(), c.records, store.get()));
    for (int level = 0; level < kScheduleLevelCount; ++level) {
      const bool emptied =
          std::find(c.emptied.begin(), c.emptied.end(), SpanLevel(level)) != c.emptied.end();
      EXPECT_EQ(store->keys[level], emptied ? 0 : keys[level]) << "level " << level;
      if (emptied) {
        EXPECT_EQ(store->counts[level], 0) << "level " << level;
      }
    }
    int onTheDay = 0;
    for (const ScheduleRecord& r : c.records) {
      onTheDay += DateMatches(r, 2004, 5, 7, 5) ? 1 : 0;
    }
    CollectDaySchedules(folder.path(), 2004, 5, 7, 5, store.get(), &list);
    EXPECT_EQ(list.total, held + onTheDay);
  }
}

}  // namespace
}  // namespace yk
