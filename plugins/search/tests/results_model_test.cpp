// The results list: its lines and marks, the day to move to, and the replacement with
// its honest counts.
#include "plugins/search/results_model.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/atomic_file.h"
#include "common/memo_store.h"
#include "common/schedule_store.h"
#include "common/utf16_line_file.h"
#include "platform/testing/message_recorder.h"
#include "plugins/search/search_walk.h"
#include "plugins/search/tests/search_test_data.h"

namespace yk::search {
namespace {

using platform::testing::MessageRecorder;
using testing::DataFolder;
using testing::LinesBytes;
using testing::RecordingObserver;
using testing::Schedule;

const SearchPeriod kMay2004{2004, 5, 1, 2004, 5, 31};

class ResultsModelTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearScheduleStore(store_.get()); }

  // Searches and opens the results in `mode`.
  ResultsModel& Open(SearchTarget target, ResultsMode mode, std::u16string_view search,
                     std::u16string_view replacement, bool regex = false) {
    matcher_ = std::make_unique<TextMatcher>(search, replacement, regex);
    RecordingObserver observer;
    (void)RunSearch(target, kMay2004, *matcher_, data_.path(), observer, &table_);
    model_ =
        std::make_unique<ResultsModel>(mode, target, table_, *matcher_, data_.path(), store_.get());
    return *model_;
  }
  std::string DayFile() const { return data_.Bytes("2004/5/7/sched.txt"); }
  std::string MemoFile(int day) const {
    return data_.Bytes("2004/5/" + std::to_string(day) + "/memo.txt");
  }

  DataFolder data_;
  std::unique_ptr<ScheduleStore> store_ = std::make_unique<ScheduleStore>();
  std::unique_ptr<TextMatcher> matcher_;
  HitTable table_;
  std::unique_ptr<ResultsModel> model_;
  MessageRecorder recorder_;
};

TEST_F(ResultsModelTest, LinesShowDateAndTheFirst15Units) {
  data_.AddSchedules(
      {Schedule(2004, 5, 7, 2004, 5, 7, u"会議__TVRET__第二会議室で新製品の打ち合わせ")});
  data_.AddSchedules({Schedule(2004, 55, 7, 2004, 55, 7, u"母の誕生日")});
  ResultsModel& search = Open(SearchTarget::kSchedules, ResultsMode::kSearch, u"の", u"");
  EXPECT_EQ(search.countLine(), u"2件見つかりました");
  EXPECT_EQ(search.Line(0), u"2004.5.7:会議 第二会議室で新製品の打ち...")
      << "line break as a space";
  EXPECT_EQ(search.Line(1), u"2004.5.7:母の誕生日...") << "marks removed from the date";
  EXPECT_FALSE(search.ToggleMark(1)) << "no marks in search mode";
  EXPECT_EQ(search.helpText(), kSearchModeHelp);
  EXPECT_FALSE(search.replaceOffered());

  ResultsModel& replace = Open(SearchTarget::kSchedules, ResultsMode::kReplace, u"の", u"");
  EXPECT_EQ(replace.Line(1), u"■2004.5.7:母の誕生日...");
  EXPECT_TRUE(replace.ToggleMark(1));
  EXPECT_EQ(replace.Line(1), u"□2004.5.7:母の誕生日...");
  EXPECT_TRUE(replace.marked(0)) << "the other line keeps its mark";
  EXPECT_TRUE(replace.ToggleMark(1));
  EXPECT_EQ(replace.Line(1), u"■2004.5.7:母の誕生日...") << "toggled twice";
  EXPECT_FALSE(replace.ToggleMark(2));
  EXPECT_EQ(replace.helpText(), kReplaceModeHelp);

  data_.AddMemo(2004, 5, 3, u"一行目\r\n二行目の会議は十時から始まる");
  ResultsModel& memos = Open(SearchTarget::kMemos, ResultsMode::kSearch, u"会議", u"");
  EXPECT_EQ(memos.Line(0), u"2004.5.3:一行目\r\n二行目の会議は十時か...") << "line breaks kept";
}

