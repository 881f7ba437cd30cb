// Fuzz target: one schedule line — parsing, formatting and the date rules on what parsed.
#include <cstdlib>

#include "common/date_util.h"
#include "common/schedule_store.h"
#include "fuzz/store_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::u16string line = yk::fuzz::Units(data, size);
  ScheduleRecord record{};
  if (!yk::ParseScheduleLine(line, &record)) return 0;
  if (yk::RecordText(record).size() > yk::kMaxScheduleTextLength) std::abort();

  std::u16string written = yk::FormatScheduleLine(record);
  if (written.size() > 2047) std::abort();
  ScheduleRecord again{};
  (void)yk::ParseScheduleLine(written, &again);

  (void)yk::SpanLevelOf(record);
  (void)yk::ScheduleFilePathOf("/data/", record);
  (void)yk::LevelKey(yk::SpanLevelOf(record), record.startYear, record.startMonth, record.startDay);
  int day = 1 + static_cast<int>(size % 31);
  int weekday = yk::WeekdayOf(2004, 5, day);
  (void)yk::DateMatches(record, 2004, 5, day, weekday);
  (void)yk::IsStartDay(record, 2004, 5, day, weekday);
  (void)yk::IsEndDay(record, 2004, 5, day, weekday);
  return 0;
}
