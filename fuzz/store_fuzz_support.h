// store_fuzz_support.h — shared bits of the store's fuzz targets: input bytes as UTF-16
// units and a scratch data folder in the system's temporary folder.
#pragma once

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/testing/temp_folder.h"

namespace yk::fuzz {

// Pairs of bytes as little-endian units; a trailing odd byte is dropped.
inline std::u16string Units(const uint8_t* data, std::size_t size) {
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  return units;
}

// One scratch folder per process (with a trailing '/', as a data folder), removed at exit.
inline const std::filesystem::path& ScratchFolder() {
  static const platform::testing::TempFolder folder("fuzz");
  static const std::filesystem::path path = folder.path() / "";
  return path;
}

inline void WriteFile(const std::filesystem::path& path, const uint8_t* data, std::size_t size) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace yk::fuzz
