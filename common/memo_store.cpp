// memo_store.cpp — reading and writing memo.txt and memolist.txt.
#include "common/memo_store.h"

#include <system_error>

#include "common/atomic_file.h"
#include "common/cp932_text.h"
#include "common/data_path.h"
#include "common/date_util.h"
#include "common/decimal_text.h"
#include "common/utf16_line_file.h"

namespace yk {
namespace {

constexpr char kMemoFileName[] = "memo.txt";
constexpr char kMemoListFileName[] = "memolist.txt";
// A list line shorter than "MM,DD" by more than one unit names no day; a deletion drops it.
constexpr std::size_t kShortestKeptListLine = 5;

bool IsMemoDate(int year, int month, int day) {
  return year > 0 && IsValidDate(year, month, day);
}

// "%.2d,%.2d"
std::u16string ListKey(int month, int day) {
  std::u16string key;
  for (int value : {month, day}) {
    if (!key.empty()) key.push_back(u',');
    key.push_back(char16_t(u'0' + value / 10 % 10));
    key.push_back(char16_t(u'0' + value % 10));
  }
  return key;
}

}  // namespace

std::filesystem::path MemoFilePath(const std::filesystem::path& dataFolder, int year, int month,
                                   int day) {
  return DataTreePath(dataFolder, year, month, day, kMemoFileName);
}

std::filesystem::path MemoListPath(const std::filesystem::path& dataFolder, int year) {
  return DataTreePath(dataFolder, year, 0, 0, kMemoListFileName);
}

std::optional<std::string> ReadMemoBytes(const std::filesystem::path& dataFolder, int year,
                                         int month, int day) {
  if (!IsMemoDate(year, month, day)) return std::nullopt;
  return ReadFileBytes(MemoFilePath(dataFolder, year, month, day));
}

bool ReadMemo(int year, int month, int day, const std::filesystem::path& dataFolder,
              std::u16string* text) {
  text->clear();
  const std::optional<std::string> bytes = ReadMemoBytes(dataFolder, year, month, day);
  if (!bytes) return false;
  *text = DecodeCp932(*bytes).text;
  return true;
}

MemoWriteResult WriteMemo(int year, int month, int day, const std::filesystem::path& dataFolder,
                          std::u16string_view text, bool addToList) {
  MemoWriteResult result;
  if (!IsMemoDate(year, month, day)) return result;
  const Cp932Encoded encoded = EncodeCp932(text);
  if (!encoded.exact) {
    result.status = MemoWriteStatus::kNotConvertible;
    result.offending = encoded.offending;
    return result;
  }
  const std::filesystem::path file = MemoFilePath(dataFolder, year, month, day);
  CreateFoldersFor(file);
  if (!ReplaceFileAtomically(file, encoded.bytes)) return result;
  if (addToList) (void)AppendUtf16Line(MemoListPath(dataFolder, year), ListKey(month, day));
  result.status = MemoWriteStatus::kWritten;
  return result;
}

bool DeleteMemo(int year, int month, int day, const std::filesystem::path& dataFolder) {
  if (!IsMemoDate(year, month, day)) return false;
  std::error_code error;
  const std::filesystem::path file = MemoFilePath(dataFolder, year, month, day);
  std::filesystem::remove(file, error);
  if (std::filesystem::symlink_status(file, error).type() != std::filesystem::file_type::not_found)
    return false;

  const std::filesystem::path list = MemoListPath(dataFolder, year);
  const std::optional<std::vector<std::u16string>> lines = ReadUtf16Lines(list);
  if (!lines) return true;
  const std::u16string key = ListKey(month, day);
  std::vector<std::u16string> kept;
  kept.reserve(lines->size());
  for (const std::u16string& line : *lines) {
    if (line != key && line.size() >= kShortestKeptListLine) kept.push_back(line);
  }
  if (kept.size() != lines->size()) (void)ReplaceWithUtf16Lines(list, kept);
  return true;
}

std::vector<MemoDay> ReadMemoList(int year, const std::filesystem::path& dataFolder) {
  std::vector<MemoDay> days;
  (void)ForEachUtf16Line(MemoListPath(dataFolder, year), [&](std::u16string_view line) {
    if (line.find(u',') == std::u16string_view::npos) return true;
    const std::u16string_view first = line.substr(0, 2);
    const std::u16string_view last = line.substr(line.size() < 2 ? 0 : line.size() - 2);
    const MemoDay pair{ReadDecimal(first), ReadDecimal(last)};
    if (IsMemoDate(year, pair.month, pair.day)) days.push_back(pair);
    return days.size() < std::size_t(kMemoListReadLimit);
  });
  return days;
}

}  // namespace yk
