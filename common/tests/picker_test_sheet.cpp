#include "common/tests/picker_test_sheet.h"

namespace yk::testing {

TestSheet::TestSheet() : bits_(kPartsBytes) {
  uint32_t state = 12345;
  for (auto& byte : bits_) {
    state = state * 1103515245u + 12345u;
    byte = uint8_t(state >> 16);
  }
}

void TestSheet::Paint(int x, int y, int w, int h, uint8_t b, uint8_t g, uint8_t r) {
  for (int row = y; row < y + h; ++row)
    for (int col = x; col < x + w; ++col) {
      uint8_t* p = bits_.data() + (size_t(kPartsHeight - 1 - row) * kPartsWidth + col) * 3;
      p[0] = b, p[1] = g, p[2] = r;
    }
}

}  // namespace yk::testing
