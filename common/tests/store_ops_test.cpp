// Adding, deleting and modifying schedules: the bytes on disk, the limits and their
// messages, failures that must leave the files as they were.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <thread>

#include "common/atomic_file.h"
#include "common/schedule_store.h"
#include "common/tests/store_test_support.h"
#include "common/utf16_line_file.h"
#include "platform/testing/message_recorder.h"

namespace yk {
namespace {

using platform::testing::MessageRecorder;
using testing::Le;
using testing::MakeRecord;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr char16_t kOpenFailed[] = u"スケジュールファイルを開く事が出来ませんでした";

class StoreOps : public ::testing::Test {
 protected:
  StoreOps() : store_(std::make_unique<ScheduleStore>()) {}

  const std::filesystem::path& data() const { return folder_.path(); }
  ScheduleStore* store() { return store_.get(); }
  std::string Bytes(const char* relative) const { return ReadBytes(data() / relative); }

  // A file of `n` distinct lines of one day, 7 May 2004.
  std::string DayLines(int n) const {
    std::u16string text;
    for (int i = 0; i < n; ++i) {
      text += u"(2004,05,07,10,00 2004,05,07,11,00 -1)(r" +
              std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
              std::u16string(1, static_cast<char16_t>(u'A' + i / 26)) + u")\r\n";
    }
    return Le(text);
  }

  TempFolder folder_;
  std::unique_ptr<ScheduleStore> store_;
  MessageRecorder messages_;
};

TEST_F(StoreOps, AddWritesByteExactLinesIntoTheRightFile) {
  struct Case {
    ScheduleRecord record;
    const char* file;
    std::u16string line;
  } cases[] = {
      {MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 30, -1, u"会議"), "2004/5/7/sched.txt",
       u"(2004,05,07,10,00 2004,05,07,11,30 -1)(会議)\r\n"},
      {MakeRecord(2004, 5, 1, 9, 0, 2004, 5, 3, 17, 0, 3, u"a"), "2004/5/sched.txt",
       u"(2004,05,01,09,00 2004,05,03,17,00 03)(a)\r\n"},
      {MakeRecord(2004, 4, 30, 0, 0, 2004, 5, 2, 0, 0, -2, u"b"), "2004/sched.txt",
       u"(2004,04,30,00,00 2004,05,02,00,00 -2)(b)\r\n"},
      {MakeRecord(2004, 12, 31, 22, 0, 2005, 1, 1, 2, 0, -1, u"c"), "sched.txt",
       u"(2004,12,31,22,00 2005,01,01,02,00 -1)(c)\r\n"},
      {MakeRecord(2003, 53, 5, 0, 0, 2006, 55, 10, 0, 0, -1, u"d"), "sched.txt",
       u"(2003,53,05,00,00 2006,55,10,00,00 -1)(d)\r\n"},
      {MakeRecord(2004, 53, 55, 0, 0, 2004, 55, 60, 0, 0, -1, u"e"), "2004/sched.txt",
       u"(2004,53,55,00,00 2004,55,60,00,00 -1)(e)\r\n"},
      {MakeRecord(2004, 5, 57, 0, 0, 2004, 5, 57, 0, 0, -1, u"f"), "2004/5/7/sched.txt",
       u"(2004,05,57,00,00 2004,05,57,00,00 -1)(f)\r\n"},
  };
  std::map<std::string, std::u16string> expected;
  for (const Case& c : cases) {
    ASSERT_TRUE(AddSchedule(data(), c.record, store())) << c.file;
    expected[c.file] += c.line;
  }
  for (const auto& [file, text] : expected) EXPECT_EQ(Bytes(file.c_str()), Le(text)) << file;
  EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(StoreOps, AddAfterALastLineWithoutLineEnd) {
  WriteBytes(data() / "2004/5/7/sched.txt", Le(u"(2004,05,07,10,00 2004,05,07,11,00 -1)(x)"));
  ASSERT_TRUE(
      AddSchedule(data(), MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"y"), store()));
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"), Le(u"(2004,05,07,10,00 2004,05,07,11,00 -1)(x)\r\n"
                                            u"(2004,05,07,00,00 2004,05,07,00,00 -1)(y)\r\n"));
  LoadLevel(SpanLevel::Day, 2004, 5, 7, data(), store());
  EXPECT_EQ(store()->counts[3], 2);
}