TEST_F(ResultsModelTest, TheDayToMoveToIsTheStartOrTheMemosDay) {
  const struct {
    const char* rule;
    ScheduleRecord record;
    std::optional<YearMonthDay> day;
  } cases[] = {
      {"every year: marks removed", Schedule(2004, 54, 28, 2004, 55, 3, u"a"),
       YearMonthDay{2004, 4, 28}},
      {"every month from the 31st, from February", Schedule(2004, 2, 81, 2004, 5, 81, u"b"),
       YearMonthDay{2004, 2, 29}},
      {"the same in a common year", Schedule(2003, 2, 81, 2004, 5, 81, u"c"),
       YearMonthDay{2003, 2, 28}},
      {"a start without a month", Schedule(2003, 0, 5, 2005, 0, 5, u"d"), std::nullopt},
  };
  for (const auto& c : cases) {
    data_.AddSchedules({c.record});
    ResultsModel& model =
        Open(SearchTarget::kSchedules, ResultsMode::kSearch, RecordText(c.record), u"");
    ASSERT_EQ(model.lineCount(), 1) << c.rule;
    EXPECT_EQ(model.DayOf(0), c.day) << c.rule;
  }

  data_.AddSchedules({Schedule(2004, 54, 28, 2004, 55, 3, u"連休")});
  ResultsModel& schedules = Open(SearchTarget::kSchedules, ResultsMode::kSearch, u"連休", u"");
  EXPECT_EQ(schedules.DayOf(0), (YearMonthDay{2004, 4, 28}));
  EXPECT_EQ(schedules.DayOf(-1), std::nullopt) << "no selection";
  EXPECT_EQ(schedules.DayOf(1), std::nullopt);
  data_.AddMemo(2004, 5, 3, u"連休中");
  EXPECT_EQ(Open(SearchTarget::kMemos, ResultsMode::kSearch, u"連休", u"").DayOf(0),
            (YearMonthDay{2004, 5, 3}));
}

// Only the marked hits are replaced; a "□" line stays as it was.
TEST_F(ResultsModelTest, ReplacesTheMarkedSchedulesInTheirFiles) {
  data_.AddSchedules({Schedule(2004, 5, 7, 2004, 5, 7, u"A会議"),
                      Schedule(2004, 5, 7, 2004, 5, 7, u"B会議"),
                      Schedule(2004, 5, 7, 2004, 5, 7, u"C会議")});
  ResultsModel& model = Open(SearchTarget::kSchedules, ResultsMode::kReplace, u"会議", u"打合せ");
  ASSERT_EQ(model.lineCount(), 3);
  ASSERT_TRUE(model.ToggleMark(1));
  const ResultsModel::ReplaceCounts counts = model.ReplaceMarked();
  EXPECT_EQ(counts.replaced, 2);
  EXPECT_EQ(counts.notReplaced, 0);
  EXPECT_EQ(ResultsModel::ReplaceReport(counts), u"置換えが完了しました");
  EXPECT_TRUE(model.changed());
  EXPECT_EQ(DayFile(), LinesBytes({u"(2004,05,07,00,00 2004,05,07,00,00 -1)(B会議)",
                                   u"(2004,05,07,00,00 2004,05,07,00,00 -1)(A打合せ)",
                                   u"(2004,05,07,00,00 2004,05,07,00,00 -1)(C打合せ)"}));
  EXPECT_TRUE(recorder_.texts().empty());
}

// A replaced text longer than a record holds is not stored cut: that hit stays, and is
// counted.
TEST_F(ResultsModelTest, ATextThatWouldNoLongerFitIsLeftAndCounted) {
  const std::u16string long_text = std::u16string(1000, u'あ') + u"会議";
  data_.AddSchedules(
      {Schedule(2004, 5, 7, 2004, 5, 7, long_text), Schedule(2004, 5, 7, 2004, 5, 7, u"会議")});
  ResultsModel& model =
      Open(SearchTarget::kSchedules, ResultsMode::kReplace, u"会議", std::u16string(30, u'x'));
  const ResultsModel::ReplaceCounts counts = model.ReplaceMarked();
  EXPECT_EQ(counts.replaced, 1);
  EXPECT_EQ(counts.notReplaced, 1);
  EXPECT_EQ(ResultsModel::ReplaceReport(counts),
            u"置換えが完了しました。1件を置換え、1件は置換えできませんでした。");
  std::vector<std::u16string> lines;
  ForEachUtf16LineInBytes(DayFile(), [&](std::u16string_view line) {
    lines.emplace_back(line);
    return true;
  });
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], u"(2004,05,07,00,00 2004,05,07,00,00 -1)(" + long_text + u")");
  EXPECT_EQ(lines[1], u"(2004,05,07,00,00 2004,05,07,00,00 -1)(" + std::u16string(30, u'x') + u")");

  // Exactly 1023 units still fit.
  DataFolder exact;
  const std::u16string fits = std::u16string(1020, u'い') + u"会議";  // 1023 once replaced
  exact.AddSchedules({Schedule(2004, 5, 7, 2004, 5, 7, fits)});
  TextMatcher matcher(u"会議", u"会議!", false);
  RecordingObserver observer;
  HitTable table;
  (void)RunSearch(SearchTarget::kSchedules, kMay2004, matcher, exact.path(), observer, &table);
  ResultsModel model2(ResultsMode::kReplace, SearchTarget::kSchedules, table, matcher, exact.path(),
                      store_.get());
  EXPECT_EQ(model2.ReplaceMarked().replaced, 1);
}

