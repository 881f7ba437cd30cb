// The "メモ・日記" dialog's rules: what it shows, what it asks, what it writes.
#include "common/memo_edit_model.h"

#include <gtest/gtest.h>

#include "common/memo_store.h"
#include "common/tests/store_test_support.h"
#include "platform/testing/message_recorder.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using platform::testing::MessageRecorder;
using testing::Le;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using Outcome = MemoEditModel::Outcome;

constexpr YearMonthDay kMay1{2004, 5, 1};

class MemoEditModelTest : public ::testing::Test {
 protected:
  void Store(YearMonthDay day, std::u16string_view text) {
    ASSERT_TRUE(WriteMemo(day.year, day.month, day.day, data_.path(), text, true).ok());
  }
  std::string MemoBytes(YearMonthDay day) const {
    return ReadBytes(MemoFilePath(data_.path(), day.year, day.month, day.day));
  }
  std::string ListBytes() const { return ReadBytes(MemoListPath(data_.path(), 2004)); }

  TempFolder data_;
  MessageRecorder recorder_;
};

TEST_F(MemoEditModelTest, OpensOnTheDaysMemoWithItselfAsReference) {
  Store(kMay1, u"買い物\r\n牛乳");
  const struct {
    const char* rule;
    YearMonthDay day;
    bool readOnly;
    std::u16string edit, reference;
    bool exists, save, remove;
  } cases[] = {
      {"a memo", kMay1, false, u"買い物\n牛乳", u"買い物\n牛乳", true, true, true},
      {"no memo", {2004, 5, 2}, false, u"", u"この日のメモはありません", false, true, false},
      {"read only", kMay1, true, u"買い物\n牛乳", u"買い物\n牛乳", true, false, false},
  };
  for (const auto& c : cases) {
    MemoEditModel model(data_.path(), c.day, c.readOnly);
    EXPECT_EQ(model.editText(), c.edit) << c.rule;
    EXPECT_EQ(model.referenceText(), c.reference) << c.rule;
    EXPECT_EQ(model.memoExists(), c.exists) << c.rule;
    EXPECT_EQ(model.saveOffered(), c.save) << c.rule;
    EXPECT_EQ(model.deleteOffered(), c.remove) << c.rule;
    EXPECT_EQ(model.referenceDay(), c.day) << c.rule;
  }
  MemoEditModel model(data_.path(), kMay1, false);
  EXPECT_EQ(model.memoDayText(), u"2004年5月1日");
  model.SetReferenceDay({2003, 12, 31});
  EXPECT_EQ(model.referenceDayText(), u"2003年12月31日");
  EXPECT_EQ(model.referenceText(), u"この日のメモはありません");
  EXPECT_TRUE(recorder_.texts().empty());
}

TEST_F(MemoEditModelTest, ANewMemoIsSavedWithoutAQuestionAndListedOnce) {
  MemoEditModel model(data_.path(), kMay1, false);
  EXPECT_EQ(model.Save(u"一行目\n二行目"), Outcome::kClose);
  EXPECT_TRUE(recorder_.texts().empty());
  EXPECT_EQ(MemoBytes(kMay1), "\x88\xEA\x8D\x73\x96\xDA\r\n\x93\xF1\x8D\x73\x96\xDA");
  EXPECT_EQ(ListBytes(), Le(u"05,01\r\n"));
}

TEST_F(MemoEditModelTest, OverwritingAsksFirstAndAddsNoListLine) {
  Store(kMay1, u"old");
  {
    MemoEditModel model(data_.path(), kMay1, false);
    recorder_.Answer(platform::kIdCancel);
    EXPECT_EQ(model.Save(u"new"), Outcome::kStay);
    EXPECT_EQ(recorder_.texts(), std::vector<std::u16string>{u"2004/5/1のメモに上書き保存します"});
    EXPECT_EQ(MemoBytes(kMay1), "old");
    recorder_.Clear();
    EXPECT_EQ(model.Save(u"new"), Outcome::kClose);
    EXPECT_EQ(recorder_.messages().at(0).flags & platform::kMbButtonMask, platform::kMbOkCancel);
  }
  EXPECT_EQ(MemoBytes(kMay1), "new");
  EXPECT_EQ(ListBytes(), Le(u"05,01\r\n"));
}

