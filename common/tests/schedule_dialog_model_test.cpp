// Tests of the schedule edit dialog's fields, checks and store actions (real files in a
// temporary data folder).
#include "common/schedule_dialog_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "common/schedule_store.h"
#include "platform/testing/message_recorder.h"
#include "platform/testing/temp_folder.h"

namespace yk {
namespace {

using platform::testing::MessageRecorder;

ScheduleDialogModel Opened(const ScheduleDialogInput& input) {
  ScheduleDialogModel model;
  model.Open(input);
  return model;
}

// A dated, timed model that passes every check; cases change one thing.
ScheduleDialogModel Valid() {
  ScheduleDialogModel model = Opened(ScheduleDialogInput::NewOn(2004, 5, 7));
  model.timed = 1;
  model.startHour = 10;
  model.endHour = 11;
  model.endMinute = 30;
  model.text = u"会議";
  return model;
}

TEST(ScheduleDialogModelTest, NewModeDefaults) {
  const ScheduleDialogModel model = Opened(ScheduleDialogInput::NewOn(2004, 5, 7));
  EXPECT_EQ(model.changeMode(), 0);
  EXPECT_EQ(model.startYear, 2004);
  EXPECT_EQ(model.endYear, 2004);
  EXPECT_EQ(model.startMonth, 5);
  EXPECT_EQ(model.endMonth, 5);
  EXPECT_EQ(model.startDay, 7);
  EXPECT_EQ(model.endDay, 7);
  EXPECT_EQ(model.startHour, 0);
  EXPECT_EQ(model.startMinute, 0);
  EXPECT_EQ(model.endHour, 0);
  EXPECT_EQ(model.endMinute, 59);
  EXPECT_EQ(model.timed, 0);  // "終日" although the end minute is 59
  EXPECT_EQ(model.periodIndex, kPeriodIndexContinuous);
  EXPECT_FALSE(model.everyYear);
  EXPECT_FALSE(model.everyMonth);
  EXPECT_TRUE(model.text.empty());
}

TEST(ScheduleDialogModelTest, ChangeModeShowsTheRecord) {
  struct Case {
    const char* rule;
    int sm, sd, em, ed, sh, emin;
    int shownSm, shownSd, shownEm, shownEd;
    bool everyYear, everyMonth;
    int timed;
  };
  const Case cases[] = {
      {"plain, timed", 3, 5, 5, 10, 10, 0, 3, 5, 5, 10, false, false, 1},
      {"every year", 53, 5, 55, 10, 0, 0, 3, 5, 5, 10, true, false, 0},
      {"every month", 3, 55, 5, 60, 0, 30, 3, 5, 5, 10, false, true, 1},
      {"both", 53, 55, 55, 60, 0, 0, 3, 5, 5, 10, true, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    ScheduleRecord record{};
    record.startYear = 2003;
    record.endYear = 2006;
    record.startMonth = c.sm;
    record.startDay = c.sd;
    record.endMonth = c.em;
    record.endDay = c.ed;
    record.startHour = c.sh;
    record.endMinute = c.emin;
    record.period = 3;
    SetRecordText(&record, u"a__TVRET__b");
    const ScheduleDialogModel model = Opened(ScheduleDialogInput::Existing(record));
    EXPECT_EQ(model.startMonth, c.shownSm);
    EXPECT_EQ(model.startDay, c.shownSd);
    EXPECT_EQ(model.endMonth, c.shownEm);
    EXPECT_EQ(model.endDay, c.shownEd);
    EXPECT_EQ(model.everyYear, c.everyYear);
    EXPECT_EQ(model.everyMonth, c.everyMonth);
    EXPECT_EQ(model.timed, c.timed);
    EXPECT_EQ(model.periodIndex, 5);
    EXPECT_EQ(model.text, u"a\r\nb");
    EXPECT_TRUE(RecordsEqual(model.originalRecord(), record));
  }
}

TEST(ScheduleDialogModelTest, ChecksInOrder) {
  struct Case {
    const char* rule;
    void (*change)(ScheduleDialogModel&);
    std::u16string_view message;  // empty: accepted
  };
  const Case cases[] = {
      {"valid", [](ScheduleDialogModel&) {}, u""},
      {"every day from 10:00 to 9:00",
       [](ScheduleDialogModel& m) {
         m.periodIndex = kPeriodIndexEveryDay, m.startHour = 10, m.endHour = 9, m.endMinute = 0;
         m.endDay = 8;
       },
       kMsgEndBeforeStart},
      {"continuous over two days from 10:00 to 9:00",
       [](ScheduleDialogModel& m) {
         m.startHour = 10, m.endHour = 9, m.endMinute = 0, m.endDay = 8;
       },
       u""},
      {"same day, end time first", [](ScheduleDialogModel& m) { m.endHour = 9, m.endMinute = 59; },
       kMsgEndBeforeStart},
      {"times compared even all day",
       [](ScheduleDialogModel& m) { m.timed = 0, m.endHour = 9, m.endMinute = 0; },
       kMsgEndBeforeStart},
      {"end date first", [](ScheduleDialogModel& m) { m.endDay = 6; }, kMsgEndBeforeStart},
      {"every year with months 5 to 3 over years",
       [](ScheduleDialogModel& m) {
         m.everyYear = true, m.startMonth = 5, m.endMonth = 3, m.endYear = 2006;
       },
       kMsgEndBeforeStart},
      {"every month with days 10 to 5",
       [](ScheduleDialogModel& m) {
         m.everyMonth = true, m.startDay = 10, m.endDay = 5, m.endMonth = 7;
       },
       kMsgEndBeforeStart},
      {"order before the year", [](ScheduleDialogModel& m) { m.startYear = 2100; },
       kMsgEndBeforeStart},
      {"year 2100", [](ScheduleDialogModel& m) { m.startYear = m.endYear = 2100; },
       kMsgBadStartYear},
      {"start year 1974", [](ScheduleDialogModel& m) { m.startYear = 1974; }, kMsgBadStartYear},
      {"end year 2037", [](ScheduleDialogModel& m) { m.endYear = 2037; }, kMsgBadEndYear},
      {"start month 0", [](ScheduleDialogModel& m) { m.startMonth = 0; }, kMsgBadStartMonth},
      {"end month 13", [](ScheduleDialogModel& m) { m.endMonth = 13, m.endYear = 2005; },
       kMsgBadEndMonth},
      {"31 February", [](ScheduleDialogModel& m) { m.startMonth = 2, m.startDay = 31; },
       kMsgBadStartDay},
      {"31 April as the end",
       [](ScheduleDialogModel& m) { m.endMonth = 4, m.endDay = 31, m.endYear = 2005; },
       kMsgBadEndDay},
      {"29 February 2003",
       [](ScheduleDialogModel& m) { m.startYear = 2003, m.startMonth = 2, m.startDay = 29; },
       kMsgBadStartDay},
      {"29 February 2000",
       [](ScheduleDialogModel& m) {
         m.startYear = m.endYear = 2000, m.startMonth = m.endMonth = 2, m.startDay = m.endDay = 29;
       },
       u""},
      {"29 February 2004",
       [](ScheduleDialogModel& m) { m.startMonth = m.endMonth = 2, m.startDay = m.endDay = 29; },
       u""},
      {"every month takes day 31 in February",
       [](ScheduleDialogModel& m) {
         m.everyMonth = true, m.startMonth = m.endMonth = 2, m.startDay = m.endDay = 31;
       },
       u""},
      {"day 0", [](ScheduleDialogModel& m) { m.startDay = 0; }, kMsgBadStartDay},
      {"end hour 24 before start hour 25",
       [](ScheduleDialogModel& m) { m.startHour = 25, m.endHour = 24, m.endDay = 8; },
       kMsgBadEndTime},
      {"start hour 24", [](ScheduleDialogModel& m) { m.startHour = 24, m.endDay = 8; },
       kMsgBadStartTime},
      {"end minute 60", [](ScheduleDialogModel& m) { m.endMinute = 60; }, kMsgBadEndTime},
      {"start minute 60", [](ScheduleDialogModel& m) { m.startMinute = 60; }, kMsgBadStartTime},
      {"bad times ignored all day",
       [](ScheduleDialogModel& m) { m.timed = 0, m.startMinute = 60, m.endMinute = 61; }, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    ScheduleDialogModel model = Valid();
    c.change(model);
    const auto built = model.Build();
    EXPECT_EQ(built.error, c.message);
    EXPECT_EQ(built.record.has_value(), c.message.empty());
  }
}

TEST(ScheduleDialogModelTest, BuiltRecord) {
  ScheduleDialogModel model = Valid();
  model.everyYear = true;
  model.everyMonth = true;
  model.endYear = 2006;
  model.periodIndex = 4;
  model.text = u"一行目\r\n二行目";
  auto built = model.Build();
  ASSERT_TRUE(built.record);
  const ScheduleRecord& r = *built.record;
  EXPECT_EQ(r.startMonth, 55);
  EXPECT_EQ(r.endMonth, 55);
  EXPECT_EQ(r.startDay, 57);
  EXPECT_EQ(r.endDay, 57);
  EXPECT_EQ(r.startHour, 10);
  EXPECT_EQ(r.endMinute, 30);
  EXPECT_EQ(r.period, 2);
  EXPECT_EQ(RecordText(r), u"一行目__TVRET__二行目");

  model.timed = 0;  // "終日" stores no times
  built = model.Build();
  ASSERT_TRUE(built.record);
  EXPECT_EQ(built.record->startHour + built.record->endHour + built.record->endMinute, 0);
}

TEST(ScheduleDialogModelTest, TextEscaping) {
  struct Case {
    std::u16string_view edited, stored;
  };
  const Case cases[] = {
      {u"a\r\nb", u"a__TVRET__b"},
      {u"a\nb\n", u"a__TVRET__b__TVRET__"},
      {u"a\rb", u"ab"},
      {u"(x)", u"(x)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EditTextToStoredText(c.edited), c.stored);
  }
  EXPECT_EQ(StoredTextToEditText(u"__TVRET____TVRET__x"), u"\r\n\r\nx");
}

TEST(ScheduleDialogModelTest, LongTextIsRefusedNotCut) {
  ScheduleDialogModel model = Valid();
  // 1000 characters as the box takes them, but 100 breaks make it 1700 when stored.
  model.text.clear();
  for (int i = 0; i < 100; ++i) model.text += u"12345678\r\n";
  EXPECT_EQ(model.Build().error, kMsgTextTooLong);

  // Exactly 1023 stored characters still fit.
  model.text = std::u16string(1014, u'x') + u"\r\n";
  auto built = model.Build();
  ASSERT_TRUE(built.record);
  EXPECT_EQ(RecordText(*built.record).size(), 1023u);
  model.text += u"y";
  EXPECT_EQ(model.Build().error, kMsgTextTooLong);
}

TEST(ScheduleDialogModelTest, PickedDates) {
  ScheduleDialogModel model = Opened(ScheduleDialogInput::NewOn(2004, 5, 7));
  model.TakeStartDate(2004, 5, 3);  // before the end: the end stays
  EXPECT_EQ(model.endDay, 7);
  model.TakeStartDate(2004, 6, 1);  // after the end: the end follows
  EXPECT_EQ(model.endMonth, 6);
  EXPECT_EQ(model.endDay, 1);
  model.TakeEndDate(2005, 1, 2);
  EXPECT_EQ(model.endYear, 2005);
  model.TakeTimes(9, 0, 10, 30);
  EXPECT_EQ(model.timed, 1);
  EXPECT_EQ(model.endMinute, 30);
}

// ---- store actions on real files --------------------------------------------------------

class ScheduleDialogStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = folder_.string() + "/";
    store_ = std::make_unique<ScheduleStore>();
    ClearScheduleStore(store_.get());
  }

  // The records of a date's day file as the store reads them.
  int DayFileCount() {
    ScheduleStore* s = store_.get();
    LoadLevel(SpanLevel::Day, 2004, 5, 7, data_, s);
    return s->counts[int(SpanLevel::Day)];
  }

  platform::testing::TempFolder temp_{"dialog_model"};
  const std::filesystem::path folder_ = temp_.path();
  std::filesystem::path data_;
  std::unique_ptr<ScheduleStore> store_;
  MessageRecorder messages_;
};

TEST_F(ScheduleDialogStoreTest, AddModifyDelete) {
  ScheduleDialogModel model = Valid();
  model.text = u"一行目\r\n二行目";
  ASSERT_EQ(model.Add(data_, store_.get()), ScheduleDialogModel::Outcome::kClose);
  EXPECT_TRUE(messages_.messages().empty());
  ASSERT_EQ(DayFileCount(), 1);
  const ScheduleRecord stored = LevelRecords(store_.get(), SpanLevel::Day)[0];
  EXPECT_EQ(RecordText(stored), u"一行目__TVRET__二行目");

  // Reopened, the text shows its line break again; adding it unchanged is a duplicate.
  ScheduleDialogModel change = Opened(ScheduleDialogInput::Existing(stored));
  EXPECT_EQ(change.text, u"一行目\r\n二行目");
  EXPECT_EQ(change.timed, 1);
  EXPECT_EQ(change.Add(data_, store_.get()), ScheduleDialogModel::Outcome::kStay);
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{std::u16string(kMsgDuplicate)});
  EXPECT_EQ(DayFileCount(), 1);

  // Modify replaces the record.
  change.text = u"変更";
  ASSERT_EQ(change.Modify(data_, store_.get()), ScheduleDialogModel::Outcome::kClose);
  ASSERT_EQ(DayFileCount(), 1);
  const ScheduleRecord modified = LevelRecords(store_.get(), SpanLevel::Day)[0];
  EXPECT_EQ(RecordText(modified), u"変更");

  // A cancelled delete leaves it; a confirmed one removes it.
  ScheduleDialogModel remove = Opened(ScheduleDialogInput::Existing(modified));
  messages_.Clear();
  messages_.Answer(platform::kIdCancel);
  EXPECT_EQ(remove.Delete(data_, store_.get()), ScheduleDialogModel::Outcome::kStay);
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{std::u16string(kMsgDeleteQuestion)});
  EXPECT_EQ(messages_.messages()[0].flags & platform::kMbButtonMask,
            unsigned(platform::kMbOkCancel));
  EXPECT_EQ(DayFileCount(), 1);
  messages_.Answer(platform::kIdOk);
  EXPECT_EQ(remove.Delete(data_, store_.get()), ScheduleDialogModel::Outcome::kClose);
  EXPECT_EQ(DayFileCount(), 0);

  // Deleting it again fails with the delete message.
  messages_.Clear();
  messages_.Answer(platform::kIdOk);
  EXPECT_EQ(remove.Delete(data_, store_.get()), ScheduleDialogModel::Outcome::kStay);
  ASSERT_EQ(messages_.texts().size(), 2u);
  EXPECT_EQ(messages_.texts()[1], kMsgDeleteFailed);
}

TEST_F(ScheduleDialogStoreTest, RefusedRecordTouchesNoFile) {
  ScheduleDialogModel model = Valid();
  model.startDay = 31;
  model.startMonth = 2;
  EXPECT_EQ(model.Add(data_, store_.get()), ScheduleDialogModel::Outcome::kStay);
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{std::u16string(kMsgBadStartDay)});
  EXPECT_TRUE(std::filesystem::is_empty(folder_));

  messages_.Clear();
  model = Valid();
  for (int i = 0; i < 200; ++i) model.text += u"\r\n";
  EXPECT_EQ(model.Modify(data_, store_.get()), ScheduleDialogModel::Outcome::kStay);
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{std::u16string(kMsgTextTooLong)});
  EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

}  // namespace
}  // namespace yk
