// Fuzz target: a move intent file — reading it and settling it against a day file and a
// month file.  However the intent reads, settling takes at most one record line out of
// them and leaves no intent behind.
#include <cstdlib>
#include <string>

#include "common/schedule_store.h"
#include "common/utf16_line_file.h"
#include "fuzz/store_fuzz_support.h"

namespace {

int RecordLines(const std::filesystem::path& file) {
  int count = 0;
  (void)yk::ForEachUtf16Line(file, [&count](std::u16string_view line) {
    ScheduleRecord record{};
    if (yk::ParseScheduleLine(line, &record)) ++count;
    return true;
  });
  return count;
}

void Put(const std::filesystem::path& file, std::u16string_view lines) {
  const std::string bytes = yk::EncodeUtf16Le(lines);
  yk::fuzz::WriteFile(file, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::filesystem::path& folder = yk::fuzz::ScratchFolder();
  const std::filesystem::path day = folder / "2004/5/7/sched.txt";
  const std::filesystem::path month = folder / "2004/5/sched.txt";
  Put(day,
      u"(2004,05,07,10,00 2004,05,07,11,00 -1)(x)\r\n"
      u"(2004,05,07,12,00 2004,05,07,13,00 -1)(a)\r\n"
      u"(2004,05,07,10,00 2004,05,07,11,00 -1)(x)\r\n");
  Put(month,
      u"(2004,05,07,10,00 2004,05,09,11,00 -1)(x)\r\n"
      u"(2004,05,07,10,00 2004,05,09,11,00 -1)(x)\r\n");
  yk::fuzz::WriteFile(yk::MoveIntentPath(folder), data, size);

  const int before = RecordLines(day) + RecordLines(month);
  yk::MoveSettlement settled = yk::SettleScheduleMove(folder);
  if (RecordLines(day) + RecordLines(month) < before - 1) std::abort();
  if (settled != yk::MoveSettlement::kFailed &&
      std::filesystem::exists(yk::MoveIntentPath(folder))) {
    std::abort();
  }
  return 0;
}
