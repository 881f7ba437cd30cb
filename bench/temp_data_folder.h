// temp_data_folder.h — an empty data folder for a benchmark, in the temporary folder (on
// a disk, so that what writes cost includes waiting for it), removed with what it holds.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace yk::bench {

class TempDataFolder {
 public:
  TempDataFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "yk-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = std::filesystem::path(pattern) / "";
  }
  ~TempDataFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  TempDataFolder(const TempDataFolder&) = delete;
  TempDataFolder& operator=(const TempDataFolder&) = delete;

  // With a trailing '/', as the data folder has.
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace yk::bench
