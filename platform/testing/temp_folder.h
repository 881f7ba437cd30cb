// temp_folder.h — test stand-in for a folder of the user's: a fresh folder per test under
// the system's temporary folder, removed with everything in it afterwards.  Never the
// user's data.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace platform::testing {

class TempFolder {
 public:
  // Where the folder lies: the system's temporary folder, or (when the system has one) a
  // file system in memory, for tests that write so often that waiting for the disk at
  // every flush would make them slow.  A killed process leaves the same files on both.
  enum class Medium { kDisk, kMemory };

  // `tag` goes into the folder's name, so a folder left by a crashed run tells whose it is.
  explicit TempFolder(const std::string& tag = "test", Medium medium = Medium::kDisk) {
    namespace fs = std::filesystem;
    fs::path base = fs::temp_directory_path();
    std::error_code error;
    const fs::path memory = "/dev/shm";
    if (medium == Medium::kMemory && fs::is_directory(memory, error) &&
        ::access(memory.c_str(), W_OK | X_OK) == 0) {
      base = memory;
    }
    std::string pattern = (base / ("yk_" + tag + "_XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  explicit TempFolder(Medium medium) : TempFolder("test", medium) {}
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, without a trailing '/'.
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace platform::testing
