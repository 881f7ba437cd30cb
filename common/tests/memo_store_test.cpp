// The memo files byte for byte: memo.txt in CP932, memolist.txt in UTF-16LE, and what
// saving, deleting and reading the list do with them, including failures and kills.
#include "common/memo_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "common/atomic_file.h"
#include "common/cp932_text.h"
#include "common/tests/store_test_support.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using testing::Le;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class MemoStoreTest : public ::testing::Test {
 protected:
  fs::path Memo(int y, int m, int d) const { return MemoFilePath(data_.path(), y, m, d); }
  fs::path List(int y) const { return MemoListPath(data_.path(), y); }
  MemoWriteResult Write(int y, int m, int d, std::u16string_view text, bool add) {
    return WriteMemo(y, m, d, data_.path(), text, add);
  }

  TempFolder data_;
};

TEST_F(MemoStoreTest, NewMemoMakesItsFoldersItsFileAndItsListLine) {
  ASSERT_TRUE(Write(2004, 5, 1, u"会議\r\nA室", true).ok());
  EXPECT_TRUE(fs::is_directory(data_.path() / "2004"));
  EXPECT_TRUE(fs::is_directory(data_.path() / "2004" / "5"));
  EXPECT_TRUE(fs::is_directory(data_.path() / "2004" / "5" / "1"));
  EXPECT_EQ(Memo(2004, 5, 1), data_.path() / "2004/5/1/memo.txt");
  EXPECT_EQ(ReadBytes(Memo(2004, 5, 1)), "\x89\xEF\x8B\x63\r\nA\x8E\xBA")
      << "CP932 bytes, no byte-order mark, no NUL";
  EXPECT_EQ(ReadBytes(List(2004)), Le(u"05,01\r\n"));

  // Written again without the list flag: the text changes, the list doesn't.
  ASSERT_TRUE(Write(2004, 5, 1, u"変更", false).ok());
  EXPECT_EQ(ReadBytes(Memo(2004, 5, 1)), "\x95\xCF\x8D\x58");
  EXPECT_EQ(ReadBytes(List(2004)), Le(u"05,01\r\n"));

  ASSERT_TRUE(Write(2004, 12, 24, u"x", true).ok());
  EXPECT_EQ(ReadBytes(List(2004)), Le(u"05,01\r\n12,24\r\n")) << "first-saved order";

  std::u16string text;
  ASSERT_TRUE(ReadMemo(2004, 5, 1, data_.path(), &text));
  EXPECT_EQ(text, u"変更");
  EXPECT_FALSE(ReadMemo(2004, 5, 2, data_.path(), &text));
  EXPECT_EQ(text, u"");
}

TEST_F(MemoStoreTest, AListWhoseLastLineHasNoLineEndGetsTheNewLineOnALineOfItsOwn) {
  WriteBytes(List(2004), Le(u"03,09"));
  ASSERT_TRUE(Write(2004, 5, 1, u"a", true).ok());
  EXPECT_EQ(ReadBytes(List(2004)), Le(u"03,09\r\n05,01\r\n"));
}

// Another program may write memos longer than the edit box takes: they are read, and
// written, whole.
TEST_F(MemoStoreTest, LongMemosAreReadAndWrittenWhole) {
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += i % 100 == 99 ? "\r\n" : "\x82\xA0";  // あ
  WriteBytes(Memo(2004, 5, 1), bytes);
  std::u16string text;
  ASSERT_TRUE(ReadMemo(2004, 5, 1, data_.path(), &text));
  EXPECT_EQ(text.size(), 3000u - 30u + 60u);
  ASSERT_TRUE(Write(2004, 5, 1, text + u"末尾", false).ok());
  EXPECT_EQ(ReadBytes(Memo(2004, 5, 1)), bytes + "\x96\x96\x94\xF6");
}

