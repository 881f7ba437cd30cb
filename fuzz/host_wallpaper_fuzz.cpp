// Feeds arbitrary bytes to the wallpaper decoder as a JPEG file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "host/wallpaper.h"
#include "platform/message_box.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    platform::SetMessageBoxHandler(
        [](std::u16string_view, std::u16string_view, unsigned) { return int(platform::kIdOk); });
    return true;
  }();
  (void)quiet;
  static const std::string path = "/tmp/fuzz_wallpaper_" + std::to_string(::getpid()) + ".jpg";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  auto picture = yk::DecodeJpegFile(path);
  if (picture) {
    std::vector<uint8_t> back(64 * 48 * 3);
    yk::PlaceWallpaper(*picture, back.data(), 64, 48, back.size());
  }
  return 0;
}
