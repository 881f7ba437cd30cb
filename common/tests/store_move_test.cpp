// Moving a record to another file: the move intent that makes the two writes one step,
// settling what a crash left behind, and writers killed at random moments.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

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

using Lines = std::vector<std::u16string>;

// The record that moves, as it stands in its day file and after the move (7 to 9 May, in
// the month's file), and lines around it.
const std::u16string kX = u"(2004,05,07,10,00 2004,05,07,11,00 -1)(x)";
const std::u16string kMoved = u"(2004,05,07,10,00 2004,05,09,11,00 -1)(x)";
const std::u16string kNextDay = u"(2004,05,08,10,00 2004,05,08,11,00 -1)(x)";
const std::u16string kA = u"(2004,05,07,12,00 2004,05,07,13,00 -1)(a)";
const std::u16string kC = u"(2004,05,01,00,00 2004,05,03,00,00 -1)(c)";
constexpr char kDayFile[] = "2004/5/7/sched.txt";
constexpr char kMonthFile[] = "2004/5/sched.txt";
constexpr char kNextDayFile[] = "2004/5/8/sched.txt";

ScheduleRecord RecordOf(const std::u16string& line) {
  ScheduleRecord record{};
  EXPECT_TRUE(ParseScheduleLine(line, &record));
  return record;
}

std::string Bytes(const Lines& lines) {
  std::string bytes;
  for (const std::u16string& line : lines) bytes += EncodeUtf16Line(line);
  return bytes;
}

// Where a child process is killed: right before `step` of the `replacement`-th whole-file
// replacement it makes (counted from 1).
struct CrashPoint {
  int replacement;
  AtomicStep step;
};

// Runs `work` in a child process that is killed (SIGKILL) at `at`.  True when it was
// killed there, false when the work was done before.
bool RunKilledAt(CrashPoint at, const std::function<void()>& work) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    auto replacements = std::make_shared<int>(0);
    SetAtomicFailureHook([at, replacements](AtomicStep step) {
      if (step == AtomicStep::kCreateTemp) ++*replacements;
      if (*replacements == at.replacement && step == at.step) ::raise(SIGKILL);
      return false;
    });
    work();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

constexpr AtomicStep kSteps[] = {AtomicStep::kCreateTemp, AtomicStep::kWrite, AtomicStep::kFlush,
                                 AtomicStep::kRename, AtomicStep::kSyncFolder};

class StoreMoves : public ::testing::Test {
 protected:
  const std::filesystem::path& data() const { return folder_.path(); }
  std::string Read(const char* file) const { return ReadBytes(data() / file); }
  void Put(const char* file, const Lines& lines) const { WriteBytes(data() / file, Bytes(lines)); }
  bool IntentLeft() const { return std::filesystem::exists(MoveIntentPath(data())); }
  void Reset() const {
    for (const auto& entry : std::filesystem::directory_iterator(data())) {
      std::filesystem::remove_all(entry.path());
    }
  }

  // Moves `from` to `to` in a child killed at `at`.
  bool MoveKilledAt(CrashPoint at, const std::u16string& from, const std::u16string& to) const {
    return RunKilledAt(at, [&]() {
      auto store = std::make_unique<ScheduleStore>();
      (void)ModifySchedule(data(), RecordOf(from), RecordOf(to), store.get());
    });
  }

  // The state the issue is about: the moved record stored in its new file and still in its
  // old one, with the intent in place.  The day file holds two equal records.
  void LeaveHalfMove() const {
    Reset();
    Put(kDayFile, {kX, kA, kX});
    Put(kMonthFile, {kMoved});
    ASSERT_TRUE(MoveKilledAt({2, AtomicStep::kCreateTemp}, kX, kMoved));
    ASSERT_TRUE(IntentLeft());
    ASSERT_EQ(Read(kMonthFile), Bytes({kMoved, kMoved}));
  }

  TempFolder folder_{TempFolder::Medium::kMemory};  // many writes, each flushed
  MessageRecorder messages_;
};