TEST_F(MemoStoreTest, TextTheCodePageCannotHoldIsRefusedAndNothingIsTouched) {
  ASSERT_TRUE(Write(2004, 5, 1, u"old", true).ok());
  const MemoWriteResult refused = Write(2004, 5, 1, u"吉野家と𠮷野家", false);
  EXPECT_EQ(refused.status, MemoWriteStatus::kNotConvertible);
  EXPECT_EQ(refused.offending, U'𠮷');
  EXPECT_EQ(ReadBytes(Memo(2004, 5, 1)), "old");

  EXPECT_EQ(Write(2005, 1, 2, u"😀", true).status, MemoWriteStatus::kNotConvertible);
  EXPECT_FALSE(fs::exists(data_.path() / "2005")) << "no folders for a refused memo";
}

TEST_F(MemoStoreTest, AFailedReplacementKeepsTheOldMemoAndAddsNoListLine) {
  ASSERT_TRUE(Write(2004, 5, 1, u"old", false).ok());
  for (AtomicStep step :
       {AtomicStep::kCreateTemp, AtomicStep::kWrite, AtomicStep::kFlush, AtomicStep::kRename}) {
    const AtomicFailureHook previous =
        SetAtomicFailureHook([step](AtomicStep s) { return s == step; });
    EXPECT_EQ(Write(2004, 5, 1, u"new", true).status, MemoWriteStatus::kFailed);
    SetAtomicFailureHook(previous);
    EXPECT_EQ(ReadBytes(Memo(2004, 5, 1)), "old");
    EXPECT_FALSE(fs::exists(List(2004)));
  }
}

// A save killed at any moment leaves the old memo or the new one, never a cut one.
TEST_F(MemoStoreTest, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewMemo) {
  const std::u16string a(20000, u'あ');
  const std::u16string b(30000, u'い');
  const std::string aBytes = EncodeCp932(a).bytes;
  const std::string bBytes = EncodeCp932(b).bytes;
  ASSERT_TRUE(Write(2004, 5, 1, a, true).ok());
  std::mt19937 random(2004);
  int roundsWithB = 0;
  for (int round = 0; round < 30; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) (void)WriteMemo(2004, 5, 1, data_.path(), i % 2 ? a : b, false);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 50000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = ReadBytes(Memo(2004, 5, 1));
    ASSERT_TRUE(now == aBytes || now == bBytes) << "round " << round << ": " << now.size();
    roundsWithB += now == bBytes;
  }
  EXPECT_GT(roundsWithB, 0) << "the writers really wrote";
  EXPECT_EQ(ReadBytes(List(2004)), Le(u"05,01\r\n"));
}

TEST_F(MemoStoreTest, DeletionTakesTheFileAndEveryLineOfTheDayFromTheList) {
  const struct {
    const char* rule;
    std::u16string before;
    std::u16string after;  // u"=" when the list is left as it was
  } cases[] = {
      {"middle line", u"03,09\r\n05,01\r\n12,24\r\n", u"03,09\r\n12,24\r\n"},
      {"listed twice", u"05,01\r\n03,09\r\n05,01\r\n", u"03,09\r\n"},
      {"blank and short lines go too", u"03,09\r\n\r\n5,1\r\n05,01\r\n", u"03,09\r\n"},
      {"last line without line end", u"03,09\r\n05,01", u"03,09\r\n"},
      {"only line", u"05,01\r\n", u""},
      {"day not listed", u"03,09\r\n12,24\r\n", u"="},
      {"a longer line naming the day stays", u"05,01 x\r\n", u"="},
  };
  for (const auto& c : cases) {
    WriteBytes(List(2004), Le(c.before));
    ASSERT_TRUE(Write(2004, 5, 1, u"memo", false).ok());
    EXPECT_TRUE(DeleteMemo(2004, 5, 1, data_.path())) << c.rule;
    EXPECT_FALSE(fs::exists(Memo(2004, 5, 1))) << c.rule;
    EXPECT_EQ(ReadBytes(List(2004)), Le(c.after == u"=" ? c.before : c.after)) << c.rule;
  }
}