// A schedule changed since the search (through "編集") is not in its file as found: it is
// not replaced, and not added back as a second, stale copy.
TEST_F(ResultsModelTest, AScheduleChangedSinceTheSearchIsNotAddedBack) {
  data_.AddSchedules({Schedule(2004, 5, 7, 2004, 5, 7, u"会議")});
  ResultsModel& model = Open(SearchTarget::kSchedules, ResultsMode::kReplace, u"会議", u"打合せ");
  ASSERT_TRUE(ModifySchedule(data_.path(), table_.hits[0].record,
                             Schedule(2004, 5, 7, 2004, 5, 7, u"会議(変更)"), store_.get()));
  const std::string edited = DayFile();
  const ResultsModel::ReplaceCounts counts = model.ReplaceMarked();
  EXPECT_EQ(counts.replaced, 0);
  EXPECT_EQ(counts.notReplaced, 1);
  EXPECT_EQ(DayFile(), edited);
  EXPECT_FALSE(model.changed());
}

// A write the store refuses is counted, not reported as done.
TEST_F(ResultsModelTest, AFailedWriteIsCountedAsNotReplaced) {
  data_.AddSchedules({Schedule(2004, 5, 7, 2004, 5, 7, u"会議")});
  ResultsModel& model = Open(SearchTarget::kSchedules, ResultsMode::kReplace, u"会議", u"打合せ");
  const std::string before = DayFile();
  const AtomicFailureHook previous =
      SetAtomicFailureHook([](AtomicStep step) { return step == AtomicStep::kRename; });
  const ResultsModel::ReplaceCounts counts = model.ReplaceMarked();
  SetAtomicFailureHook(previous);
  EXPECT_EQ(counts.notReplaced, 1);
  EXPECT_EQ(DayFile(), before);
  EXPECT_EQ(recorder_.texts(),
            std::vector<std::u16string>{u"スケジュールファイルを開く事が出来ませんでした"});
}

