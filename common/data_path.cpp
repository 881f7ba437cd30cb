// data_path.cpp — building paths in the year/month/day tree.
#include "common/data_path.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "common/date_util.h"

namespace yk {

std::filesystem::path DataTreePath(const std::filesystem::path& dataFolder, int year, int month,
                                   int day, std::string_view fileName) {
  std::filesystem::path path = dataFolder;
  if (year != 0) {
    path /= std::to_string(year);
    if (month != 0) {
      path /= std::to_string(StripRepeatMark(month));
      if (day != 0) path /= std::to_string(StripRepeatMark(day));
    }
  }
  path /= std::string(fileName);
  return path;
}

void CreateFoldersFor(const std::filesystem::path& file) noexcept {
  try {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
  } catch (...) {
    // Nothing to report: opening the file fails next and says so.
  }
}

void CreateFoldersFor(const std::filesystem::path& file,
                      std::vector<std::filesystem::path>* made) noexcept {
  try {
    // The innermost folder first: mostly it is the only one missing, or none is.
    std::vector<std::filesystem::path> missing;  // innermost first
    for (std::filesystem::path folder = file.parent_path();;) {
      if (folder.empty() || ::mkdir(folder.c_str(), 0777) == 0) {
        if (!folder.empty()) made->push_back(folder);
        break;
      }
      if (errno != ENOENT || folder == folder.parent_path()) break;
      missing.push_back(folder);
      folder = folder.parent_path();
    }
    // Then the ones that were missing inside it, outermost first.
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
      if (::mkdir(folder->c_str(), 0777) != 0) return;  // opening the file fails and says so
      made->push_back(*folder);
    }
  } catch (...) {
    // As above.
  }
}

}  // namespace yk