// A move killed before each step of its writes (and one that ran to its end), then settled:
// the record is either where it was or where it went, once, and every other line stays.
// Killed before its new line was stored the move vanishes; killed after, it finishes.
TEST_F(StoreMoves, ACrashAtAnyStepOfAMoveLeavesTheRecordOnce) {
  struct Case {
    const char* name;
    Lines oldLines;
    const char* newFile;
    Lines newLines;
    std::u16string to;
    Lines oldAfter;  // the old file once the move is done
  } cases[] = {
      {"day to month file", {kA, kX}, kMonthFile, {kC}, kMoved, {kA}},
      {"equal lines in both files", {kX, kA, kX}, kMonthFile, {kMoved, kC}, kMoved, {kA, kX}},
      {"to the next day, within one level, into a new file",
       {kX, kA},
       kNextDayFile,
       {},
       kNextDay,
       {kA}},
  };
  for (const Case& c : cases) {
    const std::string newBefore = c.newLines.empty() ? "<missing>" : Bytes(c.newLines);
    Lines newAfter = c.newLines;
    newAfter.push_back(c.to);
    bool movedYet = false;
    int completed = 0, dropped = 0;
    for (int replacement = 1; replacement <= 3; ++replacement) {
      for (AtomicStep step : kSteps) {
        const std::string where = std::string(c.name) + ", replacement " +
                                  std::to_string(replacement) + " step " +
                                  std::to_string(static_cast<int>(step));
        Reset();
        Put(kDayFile, c.oldLines);
        if (!c.newLines.empty()) Put(c.newFile, c.newLines);
        const bool killed = MoveKilledAt({replacement, step}, kX, c.to);

        MoveSettlement settled = SettleScheduleMove(data());
        completed += settled == MoveSettlement::kCompleted ? 1 : 0;
        dropped += settled == MoveSettlement::kDropped ? 1 : 0;
        EXPECT_FALSE(IntentLeft()) << where;
        const bool moved = Read(kDayFile) == Bytes(c.oldAfter);
        if (moved) {
          EXPECT_EQ(Read(c.newFile), Bytes(newAfter)) << where;
        } else {
          EXPECT_EQ(Read(kDayFile), Bytes(c.oldLines)) << where;
          EXPECT_EQ(Read(c.newFile), newBefore) << where;
        }
        EXPECT_TRUE(moved || !movedYet) << where << ": once moved, a later crash can't undo it";
        EXPECT_TRUE(moved || killed) << where << ": a move that ran to its end is done";
        movedYet = movedYet || moved;
      }
    }
    EXPECT_GT(completed, 0) << c.name;
    EXPECT_GT(dropped, 0) << c.name;
  }
  EXPECT_TRUE(messages_.messages().empty());
}

// What settling does with each state a crash can leave.
TEST_F(StoreMoves, SettlingFinishesOnlyAMoveWhoseNewLineIsStored) {
  struct Case {
    const char* name;
    CrashPoint crash;
    MoveSettlement settled;
    Lines dayAfter;
    Lines monthAfter;
  } cases[] = {
      {"new line present, old line still there",
       {2, AtomicStep::kCreateTemp},
       MoveSettlement::kCompleted,
       {kA, kX},
       {kMoved, kMoved}},
      {"new line absent: the intent was all that was written",
       {1, AtomicStep::kSyncFolder},
       MoveSettlement::kDropped,
       {kX, kA, kX},
       {kMoved}},
      {"old line already taken out",
       {2, AtomicStep::kSyncFolder},
       MoveSettlement::kDropped,
       {kA, kX},
       {kMoved, kMoved}},
  };
  for (const Case& c : cases) {
    Reset();
    Put(kDayFile, {kX, kA, kX});
    Put(kMonthFile, {kMoved});  // the new line is there once before the move
    ASSERT_TRUE(MoveKilledAt(c.crash, kX, kMoved)) << c.name;
    ASSERT_TRUE(IntentLeft()) << c.name;
    EXPECT_EQ(SettleScheduleMove(data()), c.settled) << c.name;
    EXPECT_EQ(Read(kDayFile), Bytes(c.dayAfter)) << c.name;
    EXPECT_EQ(Read(kMonthFile), Bytes(c.monthAfter)) << c.name;
    EXPECT_FALSE(IntentLeft()) << c.name;
    EXPECT_EQ(SettleScheduleMove(data()), MoveSettlement::kNone) << c.name;
    EXPECT_EQ(Read(kDayFile), Bytes(c.dayAfter)) << c.name << ": settling twice";
  }
}

