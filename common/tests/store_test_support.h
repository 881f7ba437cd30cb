// store_test_support.h — temporary data folders and raw file bytes for the store tests.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/plugin_interface.h"

namespace yk::testing {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes.  Never the user's data.
class TempFolder {
 public:
  // Where the folder lies: the system's temporary folder, or (when the system has one) a
  // file system in memory, for tests that write so often that waiting for the disk at
  // every flush would make them slow.  A killed process leaves the same files on both.
  enum class Medium { kDisk, kMemory };

  explicit TempFolder(Medium medium = Medium::kDisk);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, with a trailing '/' as the data folder has.
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The file's bytes; "<missing>" when it can't be read.
std::string ReadBytes(const std::filesystem::path& file);

// Writes bytes as they are, creating folders as needed.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

// UTF-16LE bytes of an ASCII or UTF-16 text, for writing expected file contents in tests.
std::string Le(std::u16string_view text);

// A schedule record from its eleven numbers and text.
ScheduleRecord MakeRecord(int startYear, int startMonth, int startDay, int startHour,
                          int startMinute, int endYear, int endMonth, int endDay, int endHour,
                          int endMinute, int period, std::u16string_view text);

}  // namespace yk::testing