TEST_F(StoreOps, FullLevelsRefuseWithTheirMessageAndWriteNothing) {
  struct Case {
    const char* file;
    int capacity;
    std::u16string line;
    ScheduleRecord record;
    std::u16string message;
  } cases[] = {
      {"sched.txt", 300, u"(2003,01,01,00,00 2004,01,01,00,00 -1)(y)",
       MakeRecord(2003, 1, 1, 0, 0, 2004, 1, 1, 0, 0, -1, u"new"),
       u"年をまたぐスケジュールが300件を超えました。これ以上の記録は出来ません"},
      {"2004/sched.txt", 300, u"(2004,01,01,00,00 2004,02,01,00,00 -1)(m)",
       MakeRecord(2004, 1, 1, 0, 0, 2004, 2, 1, 0, 0, -1, u"new"),
       u"月をまたぐスケジュールが300件を超えました。これ以上の記録は出来ません"},
      {"2004/5/sched.txt", 300, u"(2004,05,01,00,00 2004,05,02,00,00 -1)(d)",
       MakeRecord(2004, 5, 1, 0, 0, 2004, 5, 2, 0, 0, -1, u"new"),
       u"日をまたぐスケジュールが300件を超えました。これ以上の記録は出来ません"},
      {"2004/5/7/sched.txt", 50, u"(2004,05,07,00,00 2004,05,07,00,00 -1)(1)",
       MakeRecord(2004, 5, 7, 0, 0, 2004, 5, 7, 0, 0, -1, u"new"),
       u"１日のスケジュールが50件を超えました。これ以上の記録は出来ません"},
  };
  for (const Case& c : cases) {
    std::u16string text;
    for (int i = 0; i < c.capacity; ++i) text += c.line + u"\r\n";
    WriteBytes(data() / c.file, Le(text));
    messages_.Clear();
    EXPECT_FALSE(AddSchedule(data(), c.record, store())) << c.file;
    EXPECT_EQ(Bytes(c.file), Le(text)) << c.file;
    ASSERT_EQ(messages_.texts().size(), 1u) << c.file;
    EXPECT_EQ(messages_.texts()[0], c.message);

    // One below the limit the record still goes in.
    std::u16string fewer;
    for (int i = 0; i < c.capacity - 1; ++i) fewer += c.line + u"\r\n";
    WriteBytes(data() / c.file, Le(fewer));
    ClearScheduleStore(store());
    EXPECT_TRUE(AddSchedule(data(), c.record, store())) << c.file;
  }
}

TEST_F(StoreOps, DeleteRemovesOnlyTheFirstEqualRecord) {
  auto a = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"same");
  auto b = MakeRecord(2004, 5, 7, 12, 0, 2004, 5, 7, 13, 0, -1, u"other");
  for (const auto& r : {a, b, a}) ASSERT_TRUE(AddSchedule(data(), r, store()));
  ASSERT_TRUE(DeleteSchedule(data(), a, store()));
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"), Le(u"(2004,05,07,12,00 2004,05,07,13,00 -1)(other)\r\n"
                                            u"(2004,05,07,10,00 2004,05,07,11,00 -1)(same)\r\n"));
  ASSERT_TRUE(DeleteSchedule(data(), a, store()));
  ASSERT_TRUE(DeleteSchedule(data(), b, store()));
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"), "") << "the last delete leaves an empty file";
  EXPECT_FALSE(DeleteSchedule(data(), b, store()));
  EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(StoreOps, DeleteOfAMissingRecordLeavesTheFileUntouched) {
  const std::string before = Le(u"junk\r\n(2004,05,07,10,00 2004,05,07,11,00 -1)(x)");
  WriteBytes(data() / "2004/5/7/sched.txt", before);
  auto y = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"y");
  EXPECT_FALSE(DeleteSchedule(data(), y, store()));
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"), before);
  EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(StoreOps, ARewriteDropsLinesThatDontParse) {
  WriteBytes(data() / "2004/5/7/sched.txt",
             Le(u"(2004,05,07,10,00 2004,05,07,11,00 -1)(a)\r\n"
                u"(2004,5,07,10,00 2004,05,07,11,30 -1)(one digit)\r\n"
                u"short\r\n"
                u"(2004,05,07,12,00 2004,05,07,13,00 03)(b)\r\n"));
  LoadLevel(SpanLevel::Day, 2004, 5, 7, data(), store());
  EXPECT_EQ(store()->counts[3], 2) << "malformed lines take no slot";
  ASSERT_TRUE(
      DeleteSchedule(data(), MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"a"), store()));
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"), Le(u"(2004,05,07,12,00 2004,05,07,13,00 03)(b)\r\n"));
}

