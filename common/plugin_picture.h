// plugin_picture.h — a picture a plugin reads from its .dat file (a BMP) when its window
// opens: the file's top-left pixels, copied into a white buffer of a fixed size that the
// plugin keeps for as long as the window lives.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "common/bitmap_ops.h"

namespace yk {

class PluginPicture {
 public:
  // An empty picture of width x height; buffer() has no pixels until Load succeeds.
  PluginPicture(int width, int height) : width_(width), height_(height) {}

  // Reads `file` and copies its top-left copyWidth x copyHeight pixels to the picture's top
  // left; every other pixel is white (so is the part a smaller file doesn't cover).  False,
  // with the picture unchanged, when the file is missing or no bitmap it can read.
  [[nodiscard]] bool Load(const std::filesystem::path& file, int copyWidth, int copyHeight);
  // The same with the whole picture's size copied.
  [[nodiscard]] bool Load(const std::filesystem::path& file) { return Load(file, width_, height_); }

  PixelBuffer buffer() { return {pixels_.data(), width_, height_, int(pixels_.size())}; }
  ConstPixelBuffer buffer() const { return {pixels_.data(), width_, height_, int(pixels_.size())}; }

 private:
  int width_;
  int height_;
  std::vector<uint8_t> pixels_;
};

}  // namespace yk