// Lists written elsewhere may be long (days listed twice, or lines of other programs):
// a deletion keeps every other line, whatever their number.
TEST_F(MemoStoreTest, DeletionKeepsEveryOtherLineOfALongList) {
  std::u16string list;
  for (int i = 0; i < 400; ++i) list += i == 200 ? u"05,01\r\n" : u"03,09\r\n";
  list += u"12,24 written by another program with a long line\r\n";
  WriteBytes(List(2004), Le(list));
  EXPECT_TRUE(DeleteMemo(2004, 5, 1, data_.path()));
  std::u16string expected;
  for (int i = 0; i < 399; ++i) expected += u"03,09\r\n";
  expected += u"12,24 written by another program with a long line\r\n";
  EXPECT_EQ(ReadBytes(List(2004)), Le(expected));
}

TEST_F(MemoStoreTest, DeletingAMissingMemoStillCleansTheListAndAMissingListIsNoError) {
  WriteBytes(List(2004), Le(u"05,01\r\n"));
  EXPECT_TRUE(DeleteMemo(2004, 5, 1, data_.path()));
  EXPECT_EQ(ReadBytes(List(2004)), "");
  EXPECT_TRUE(DeleteMemo(2003, 5, 1, data_.path()));
  EXPECT_FALSE(fs::exists(List(2003)));
}

TEST_F(MemoStoreTest, AMemoThatCannotBeDeletedKeepsItsListLine) {
  fs::create_directories(Memo(2004, 5, 1) / "in the way");
  WriteBytes(List(2004), Le(u"05,01\r\n"));
  EXPECT_FALSE(DeleteMemo(2004, 5, 1, data_.path()));
  EXPECT_EQ(ReadBytes(List(2004)), Le(u"05,01\r\n"));
  std::u16string text;
  EXPECT_FALSE(ReadMemo(2004, 5, 1, data_.path(), &text)) << "a folder is no memo";
}

TEST_F(MemoStoreTest, TheListIsReadInFileOrderWithDuplicates) {
  std::u16string many;
  for (int i = 0; i < 400; ++i) many += u"01,01\r\n";
  const struct {
    const char* rule;
    std::u16string list;
    std::vector<MemoDay> days;
  } cases[] = {
      {"file order, not sorted", u"12,24\r\n03,09\r\n", {{12, 24}, {3, 9}}},
      {"duplicates kept", u"05,01\r\n05,01\r\n", {{5, 1}, {5, 1}}},
      {"line without a comma skipped", u"0501\r\n05,01\r\n", {{5, 1}}},
      {"numbers of the first and last two units", u"5,01\r\n12,3\r\n", {{5, 1}}},
      {"no day of the year", u"13,01\r\n02,30\r\n00,00\r\n", {}},
      {"no line end at the end", u"02,29", {{2, 29}}},
      {"blank lines", u"\r\n\r\n", {}},
      {"at most 370 pairs", many, std::vector<MemoDay>(370, MemoDay{1, 1})},
  };
  for (const auto& c : cases) {
    WriteBytes(List(2004), Le(c.list));
    EXPECT_EQ(ReadMemoList(2004, data_.path()), c.days) << c.rule;
  }
  EXPECT_TRUE(ReadMemoList(1999, data_.path()).empty()) << "missing list";
}

TEST_F(MemoStoreTest, DatesThatAreNoCalendarDayNameNoFile) {
  std::u16string text;
  for (const MemoDay day : {MemoDay{0, 1}, MemoDay{2, 30}, MemoDay{13, 1}, MemoDay{5, 0}}) {
    EXPECT_FALSE(ReadMemo(2004, day.month, day.day, data_.path(), &text));
    EXPECT_EQ(Write(2004, day.month, day.day, u"x", true).status, MemoWriteStatus::kFailed);
    EXPECT_FALSE(DeleteMemo(2004, day.month, day.day, data_.path()));
  }
  EXPECT_TRUE(fs::is_empty(data_.path()));
}

}  // namespace
}  // namespace yk
