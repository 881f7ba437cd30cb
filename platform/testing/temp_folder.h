// temp_folder.h — test stand-in for a folder of the user's: a fresh folder per test under
// the system's temporary folder, removed with everything in it afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace platform::testing {

class TempFolder {
 public:
  explicit TempFolder(const std::string& tag) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / ("yk_" + tag + "_XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = ::mkdtemp(buffer.data());
    path_ = made ? fs::path(made) : fs::temp_directory_path() / ("yk_" + tag);
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace platform::testing
