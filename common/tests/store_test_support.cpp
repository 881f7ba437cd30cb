// store_test_support.cpp — raw bytes and records for the store tests.
#include "common/tests/store_test_support.h"

#include <fstream>
#include <iterator>

#include "common/schedule_store.h"

namespace yk::testing {

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::map<std::string, std::string> FolderTree(const std::filesystem::path& folder) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = std::filesystem::relative(entry.path(), folder).string();
    if (entry.is_symlink() || (!entry.is_regular_file() && !entry.is_directory())) {
      tree[name] = "<other>";
    } else if (entry.is_directory()) {
      tree[name + "/"] = "<folder>";
    } else {
      tree[name] = ReadBytes(entry.path());
    }
  }
  return tree;
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Le(std::u16string_view text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

ScheduleRecord MakeRecord(int startYear, int startMonth, int startDay, int startHour,
                          int startMinute, int endYear, int endMonth, int endDay, int endHour,
                          int endMinute, int period, std::u16string_view text) {
  ScheduleRecord r{};
  r.startYear = startYear;
  r.startMonth = startMonth;
  r.startDay = startDay;
  r.startHour = startHour;
  r.startMinute = startMinute;
  r.endYear = endYear;
  r.endMonth = endMonth;
  r.endDay = endDay;
  r.endHour = endHour;
  r.endMinute = endMinute;
  r.period = period;
  SetRecordText(&r, text);
  return r;
}

}  // namespace yk::testing
