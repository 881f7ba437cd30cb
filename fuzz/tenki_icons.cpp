// icons.dat files of any length and content (short ones above all): loaded, stamped and
// written back with every byte outside the weather integers carried over.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "plugins/tenki/weather_stamps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace yk::tenki;
  static const std::filesystem::path folder = [] {
    auto made =
        std::filesystem::temp_directory_path() / ("yk_fuzz_icons_" + std::to_string(::getpid()));
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(
          std::filesystem::temp_directory_path() / ("yk_fuzz_icons_" + std::to_string(::getpid())),
          ignored);
    });
    return made;
  }();
  const std::filesystem::path file = folder / "2005" / "2" / "icons.dat";
  std::filesystem::create_directories(file.parent_path());
  const std::string before(reinterpret_cast<const char*>(data), size);
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(before.data(), std::streamsize(size));

  IconMonth month(folder);
  month.Load(2005, 2);
  if (month.bytes().size() < kIconFileBytes) __builtin_trap();
  for (int day = 0; day <= 32; ++day) month.SetStamps(day, ClassifyWeather(u"晴時々曇"));
  if (!month.Save()) __builtin_trap();
  std::ifstream in(file, std::ios::binary);
  const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (after.size() != std::max(size, kIconFileBytes)) __builtin_trap();
  for (size_t i = 0; i < after.size(); ++i) {
    const size_t inRecord = i % kIconDayBytes;
    const bool ours = i < kIconFileBytes && inRecord >= 300 && inRecord < 340;
    const char old = i < size ? before[i] : '\0';
    if (!ours && after[i] != old) __builtin_trap();
  }
  return 0;
}