// A data folder that refuses writes (read only: no file can be made beside the day's;
// full: the new bytes don't fit) fails every hit alike.  One run shows the store's message
// once, counts every refused hit as not replaced and leaves its file as it was.  Memo
// writes show no message of their own: the closing report is all the user needs.
TEST_F(ResultsModelTest, AFolderThatRefusesWritesGivesOneMessagePerRun) {
  const std::u16string openFailed = u"スケジュールファイルを開く事が出来ませんでした";
  constexpr SearchTarget kSchedules = SearchTarget::kSchedules;
  constexpr SearchTarget kMemos = SearchTarget::kMemos;
  const struct {
    const char* folder;
    SearchTarget target;
    AtomicStep refused;
    int firstRefusedWrite;  // the writes before it go through
    int replaced;           // of four hits
    bool storeMessage;
  } cases[] = {
      {"schedules, read only", kSchedules, AtomicStep::kCreateTemp, 0, 0, true},
      {"schedules, full", kSchedules, AtomicStep::kWrite, 0, 0, true},
      {"schedules, full after one", kSchedules, AtomicStep::kWrite, 1, 1, true},
      {"schedules, writable", kSchedules, AtomicStep::kWrite, 99, 4, false},
      {"memos, read only", kMemos, AtomicStep::kCreateTemp, 0, 0, false},
      {"memos, full after one", kMemos, AtomicStep::kWrite, 1, 1, false},
  };
  for (const auto& c : cases) {
    const DataFolder data;
    std::vector<std::string> files;  // one hit per day, 1 to 4 May
    for (int day = 1; day <= 4; ++day) {
      const std::string file =
          "2004/5/" + std::to_string(day) + (c.target == kSchedules ? "/sched.txt" : "/memo.txt");
      if (c.target == SearchTarget::kSchedules) {
        data.AddSchedules({Schedule(2004, 5, day, 2004, 5, day, u"会議")});
      } else {
        data.AddMemo(2004, 5, day, u"会議");
      }
      files.push_back(file);
    }
    std::vector<std::string> before;
    for (const std::string& file : files) before.push_back(data.Bytes(file));
    ClearScheduleStore(store_.get());
    TextMatcher matcher(u"会議", u"打合せ", false);
    RecordingObserver observer;
    HitTable table;
    (void)RunSearch(c.target, kMay2004, matcher, data.path(), observer, &table);
    ResultsModel model(ResultsMode::kReplace, c.target, table, matcher, data.path(), store_.get());
    ASSERT_EQ(model.lineCount(), 4) << c.folder;
    recorder_.Clear();

    auto writes = std::make_shared<int>(0);
    const AtomicFailureHook previous = SetAtomicFailureHook([&c, writes](AtomicStep step) {
      if (step == AtomicStep::kCreateTemp) ++*writes;
      return step == c.refused && *writes > c.firstRefusedWrite;
    });
    const ResultsModel::ReplaceCounts counts = model.ReplaceMarked();
    SetAtomicFailureHook(previous);

    EXPECT_EQ(counts.replaced, c.replaced) << c.folder;
    EXPECT_EQ(counts.notReplaced, 4 - c.replaced) << c.folder;
    EXPECT_EQ(recorder_.texts(),
              c.storeMessage ? std::vector{openFailed} : std::vector<std::u16string>{})
        << c.folder;
    EXPECT_EQ(model.changed(), c.replaced > 0) << c.folder;
    // The hits replaced are the first ones, and no other file was touched.
    for (std::size_t i = 0; i < files.size(); ++i) {
      EXPECT_EQ(data.Bytes(files[i]) != before[i], int(i) < c.replaced)
          << c.folder << ": " << files[i];
    }
  }
}

TEST_F(ResultsModelTest, MemosAreRewrittenOnceEachAndOnlyWhenExact) {
  data_.AddMemo(2004, 5, 1, u"会議\r\n会議室");
  data_.AddMemo(2004, 5, 2, u"会議");
  data_.WriteBytes("2004/5/3/memo.txt", "\x80\x89\xEF\x8B\x63");  // a byte that is no character
  data_.AddMemo(2004, 5, 4, u"消える会議");
  data_.WriteMemoList(2004, {u"05,01", u"05,02", u"05,03", u"05,04", u"05,01"});
  ResultsModel& model = Open(SearchTarget::kMemos, ResultsMode::kReplace, u"会議", u"会議会議");
  ASSERT_EQ(model.lineCount(), 5);
  ASSERT_TRUE(model.ToggleMark(2));  // 5/2 left alone
  ASSERT_TRUE(DeleteMemo(2004, 5, 4, data_.path()));
  const ResultsModel::ReplaceCounts counts = model.ReplaceMarked();
  // 5/1 twice (rewritten once), 5/3 can't be stored exactly, 5/4 vanished.
  EXPECT_EQ(counts.replaced, 2);
  EXPECT_EQ(counts.notReplaced, 2);
  EXPECT_EQ(MemoFile(1),
            "\x89\xEF\x8B\x63\x89\xEF\x8B\x63\r\n\x89\xEF\x8B\x63\x89\xEF\x8B\x63\x8E\xBA");
  EXPECT_EQ(MemoFile(2), "\x89\xEF\x8B\x63");
  EXPECT_EQ(MemoFile(3), "\x80\x89\xEF\x8B\x63") << "not written back with the byte lost";
  EXPECT_EQ(data_.Bytes("2004/memolist.txt"), LinesBytes({u"05,01", u"05,02", u"05,03", u"05,01"}))
      << "the list is not touched by a replacement (5/4 went with its deletion)";
}

TEST_F(ResultsModelTest, RegexReplacementRewritesMemosLineByLine) {
  data_.AddMemo(2004, 5, 1, u"10時 会議\r\n15時 来客");
  ResultsModel& model =
      Open(SearchTarget::kMemos, ResultsMode::kReplace, u"^([0-9]+)時", u"$1:00", true);
  EXPECT_EQ(model.ReplaceMarked().replaced, 1);
  std::u16string text;
  ASSERT_TRUE(ReadMemo(2004, 5, 1, data_.path(), &text));
  EXPECT_EQ(text, u"10:00 会議\r\n15:00 来客");
}

}  // namespace
}  // namespace yk::search
