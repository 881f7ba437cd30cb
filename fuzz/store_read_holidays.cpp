// Fuzz target: a whole holiday file — reading it into a table and looking up every day.
#include <cstdlib>
#include <memory>

#include "common/date_util.h"
#include "common/holiday.h"
#include "fuzz/store_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::filesystem::path& folder = yk::fuzz::ScratchFolder();
  static const std::unique_ptr<HolidayTable> table = std::make_unique<HolidayTable>();
  yk::fuzz::WriteFile(yk::HolidayFilePath(folder, 2004), data, size);
  int count = yk::ReadHolidays(2004, folder, table.get(), true);
  if (count < 0 || count > yk::kMaxHolidays || count != table->count) std::abort();
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= yk::DaysInMonth(2004, month); ++day) {
      const HolidayEntry* found =
          yk::FindHoliday(*table, month, day, yk::WeekdayOf(2004, month, day));
      if (found != nullptr && (found < table->entries || found >= table->entries + count)) {
        std::abort();
      }
    }
  }
  for (int i = 0; i < count; ++i) (void)yk::HolidayDisplayText(table->entries[i]);
  return 0;
}
