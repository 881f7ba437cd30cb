// store_test_support.cpp — temporary folders and raw bytes for the store tests.
#include "common/tests/store_test_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "common/schedule_store.h"

namespace yk::testing {

TempFolder::TempFolder(Medium medium) {
  std::filesystem::path base = std::filesystem::temp_directory_path();
  std::error_code error;
  const std::filesystem::path memory = "/dev/shm";
  if (medium == Medium::kMemory && std::filesystem::is_directory(memory, error) &&
      ::access(memory.c_str(), W_OK | X_OK) == 0) {
    base = memory;
  }
  std::string pattern = (base / "yk-store-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = std::filesystem::path(pattern) / "";
}

TempFolder::~TempFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