// Settling killed before each of its own steps, then run again (by the next reader): the
// move is finished exactly once.  Killed after its rewrite but before the intent is gone,
// the second run must not take out the day's other equal record.
TEST_F(StoreMoves, AnInterruptedSettlingCanBeRunAgain) {
  for (AtomicStep step : kSteps) {
    LeaveHalfMove();
    EXPECT_TRUE(RunKilledAt({1, step}, [&]() {
      auto store = std::make_unique<ScheduleStore>();
      LoadLevel(SpanLevel::Years, 0, 0, 0, data(), store.get());
    })) << static_cast<int>(step);

    auto store = std::make_unique<ScheduleStore>();
    DayScheduleList list;
    CollectDaySchedules(data(), 2004, 5, 7, 5, store.get(), &list);
    EXPECT_EQ(list.total, 4) << "x, a and the moved x twice";
    EXPECT_EQ(Read(kDayFile), Bytes({kA, kX})) << static_cast<int>(step);
    EXPECT_EQ(Read(kMonthFile), Bytes({kMoved, kMoved})) << static_cast<int>(step);
    EXPECT_FALSE(IntentLeft());
  }
}

// A date shown from levels read before the crash: the level whose file settling changes is
// read again, so the list shows every record once.
TEST_F(StoreMoves, ADateCollectedWhileSettlingShowsEveryRecordOnce) {
  Put(kDayFile, {kX, kA, kX});
  Put(kMonthFile, {kMoved});
  auto store = std::make_unique<ScheduleStore>();
  LoadLevel(SpanLevel::Day, 2004, 5, 7, data(), store.get());
  ASSERT_TRUE(MoveKilledAt({2, AtomicStep::kCreateTemp}, kX, kMoved));
  DayScheduleList list;
  CollectDaySchedules(data(), 2004, 5, 7, 5, store.get(), &list);
  EXPECT_EQ(list.total, 4) << "x, a and the moved x twice";
  EXPECT_FALSE(IntentLeft());
}

// Files changed after the crash (by hand, or by another program) no longer tell what the
// move did: settling then leaves them as they are.
TEST_F(StoreMoves, AnIntentThatNoLongerFitsItsFilesChangesNothing) {
  struct Case {
    const char* name;
    const char* file;
    Lines lines;
  } cases[] = {
      {"an old line taken out", kDayFile, {kA, kX}},
      {"an old line added", kDayFile, {kX, kA, kX, kX}},
      {"the new line taken out", kMonthFile, {kMoved}},
      {"another new line added", kMonthFile, {kMoved, kMoved, kMoved}},
  };
  for (const Case& c : cases) {
    LeaveHalfMove();
    Put(c.file, c.lines);
    const std::string day = Read(kDayFile), month = Read(kMonthFile);
    EXPECT_EQ(SettleScheduleMove(data()), MoveSettlement::kDropped) << c.name;
    EXPECT_EQ(Read(kDayFile), day) << c.name;
    EXPECT_EQ(Read(kMonthFile), month) << c.name;
    EXPECT_FALSE(IntentLeft()) << c.name;
  }
}

// A kill can cut the appended line short.  Whatever of it reads as the new line finishes
// the move; a piece that doesn't is taken off again, and nothing else is.
TEST_F(StoreMoves, APieceOfTheNewLineIsCutOff) {
  const std::size_t line = EncodeUtf16Line(kMoved).size();
  struct Case {
    const char* name;
    std::string monthBefore;
    std::size_t keep;  // bytes of the append that reached the file
    std::string junk;  // written instead of them, when not empty
    MoveSettlement settled;
  } cases[] = {
      {"all but the LF", Bytes({kC}), line - 2, "", MoveSettlement::kCompleted},
      {"all but CR LF", Bytes({kC}), line - 4, "", MoveSettlement::kCompleted},
      {"the closing parenthesis lost", Bytes({kC}), line - 6, "", MoveSettlement::kDropped},
      {"one unit", Bytes({kC}), 2, "", MoveSettlement::kDropped},
      {"one byte", Bytes({kC}), 1, "", MoveSettlement::kDropped},
      {"after a last line without line end", Le(kC), 6, "", MoveSettlement::kDropped},
      {"something else at the end", Bytes({kC}), 0, Le(u"(zz"), MoveSettlement::kDropped},
  };
  for (const Case& c : cases) {
    Reset();
    Put(kDayFile, {kX, kA});
    WriteBytes(data() / kMonthFile, c.monthBefore);
    ASSERT_TRUE(MoveKilledAt({2, AtomicStep::kCreateTemp}, kX, kMoved)) << c.name;
    const std::string appended = Read(kMonthFile);
    const std::string torn =
        c.junk.empty() ? appended.substr(0, c.monthBefore.size() + c.keep) : c.monthBefore + c.junk;
    WriteBytes(data() / kMonthFile, torn);

    EXPECT_EQ(SettleScheduleMove(data()), c.settled) << c.name;
    if (c.settled == MoveSettlement::kCompleted) {
      EXPECT_EQ(Read(kDayFile), Bytes({kA})) << c.name;
      EXPECT_EQ(Read(kMonthFile), torn) << c.name;
    } else {
      EXPECT_EQ(Read(kDayFile), Bytes({kX, kA})) << c.name;
      EXPECT_EQ(Read(kMonthFile), c.junk.empty() ? c.monthBefore : torn) << c.name;
    }
  }
}

