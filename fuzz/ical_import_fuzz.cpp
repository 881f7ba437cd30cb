// Fuzz target: arbitrary bytes as a calendar file to import — decoding, parsing, time
// zones, expanding repetitions, checking each event against the record kinds.  Every
// record planned must be one the store and the views take: a valid kind within
// 1975..2036, its text one line of at most 1023 characters.
#include <cstdlib>
#include <string_view>

#include "common/ical_exchange.h"
#include "common/schedule_occurrences.h"
#include "common/schedule_store.h"
#include "fuzz/store_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const yk::CalendarImportPlan plan =
      yk::PlanCalendarImport(bytes, yk::fuzz::ScratchFolder(), {"Asia/Tokyo"});
  for (const ScheduleRecord& r : plan.records) {
    const std::u16string_view text = yk::RecordText(r);
    if (yk::KindOf(r) == yk::RecordKind::kInvalid || r.startYear < yk::kFirstYear ||
        r.endYear > yk::kLastYear || text.size() > std::size_t(yk::kMaxScheduleTextLength) ||
        text.find_first_of(u"\r\n") != std::u16string_view::npos) {
      std::abort();
    }
  }
  (void)yk::ImportReportText(plan, false);
  return 0;
}
