#include "plugins/sched/day_colour.h"

#include <fstream>

#include "common/data_path.h"

namespace yk::sched {

std::array<int, 31> ReadDayColours(const std::filesystem::path& dataFolder, int year, int month) {
  std::array<int, 31> colours{};
  std::ifstream file(DataTreePath(dataFolder, year, month, 0, "daycolor.dat"), std::ios::binary);
  if (!file) return colours;
  for (int& colour : colours) {
    unsigned char bytes[4];
    if (!file.read(reinterpret_cast<char*>(bytes), sizeof bytes)) break;
    const int32_t value = static_cast<int32_t>(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 |
                                               uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24);
    colour = (value >= 0 && value < kDayColourCount) ? value : 0;
  }
  return colours;
}

int DayColourNumber(const std::filesystem::path& dataFolder, int year, int month, int day) {
  if (day < 1 || day > 31 || month < 1 || month > 12 || year <= 0) return 0;
  return ReadDayColours(dataFolder, year, month)[day - 1];
}

}  // namespace yk::sched
