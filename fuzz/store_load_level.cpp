// Fuzz target: a whole sched.txt file — splitting into pieces, loading every level from
// it and collecting a date whose four files hold it.
#include <cstdlib>
#include <memory>

#include "common/schedule_store.h"
#include "common/utf16_line_file.h"
#include "fuzz/store_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::filesystem::path& folder = yk::fuzz::ScratchFolder();
  static const std::unique_ptr<ScheduleStore> store = std::make_unique<ScheduleStore>();

  yk::ForEachUtf16LineInBytes(std::string_view(reinterpret_cast<const char*>(data), size),
                              [](std::u16string_view line) {
                                if (line.size() > yk::kMaxLineUnits) std::abort();
                                return true;
                              });

  const yk::SpanLevel levels[] = {yk::SpanLevel::Years, yk::SpanLevel::Months, yk::SpanLevel::Days,
                                  yk::SpanLevel::Day};
  for (yk::SpanLevel level : levels) {
    yk::fuzz::WriteFile(yk::ScheduleFilePath(folder, level, 2004, 5, 7), data, size);
  }
  yk::ClearScheduleStore(store.get());
  for (yk::SpanLevel level : levels) {
    yk::LoadLevel(level, 2004, 5, 7, folder, store.get());
    int count = store->counts[static_cast<int>(level)];
    if (count < 0 || count > yk::LevelCapacity(level)) std::abort();
  }
  yk::ClearScheduleStore(store.get());
  yk::DayScheduleList list;
  yk::CollectDaySchedules(folder, 2004, 5, 7, 5, store.get(), &list);
  if (list.count < 0 || list.count > yk::kDayListCapacity || list.total < list.count) std::abort();
  for (int i = 0; i < list.count; ++i) {
    if (list.order[i] < 0 || list.order[i] >= list.count) std::abort();
    const yk::DayEntry& entry = list.entries[list.order[i]];
    if (entry.endMinutes < entry.startMinutes) std::abort();
  }
  return 0;
}
