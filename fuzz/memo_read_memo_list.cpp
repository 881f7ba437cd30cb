// Fuzz target: a year's memolist.txt — reading its pairs, and a deletion rewriting it.
#include <cstdlib>

#include "common/date_util.h"
#include "common/memo_store.h"
#include "fuzz/store_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::filesystem::path& folder = yk::fuzz::ScratchFolder();
  yk::fuzz::WriteFile(yk::MemoListPath(folder, 2004), data, size);

  const std::vector<yk::MemoDay> days = yk::ReadMemoList(2004, folder);
  if (days.size() > std::size_t(yk::kMemoListReadLimit)) std::abort();
  for (const yk::MemoDay& day : days)
    if (!yk::IsValidDate(2004, day.month, day.day)) std::abort();

  // A deletion keeps every other pair and drops every line of the day.
  if (!yk::DeleteMemo(2004, 5, 1, folder)) std::abort();
  for (const yk::MemoDay& day : yk::ReadMemoList(2004, folder))
    if (day == yk::MemoDay{5, 1}) std::abort();
  return 0;
}
