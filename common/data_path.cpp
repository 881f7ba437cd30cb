// data_path.cpp — building paths in the year/month/day tree.
#include "common/data_path.h"

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

}  // namespace yk
