// data_path.h — paths in the data folder's year/month/day tree.
//
// The tree: <dataFolder><year>/<month>/<day>/<file>, folder names plain decimal numbers
// without leading zeros ("2004/5/7/sched.txt").  A month or day carrying the every-year
// or every-month mark (above 50) names the folder of the real number (less 50).  A
// component of 0 ends the path there: year 0 gives the root file, month 0 the year's
// file, day 0 the month's file.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace yk {

// <dataFolder>[<year>/[<month>/[<day>/]]]<fileName>
[[nodiscard]] std::filesystem::path DataTreePath(const std::filesystem::path& dataFolder, int year,
                                                 int month, int day, std::string_view fileName);

// Creates the folders that `file` needs, outermost first.  A folder that exists already
// is fine; one that can't be made is not reported here (opening the file fails then).
void CreateFoldersFor(const std::filesystem::path& file) noexcept;

// The same, adding the folders it made (outermost first) to `made`, so that they can be
// removed again.
void CreateFoldersFor(const std::filesystem::path& file,
                      std::vector<std::filesystem::path>* made) noexcept;

}  // namespace yk