// An intent that isn't whole and sound is removed and no file is touched, although the
// files would have the settling take a line out.
TEST_F(StoreMoves, ABrokenIntentTouchesNoFile) {
  struct Case {
    const char* name;
    std::function<void(Lines*)> spoil;
  } cases[] = {
      {"no lines", [](Lines* l) { l->clear(); }},
      {"the end line missing", [](Lines* l) { l->pop_back(); }},
      {"another first line", [](Lines* l) { (*l)[0] = u"schedule move 2"; }},
      {"a count that isn't a number", [](Lines* l) { (*l)[3] = u"1x"; }},
      {"a negative count", [](Lines* l) { (*l)[6] = u"-1"; }},
      {"another file than the line's", [](Lines* l) { (*l)[1] = u"2004/5/8/sched.txt"; }},
      {"a file outside the data folder", [](Lines* l) { (*l)[1] = u"../sched.txt"; }},
      {"an old line that doesn't parse", [](Lines* l) { (*l)[2] = u"(x)"; }},
      {"the same file twice",
       [](Lines* l) {
         (*l)[4] = (*l)[1];
         (*l)[5] = (*l)[2];
       }},
  };
  for (const Case& c : cases) {
    LeaveHalfMove();
    auto lines = ReadUtf16Lines(MoveIntentPath(data()));
    ASSERT_TRUE(lines.has_value());
    ASSERT_EQ(lines->size(), 9u);
    c.spoil(&*lines);
    WriteBytes(MoveIntentPath(data()), Bytes(*lines));
    const std::string day = Read(kDayFile), month = Read(kMonthFile);
    EXPECT_EQ(SettleScheduleMove(data()), MoveSettlement::kDropped) << c.name;
    EXPECT_EQ(Read(kDayFile), day) << c.name;
    EXPECT_EQ(Read(kMonthFile), month) << c.name;
    EXPECT_FALSE(IntentLeft()) << c.name;
  }
  WriteBytes(MoveIntentPath(data()), "\x01\x02\x03");
  EXPECT_EQ(SettleScheduleMove(data()), MoveSettlement::kDropped) << "not text";
}

