#include "plugins/sched/day_colour.h"

#include <algorithm>
#include <fstream>

#include "common/data_path.h"

namespace yk::sched {

namespace {
constexpr size_t kFileBytes = 31 * 4;
}  // namespace

std::array<int, 31> ParseDayColours(std::span<const uint8_t> bytes) {
  std::array<int, 31> colours{};
  for (size_t day = 0; day < colours.size() && (day + 1) * 4 <= bytes.size(); ++day) {
    const uint8_t* b = bytes.data() + day * 4;
    const int32_t value = static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 |
                                               uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
    colours[day] = (value >= 0 && value < kDayColourCount) ? value : 0;
  }
  return colours;
}

std::array<int, 31> ReadDayColours(const std::filesystem::path& dataFolder, int year, int month) {
  std::ifstream file(DataTreePath(dataFolder, year, month, 0, "daycolor.dat"), std::ios::binary);
  std::array<uint8_t, kFileBytes> bytes{};
  if (!file) return {};
  file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
  return ParseDayColours(
      std::span(bytes.data(), size_t(std::max<std::streamsize>(file.gcount(), 0))));
}

int DayColourNumber(const std::filesystem::path& dataFolder, int year, int month, int day) {
  if (day < 1 || day > 31 || month < 1 || month > 12 || year <= 0) return 0;
  return ReadDayColours(dataFolder, year, month)[day - 1];
}

}  // namespace yk::sched
