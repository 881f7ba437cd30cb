// picker_test_sheet.h — a parts sheet for the pickers' tests whose every pixel differs
// from its neighbours, so a glyph cut from the wrong place shows in an exact comparison.
#pragma once

#include <cstdint>
#include <vector>

#include "common/bitmap_ops.h"

namespace yk::testing {

class TestSheet {
 public:
  TestSheet();
  ConstPixelBuffer view() const { return {bits_.data(), kPartsWidth, kPartsHeight, kPartsBytes}; }
  // Blue, green, red of top-down pixel (x, y).
  const uint8_t* At(int x, int y) const {
    return bits_.data() + (size_t(kPartsHeight - 1 - y) * kPartsWidth + x) * 3;
  }
  // Paints the rectangle one flat colour.
  void Paint(int x, int y, int w, int h, uint8_t b, uint8_t g, uint8_t r);

 private:
  std::vector<uint8_t> bits_;
};

// Blue, green, red of top-down pixel (x, y) of a bottom-up, unpadded 24-bit image.
inline const uint8_t* PixelOf(const std::vector<uint8_t>& image, int width, int height, int x,
                              int y) {
  return image.data() + (size_t(height - 1 - y) * width + x) * 3;
}

}  // namespace yk::testing