// A settling that can't write the old file keeps the intent and doesn't try again at every
// read of the same process; the next process (the host's next start) finishes it.
TEST_F(StoreMoves, ASettlingThatFailsWaitsForTheNextStart) {
  LeaveHalfMove();
  const std::string day = Read(kDayFile);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto steps = std::make_shared<int>(0);
    SetAtomicFailureHook([steps](AtomicStep step) {
      ++*steps;
      return step == AtomicStep::kRename;
    });
    bool failed = SettleScheduleMove(data()) == MoveSettlement::kFailed;
    int stepsOfFirst = *steps;
    auto store = std::make_unique<ScheduleStore>();
    LoadLevel(SpanLevel::Day, 2004, 5, 7, data(), store.get());
    bool failedAgain = SettleScheduleMove(data()) == MoveSettlement::kFailed;
    ::_exit(failed && stepsOfFirst > 0 && failedAgain && *steps == stepsOfFirst ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "failed once, and not tried again";
  EXPECT_EQ(Read(kDayFile), day);
  ASSERT_TRUE(IntentLeft());

  EXPECT_EQ(SettleScheduleMove(data()), MoveSettlement::kCompleted);
  EXPECT_EQ(Read(kDayFile), Bytes({kA, kX}));
}

// A move writes its intent only while it runs, and only when a record changes files.
TEST_F(StoreMoves, OnlyAMoveBetweenFilesWritesAnIntent) {
  struct Case {
    const char* name;
    std::u16string from;
    std::u16string to;
    int replacements;  // whole-file replacements the change makes
  } cases[] = {
      {"to another file", kX, kMoved, 2},
      {"within its file", kX, u"(2004,05,07,14,00 2004,05,07,15,00 -1)(x)", 1},
      {"a record not there: an addition", u"(2004,05,07,14,00 2004,05,07,15,00 -1)(gone)", kMoved,
       0},
  };
  for (const Case& c : cases) {
    Reset();
    Put(kDayFile, {kX, kA});
    auto replacements = std::make_shared<int>(0);
    auto seenIntent = std::make_shared<bool>(false);
    AtomicFailureHook previous = SetAtomicFailureHook([&, replacements](AtomicStep step) {
      if (step == AtomicStep::kCreateTemp) ++*replacements;
      if (step == AtomicStep::kCreateTemp && IntentLeft()) *seenIntent = true;
      return false;
    });
    auto store = std::make_unique<ScheduleStore>();
    EXPECT_TRUE(ModifySchedule(data(), RecordOf(c.from), RecordOf(c.to), store.get())) << c.name;
    SetAtomicFailureHook(previous);
    EXPECT_EQ(*replacements, c.replacements) << c.name;
    EXPECT_EQ(*seenIntent, c.replacements == 2) << c.name << ": the intent is there meanwhile";
    EXPECT_FALSE(IntentLeft()) << c.name;
  }
}

// When taking the old line out fails and so does taking the new one back, both stay and so
// does the intent: the next settling finishes the move the user asked for.
TEST_F(StoreMoves, AMoveWhoseWritesBothFailIsFinishedLater) {
  Put(kDayFile, {kX, kA});
  auto renames = std::make_shared<int>(0);
  AtomicFailureHook previous = SetAtomicFailureHook(
      [renames](AtomicStep step) { return step == AtomicStep::kRename && (*renames)++ > 0; });
  auto store = std::make_unique<ScheduleStore>();
  EXPECT_FALSE(ModifySchedule(data(), RecordOf(kX), RecordOf(kMoved), store.get()));
  SetAtomicFailureHook(previous);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::u16string>{u"スケジュールファイルを開く事が出来ませんでした"});
  EXPECT_EQ(Read(kDayFile), Bytes({kX, kA}));
  EXPECT_EQ(Read(kMonthFile), Bytes({kMoved}));
  ASSERT_TRUE(IntentLeft());

  EXPECT_TRUE(ScheduleExists(data(), RecordOf(kMoved), store.get()));
  EXPECT_FALSE(ScheduleExists(data(), RecordOf(kX), store.get()))
      << "reading the day's file settled the move";
  EXPECT_EQ(Read(kDayFile), Bytes({kA}));
}

