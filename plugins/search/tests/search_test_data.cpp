// search_test_data.cpp — data folders for the search tests.
#include "plugins/search/tests/search_test_data.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "common/cp932_text.h"
#include "common/memo_store.h"
#include "common/schedule_store.h"
#include "common/utf16_line_file.h"

namespace yk::search::testing {

DataFolder::DataFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "yk-search-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = std::filesystem::path(pattern) / "";
}

DataFolder::~DataFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

void DataFolder::AddSchedules(const std::vector<ScheduleRecord>& records) const {
  if (records.empty()) return;
  const std::filesystem::path file = ScheduleFilePathOf(path_, records.front());
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::app);
  for (const ScheduleRecord& record : records) out << EncodeUtf16Line(FormatScheduleLine(record));
}

void DataFolder::AddMemo(int year, int month, int day, std::u16string_view text,
                         bool listed) const {
  const std::filesystem::path file = MemoFilePath(path_, year, month, day);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << EncodeCp932(text).bytes;
  if (listed) {
    const std::u16string line = {char16_t(u'0' + month / 10), char16_t(u'0' + month % 10), u',',
                                 char16_t(u'0' + day / 10), char16_t(u'0' + day % 10)};
    if (!AppendUtf16Line(MemoListPath(path_, year), line)) throw std::runtime_error("list");
  }
}

void DataFolder::WriteMemoList(int year, const std::vector<std::u16string>& lines) const {
  const std::filesystem::path file = MemoListPath(path_, year);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << LinesBytes(lines);
}

std::string DataFolder::Bytes(const std::filesystem::path& relative) const {
  std::ifstream in(path_ / relative, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void DataFolder::WriteBytes(const std::filesystem::path& relative, std::string_view bytes) const {
  const std::filesystem::path file = path_ / relative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

ScheduleRecord Schedule(int sy, int sm, int sd, int ey, int em, int ed, std::u16string_view text) {
  ScheduleRecord r{};
  r.startYear = sy, r.startMonth = sm, r.startDay = sd;
  r.endYear = ey, r.endMonth = em, r.endDay = ed;
  r.period = kPeriodContinuous;
  SetRecordText(&r, text);
  return r;
}

std::string LinesBytes(const std::vector<std::u16string>& lines) {
  std::string bytes;
  for (const std::u16string& line : lines) bytes += EncodeUtf16Line(line);
  return bytes;
}

}  // namespace yk::search::testing
