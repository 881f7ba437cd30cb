// Fuzz target: one holiday line — parsing, writing back, matching and the list's text.
#include <cstdlib>

#include "common/holiday.h"
#include "fuzz/store_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::u16string line = yk::fuzz::Units(data, size);
  HolidayEntry entry{};
  if (!yk::ParseHolidayLine(line, &entry)) return 0;
  if (yk::HolidayName(entry).size() > yk::kMaxHolidayNameLength) std::abort();
  std::u16string written = yk::WriteHolidayLine(entry);
  if (written.size() < 2 || written.substr(written.size() - 2) != u"\r\n") std::abort();
  HolidayEntry again{};
  (void)yk::ParseHolidayLine(std::u16string_view(written).substr(0, written.size() - 2), &again);
  (void)yk::HolidayDisplayText(entry);
  for (int month = 1; month <= 12; ++month) {
    (void)yk::HolidayMatches(entry, month, 1 + static_cast<int>(size % 31), month % 7);
  }
  return 0;
}