TEST_F(MemoEditModelTest, SavingAnEmptyTextDeletesTheMemoAndItsListLine) {
  Store({2004, 3, 9}, u"a");
  Store(kMay1, u"b");
  MemoEditModel model(data_.path(), kMay1, false);
  EXPECT_EQ(model.Save(u""), Outcome::kClose);
  EXPECT_FALSE(fs::exists(MemoFilePath(data_.path(), 2004, 5, 1)));
  EXPECT_EQ(ListBytes(), Le(u"03,09\r\n"));
}

TEST_F(MemoEditModelTest, DeletingAsksAndCancelKeepsTheMemo) {
  Store(kMay1, u"b");
  MemoEditModel model(data_.path(), kMay1, false);
  recorder_.Answer(platform::kIdCancel);
  EXPECT_EQ(model.Delete(), Outcome::kStay);
  EXPECT_EQ(MemoBytes(kMay1), "b");
  EXPECT_EQ(model.Delete(), Outcome::kClose);
  EXPECT_EQ(recorder_.texts(), (std::vector<std::u16string>{u"2004/5/1のメモを削除します",
                                                            u"2004/5/1のメモを削除します"}));
  EXPECT_EQ(MemoBytes(kMay1), "<missing>");
  EXPECT_EQ(ListBytes(), "");
}

TEST_F(MemoEditModelTest, ReadOnlyNeitherSavesNorDeletes) {
  Store(kMay1, u"b");
  MemoEditModel model(data_.path(), kMay1, true);
  EXPECT_EQ(model.Save(u"x"), Outcome::kStay);
  EXPECT_EQ(model.Delete(), Outcome::kStay);
  EXPECT_EQ(MemoBytes(kMay1), "b");
  EXPECT_TRUE(recorder_.texts().empty());
}

// A text the code page can't hold is refused with the character named; the dialog stays
// open with the text and the file is as it was.
TEST_F(MemoEditModelTest, ASaveTheCodePageCannotHoldIsRefusedNamingTheCharacter) {
  MemoEditModel model(data_.path(), kMay1, false);
  EXPECT_EQ(model.Save(u"𠮷野家で昼食"), Outcome::kStay);
  EXPECT_EQ(
      recorder_.texts(),
      std::vector<std::u16string>{
          u"「𠮷」(U+20BB7)はメモに保存できない文字です。別の文字に直してから保存して下さい。"});
  EXPECT_EQ(MemoBytes(kMay1), "<missing>");
  EXPECT_EQ(ListBytes(), "<missing>");
  EXPECT_EQ(model.Save(u"吉野家で昼食"), Outcome::kClose) << "once the text is mended";
  EXPECT_EQ(ListBytes(), Le(u"05,01\r\n"));
}

TEST_F(MemoEditModelTest, AFailedSaveIsReportedAndTheDialogStays) {
  fs::create_directories(MemoFilePath(data_.path(), 2004, 5, 1) / "in the way");
  MemoEditModel model(data_.path(), kMay1, false);
  EXPECT_EQ(model.Save(u"x"), Outcome::kStay);
  ASSERT_EQ(recorder_.texts().size(), 1u);
  EXPECT_EQ(recorder_.texts()[0], kMemoSaveFailed);
  EXPECT_EQ(ListBytes(), "<missing>");
}

// A memo longer than the box takes (written elsewhere) is shown whole and, saved, kept whole.
TEST_F(MemoEditModelTest, ALongMemoIsShownAndSavedWhole) {
  std::string bytes;
  for (int i = 0; i < 1500; ++i) bytes += "\x82\xA0";
  WriteBytes(MemoFilePath(data_.path(), 2004, 5, 1), bytes);
  MemoEditModel model(data_.path(), kMay1, false);
  EXPECT_EQ(model.editText().size(), 1500u);
  EXPECT_EQ(model.boxLimit(), 1500);
  EXPECT_EQ(model.Save(model.editText()), Outcome::kClose);
  EXPECT_EQ(MemoBytes(kMay1), bytes);
  EXPECT_EQ(MemoEditModel(data_.path(), {2004, 5, 2}, false).boxLimit(), kMemoBoxLimit);
}

}  // namespace
}  // namespace yk