TEST_F(StoreOps, ExistsComparesAllNumbersAndTheText) {
  auto r = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"会議");
  ASSERT_TRUE(AddSchedule(data(), r, store()));
  EXPECT_TRUE(ScheduleExists(data(), r, store()));
  auto otherText = r;
  SetRecordText(&otherText, u"会議 ");
  EXPECT_FALSE(ScheduleExists(data(), otherText, store()));
  auto otherPeriod = r;
  otherPeriod.period = 5;
  EXPECT_FALSE(ScheduleExists(data(), otherPeriod, store()));

  // A text handed over with raw line breaks is compared as it is stored.
  auto broken = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"a\r\nb");
  ASSERT_TRUE(AddSchedule(data(), broken, store()));
  EXPECT_TRUE(ScheduleExists(data(), broken, store()));
  EXPECT_TRUE(DeleteSchedule(data(), broken, store()));
  EXPECT_FALSE(ScheduleExists(data(), broken, store()));
}

TEST_F(StoreOps, ModifyInOneFileReplacesAndMovesToTheEnd) {
  auto a = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"a");
  auto b = MakeRecord(2004, 5, 7, 12, 0, 2004, 5, 7, 13, 0, -1, u"b");
  auto a2 = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"a2");
  ASSERT_TRUE(AddSchedule(data(), a, store()));
  ASSERT_TRUE(AddSchedule(data(), b, store()));
  ASSERT_TRUE(ModifySchedule(data(), a, a2, store()));
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"), Le(u"(2004,05,07,12,00 2004,05,07,13,00 -1)(b)\r\n"
                                            u"(2004,05,07,10,00 2004,05,07,11,00 -1)(a2)\r\n"));
}

// A day file its user can't read (one left by another user, say) shows no records; changing
// a record of that day must not put a file of the one new record in its place.  Run by a
// user who doesn't own the file: when the tests run as root, a child process drops to
// another user for the change.
TEST_F(StoreOps, ModifyIntoAnUnreadableFileKeepsItsRecords) {
  const std::string lines = DayLines(3);
  WriteBytes(data() / "2004/5/7/sched.txt", lines);
  ::chmod((data() / "2004/5/7/sched.txt").c_str(), 0200);
  for (const char* folder : {"", "2004", "2004/5", "2004/5/7"}) {
    ::chmod((data() / folder).c_str(), 0777);
  }
  auto old = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"rAA");
  auto changed = MakeRecord(2004, 5, 7, 12, 0, 2004, 5, 7, 13, 0, -1, u"changed");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    ::_exit(ModifySchedule(data(), old, changed, store()) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the change is reported as failed";
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"), lines);
}

TEST_F(StoreOps, ModifyAcrossFilesMovesTheRecord) {
  auto day = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"x");
  auto days = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 9, 11, 0, -1, u"x");
  ASSERT_TRUE(AddSchedule(data(), day, store()));
  ASSERT_TRUE(ModifySchedule(data(), day, days, store()));
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"), "");
  EXPECT_EQ(Bytes("2004/5/sched.txt"), Le(u"(2004,05,07,10,00 2004,05,09,11,00 -1)(x)\r\n"));

  // A missing old record is no error: the new one is added.
  auto other = MakeRecord(2004, 6, 1, 0, 0, 2004, 6, 1, 0, 0, -1, u"y");
  ASSERT_TRUE(ModifySchedule(data(), day, other, store()));
  EXPECT_EQ(Bytes("2004/6/1/sched.txt"), Le(u"(2004,06,01,00,00 2004,06,01,00,00 -1)(y)\r\n"));
}