// Writers killed at random moments while moving records around: between days, into spans
// of days, months and years, and within a file.  After each kill a fresh store reads the
// tree: every record is there exactly once (the two equal ones twice) and no line is torn.
TEST_F(StoreMoves, KilledMoversLeaveEveryRecordOnce) {
  struct Place {
    int startYear, startMonth, startDay, startHour, endYear, endMonth, endDay, endHour;
  };
  static constexpr Place kPlaces[] = {
      {2004, 5, 7, 10, 2004, 5, 7, 11},    // 7 May
      {2004, 5, 7, 14, 2004, 5, 7, 15},    // 7 May, another time: the same file
      {2004, 5, 8, 10, 2004, 5, 8, 11},    // 8 May: another file of the same level
      {2004, 5, 7, 10, 2004, 5, 9, 11},    // 7 to 9 May
      {2004, 4, 30, 10, 2004, 5, 2, 11},   // 30 April to 2 May
      {2003, 12, 31, 10, 2004, 5, 7, 11},  // across a new year
  };
  const std::vector<std::u16string> texts = {u"a", u"b", u"c", u"d", u"twin", u"twin"};
  auto at = [](int place, const std::u16string& text) {
    const Place& p = kPlaces[place];
    return MakeRecord(p.startYear, p.startMonth, p.startDay, p.startHour, 0, p.endYear, p.endMonth,
                      p.endDay, p.endHour, 0, -1, text);
  };
  // The tree's files, each with a place whose records it holds.
  std::vector<std::pair<std::filesystem::path, int>> files;
  for (int place = 0; place < static_cast<int>(std::size(kPlaces)); ++place) {
    auto file = ScheduleFilePathOf(data(), at(place, u""));
    if (std::none_of(files.begin(), files.end(), [&](const auto& f) { return f.first == file; })) {
      files.emplace_back(file, place);
    }
  }

  std::mt19937 random(16);
  std::vector<ScheduleRecord> records;
  auto store = std::make_unique<ScheduleStore>();
  for (const std::u16string& text : texts) {
    records.push_back(at(text == u"twin" ? 0 : static_cast<int>(random() % 6), text));
    ASSERT_TRUE(AddSchedule(data(), records.back(), store.get()));
  }
  // Moves records one after the other for ever (or `count` times).
  auto mover = [&](std::vector<ScheduleRecord> current, unsigned seed, int count) {
    std::mt19937 choose(seed);
    auto own = std::make_unique<ScheduleStore>();
    for (int done = 0; count < 0 || done < count; ++done) {
      std::size_t i = choose() % current.size();
      ScheduleRecord to = at(static_cast<int>(choose() % 6), texts[i]);
      if (ModifySchedule(data(), current[i], to, own.get())) current[i] = to;
    }
  };

  // Every line of every file whole and readable (whether or not a move was settled).
  auto readLines = [&](std::vector<ScheduleRecord>* found) {
    for (const auto& entry : files) {
      const std::filesystem::path& file = entry.first;
      const std::string bytes = ReadBytes(file);
      if (bytes == "<missing>" || bytes.empty()) continue;
      EXPECT_EQ(bytes.size() % 2, 0u) << file;
      EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\r\0\n\0", 4)) << file;
      ForEachUtf16LineInBytes(bytes, [&](std::u16string_view line) {
        ScheduleRecord r{};
        EXPECT_TRUE(ParseScheduleLine(line, &r)) << file;
        if (found != nullptr) found->push_back(r);
        return true;
      });
    }
  };
  auto fresh = std::make_unique<ScheduleStore>();
  // A fresh store reads the tree, file after file: every record once, the twins twice.
  // Returns the records in the order of `texts`, for the next mover.
  auto readFresh = [&](int round) {
    std::vector<ScheduleRecord> found;
    ClearScheduleStore(fresh.get());
    for (const auto& entry : files) {
      const ScheduleRecord probe = at(entry.second, u"");
      const SpanLevel level = SpanLevelOf(probe);
      LoadLevel(level, probe.startYear, probe.startMonth, probe.startDay, data(), fresh.get());
      const ScheduleRecord* cached = LevelRecords(fresh.get(), level);
      found.insert(found.end(), cached, cached + fresh->counts[static_cast<int>(level)]);
    }
    EXPECT_FALSE(IntentLeft()) << "round " << round;
    readLines(nullptr);
    auto rank = [&](const ScheduleRecord& r) {
      return std::find(texts.begin(), texts.end(), RecordText(r)) - texts.begin();
    };
    std::stable_sort(found.begin(), found.end(),
                     [&](const auto& a, const auto& b) { return rank(a) < rank(b); });
    std::vector<std::u16string> foundTexts;
    for (const ScheduleRecord& r : found) foundTexts.emplace_back(RecordText(r));
    EXPECT_EQ(foundTexts, texts) << "round " << round;
    return found;
  };

  // How long a move takes here, so that the kills fall anywhere within the first few.
  const auto start = std::chrono::steady_clock::now();
  mover(records, 1, 20);
  const auto perMove = (std::chrono::steady_clock::now() - start) / 20;
  const auto window = std::chrono::duration_cast<std::chrono::microseconds>(perMove * 3);
  records = readFresh(-1);

  int kills = 0, intentsLeft = 0, doublesSeen = 0;
  for (int round = 0; round < 1000; ++round) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(ready[0]);
      char byte = 1;
      if (::write(ready[1], &byte, 1) != 1) ::_exit(2);
      mover(records, 1000 + static_cast<unsigned>(round), -1);
      ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % (window.count() + 1)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    kills += WIFSIGNALED(status) ? 1 : 0;

    // As the files stand: a move caught between its writes shows its record twice.
    intentsLeft += IntentLeft() ? 1 : 0;
    std::vector<ScheduleRecord> raw;
    readLines(&raw);
    doublesSeen += raw.size() > texts.size() ? 1 : 0;

    records = readFresh(round);
    ASSERT_EQ(records.size(), texts.size()) << "round " << round;
  }
  EXPECT_EQ(kills, 1000);
  // The kills really fell between the two writes of moves, which settling then mended.
  EXPECT_GT(intentsLeft, 0);
  EXPECT_GT(doublesSeen, 0);
}

}  // namespace
}  // namespace yk
