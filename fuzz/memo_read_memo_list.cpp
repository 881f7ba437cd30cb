// Fuzz target: a year's memolist.txt — reading its pairs, and a deletion rewriting it.
#include <cstdlib>

#include "common/date_util.h"
#include "common/memo_store.h"
#include "common/utf16_line_file.h"
#include "fuzz/store_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::filesystem::path& folder = yk::fuzz::ScratchFolder();
  yk::fuzz::WriteFile(yk::MemoListPath(folder, 2004), data, size);

  const std::vector<yk::MemoDay> days = yk::ReadMemoList(2004, folder);
  if (days.size() > std::size_t(yk::kMemoListReadLimit)) std::abort();
  for (const yk::MemoDay& day : days)
    if (!yk::IsValidDate(2004, day.month, day.day)) std::abort();

  // A deletion drops every line of the day and writes a list that reads again.  (A line
  // the reader takes for the day without being its line, such as "05x,01", stays: it names
  // a memo that is gone.)
  if (!yk::DeleteMemo(2004, 5, 1, folder)) std::abort();
  const auto lines = yk::ReadUtf16Lines(yk::MemoListPath(folder, 2004));
  if (!lines) std::abort();
  for (const std::u16string& line : *lines)
    if (line == u"05,01" || line.size() < 5) std::abort();
  if (yk::ReadMemoList(2004, folder).size() > days.size()) std::abort();
  return 0;
}