TEST_F(StoreOps, ModifyIntoAFullLevelKeepsTheOldRecord) {
  auto old = MakeRecord(2004, 5, 8, 10, 0, 2004, 5, 8, 11, 0, -1, u"old");
  ASSERT_TRUE(AddSchedule(data(), old, store()));
  const std::string full = DayLines(50);
  WriteBytes(data() / "2004/5/7/sched.txt", full);
  const std::string oldBytes = Bytes("2004/5/8/sched.txt");
  auto moved = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"new");
  EXPECT_FALSE(ModifySchedule(data(), old, moved, store()));
  EXPECT_EQ(Bytes("2004/5/8/sched.txt"), oldBytes);
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"), full);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::u16string>{
                u"１日のスケジュールが50件を超えました。これ以上の記録は出来ません"});

  // In a full file, replacing one of its own records needs no extra room.
  auto inFull = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"rAA");
  messages_.Clear();
  EXPECT_TRUE(ModifySchedule(data(), inFull, moved, store()));
  LoadLevel(SpanLevel::Day, 2004, 5, 7, data(), store());
  EXPECT_EQ(store()->counts[3], 50);
  EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(StoreOps, FailedWritesLeaveTheFilesAndReportTheOpenFailure) {
  auto a = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"a");
  auto b = MakeRecord(2004, 5, 7, 12, 0, 2004, 5, 7, 13, 0, -1, u"b");
  auto moved = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 9, 11, 0, -1, u"a\nline break");
  auto sameFile = MakeRecord(2004, 5, 7, 14, 0, 2004, 5, 7, 15, 0, -1, u"a");
  struct Case {
    const char* operation;
    std::function<bool()> run;
    int failingRename;  // the first rename of a schedule file (a move's intent comes first)
  } cases[] = {
      {"delete", [&]() { return DeleteSchedule(data(), a, store()); }, 0},
      {"modify in one file", [&]() { return ModifySchedule(data(), a, sameFile, store()); }, 0},
      {"modify across files", [&]() { return ModifySchedule(data(), a, moved, store()); }, 1},
  };
  for (const Case& c : cases) {
    ClearScheduleStore(store());
    std::filesystem::remove_all(data() / "2004");
    ASSERT_TRUE(AddSchedule(data(), a, store()));
    ASSERT_TRUE(AddSchedule(data(), b, store()));
    const std::string before = Bytes("2004/5/7/sched.txt");
    messages_.Clear();
    // Only that rename fails: taking back a half-done change must still work.
    auto renames = std::make_shared<int>(0);
    AtomicFailureHook previous = SetAtomicFailureHook([renames, &c](AtomicStep step) {
      return step == AtomicStep::kRename && (*renames)++ == c.failingRename;
    });
    EXPECT_FALSE(c.run()) << c.operation;
    SetAtomicFailureHook(previous);
    EXPECT_EQ(Bytes("2004/5/7/sched.txt"), before) << c.operation;
    EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{kOpenFailed}) << c.operation;
    // Whatever was tried, the month file holds no copy of the moved record.
    LoadLevel(SpanLevel::Days, 2004, 5, 0, data(), store());
    EXPECT_EQ(store()->counts[2], 0) << c.operation;
    // And the cache shows the files as they are.
    EXPECT_TRUE(ScheduleExists(data(), a, store())) << c.operation;
    EXPECT_FALSE(std::filesystem::exists(MoveIntentPath(data()))) << c.operation;
  }
}

TEST_F(StoreOps, AFileThatCantBeOpenedIsReported) {
  std::filesystem::create_directories(data() / "2004/5/7/sched.txt");  // a folder in the way
  auto r = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"a");
  EXPECT_FALSE(AddSchedule(data(), r, store()));
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{kOpenFailed});

  // Modify into that file fails the same way and keeps the old record.
  auto old = MakeRecord(2004, 5, 8, 10, 0, 2004, 5, 8, 11, 0, -1, u"a");
  ASSERT_TRUE(AddSchedule(data(), old, store()));
  const std::string oldBytes = Bytes("2004/5/8/sched.txt");
  messages_.Clear();
  EXPECT_FALSE(ModifySchedule(data(), old, r, store()));
  EXPECT_EQ(Bytes("2004/5/8/sched.txt"), oldBytes);
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{kOpenFailed});
}

TEST_F(StoreOps, NumbersThatDontFitTheirColumnsAreRefused) {
  auto r = MakeRecord(2004, 5, 7, 100, 0, 2004, 5, 7, 11, 0, -1, u"a");
  EXPECT_FALSE(AddSchedule(data(), r, store()));
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"), "<missing>");
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{kOpenFailed});
}

TEST_F(StoreOps, ALevelKeepsItsFileUntilAWriteOrARefresh) {
  LoadLevel(SpanLevel::Day, 2004, 5, 7, data(), store());
  EXPECT_EQ(store()->counts[3], 0);
  EXPECT_NE(store()->keys[3], 0) << "a missing file is held with no records";

  // A file changed behind the store's back is not seen until the host refreshes.
  WriteBytes(data() / "2004/5/7/sched.txt", DayLines(3));
  EnsureLevel(SpanLevel::Day, 2004, 5, 7, data(), store());
  EXPECT_EQ(store()->counts[3], 0);
  ClearScheduleStore(store());
  EnsureLevel(SpanLevel::Day, 2004, 5, 7, data(), store());
  EXPECT_EQ(store()->counts[3], 3);

  // Asking for another day's file replaces what the level holds.
  EnsureLevel(SpanLevel::Day, 2004, 5, 8, data(), store());
  EXPECT_EQ(store()->counts[3], 0);
}

TEST_F(StoreOps, LoadStopsWhenTheLevelIsFull) {
  WriteBytes(data() / "2004/5/7/sched.txt", DayLines(60));
  LoadLevel(SpanLevel::Day, 2004, 5, 7, data(), store());
  ASSERT_EQ(store()->counts[3], 50);
  EXPECT_EQ(RecordText(LevelRecords(store(), SpanLevel::Day)[49]), u"rXB");
  EXPECT_EQ(store()->counts[0], 0) << "other levels untouched";
}

// A file with more records than the level's slots (written by hand or by another tool)
// keeps the records past them when one of the first ones is deleted or changed.
TEST_F(StoreOps, ARewriteKeepsTheRecordsPastAFullLevel) {
  const std::string all = DayLines(60);
  const std::size_t lineBytes = Le(u"(2004,05,07,10,00 2004,05,07,11,00 -1)(rAA)\r\n").size();
  WriteBytes(data() / "2004/5/7/sched.txt", all);
  auto first = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"rAA");
  ASSERT_TRUE(DeleteSchedule(data(), first, store()));
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"), all.substr(lineBytes));

  auto second = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"rBA");
  auto changed = MakeRecord(2004, 5, 7, 12, 0, 2004, 5, 7, 13, 0, -1, u"changed");
  ASSERT_TRUE(ModifySchedule(data(), second, changed, store()));
  EXPECT_EQ(Bytes("2004/5/7/sched.txt"),
            all.substr(2 * lineBytes) + Le(u"(2004,05,07,12,00 2004,05,07,13,00 -1)(changed)\r\n"));
  EXPECT_TRUE(messages_.texts().empty());
}

// A private work area of the same layout works as the shared cache does.
TEST_F(StoreOps, AWorkAreaLoadsIndependently) {
  ASSERT_TRUE(
      AddSchedule(data(), MakeRecord(2004, 1, 1, 0, 0, 2005, 1, 1, 0, 0, -1, u"w"), store()));
  auto work = std::make_unique<ScheduleStore>();
  LoadLevel(SpanLevel::Years, 0, 0, 0, data(), work.get());
  ASSERT_EQ(work->counts[0], 1);
  EXPECT_EQ(RecordText(work->records[0]), u"w");
}

// Writers killed at random moments while modifying records in one file: every other record
// stays, and the modified one is there exactly once, old or new.
TEST_F(StoreOps, AKilledWriterLosesNoRecord) {
  const std::string initial = DayLines(40);
  WriteBytes(data() / "2004/5/7/sched.txt", initial);
  auto a = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"rAA");
  auto b = MakeRecord(2004, 5, 7, 10, 0, 2004, 5, 7, 11, 0, -1, u"changed");
  std::mt19937 random(777);
  int changedRounds = 0;
  int killedMidSave = 0;
  const int rounds = 40;
  for (int round = 0; round < rounds; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      auto own = std::make_unique<ScheduleStore>();
      while (true) {
        bool forward = ScheduleExists(data(), a, own.get());
        (void)ModifySchedule(data(), forward ? a : b, forward ? b : a, own.get());
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);

    auto lines = ReadUtf16Lines(data() / "2004/5/7/sched.txt");
    ASSERT_TRUE(lines.has_value());
    ASSERT_EQ(lines->size(), 40u) << "round " << round;
    std::set<std::u16string> texts;
    for (const auto& line : *lines) {
      ScheduleRecord r{};
      ASSERT_TRUE(ParseScheduleLine(line, &r)) << "round " << round;
      texts.insert(std::u16string(RecordText(r)));
    }
    EXPECT_EQ(texts.size(), 40u) << "round " << round;
    EXPECT_EQ(texts.count(u"rAA") + texts.count(u"changed"), 1u) << "round " << round;
    changedRounds += static_cast<int>(texts.count(u"changed"));
    int entries = 0;
    for ([[maybe_unused]] const auto& e :
         std::filesystem::directory_iterator(data() / "2004/5/7")) {
      ++entries;
    }
    killedMidSave += entries > 1 ? 1 : 0;  // the writer's temporary file is there
    EXPECT_EQ(texts.count(u"rNA"), 1u) << "round " << round;
  }
  // The writers really wrote, and were caught in the middle of a save.
  EXPECT_GT(changedRounds, 0);
  EXPECT_GT(killedMidSave, 0);
}

}  // namespace
}  // namespace yk
