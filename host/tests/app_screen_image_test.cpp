// The view's picture of the composition buffer: upright, clipped, each host pixel a
// factor x factor square, checked against a plain per-pixel reference.
#include <gtest/gtest.h>

#include <vector>

#include "host/screen_image.h"

namespace yk {
namespace {

// A buffer whose every byte differs from its neighbours'.
std::vector<uint8_t> Pattern(int width, int height) {
  std::vector<uint8_t> bytes(size_t(width) * size_t(height) * 3);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + i / 3);
  return bytes;
}

// Host pixel (x, y) of a bottom-up buffer as the colour an upright image shows.
QRgb Reference(const ConstPixelBuffer& b, int x, int y) {
  const uint8_t* p = b.bits + (long(b.height - 1 - y) * b.width + x) * 3;
  return qRgb(p[2], p[1], p[0]);
}

TEST(ScreenImage, EveryHostPixelBecomesASquareOfItsOwnColour) {
  const int width = 13, height = 9;
  const std::vector<uint8_t> bytes = Pattern(width, height);
  const ConstPixelBuffer buffer(bytes.data(), width, height, int(bytes.size()));
  const struct {
    const char* rule;
    int left, top, w, h, factor;
    int shownLeft, shownTop, shownWidth, shownHeight;  // the part that lies inside
  } cases[] = {
      {"all at 1", 0, 0, 13, 9, 1, 0, 0, 13, 9},
      {"all at 2", 0, 0, 13, 9, 2, 0, 0, 13, 9},
      {"a part at 3", 3, 2, 5, 4, 3, 3, 2, 5, 4},
      {"reaching past the right and bottom", 10, 7, 8, 8, 2, 10, 7, 3, 2},
      {"starting left of and above it", -2, -3, 5, 5, 2, 0, 0, 3, 2},
      {"a factor out of range is 1", 1, 1, 2, 2, 4, 1, 1, 2, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    const QImage image = ScreenImage(buffer, c.left, c.top, c.w, c.h, c.factor);
    const int f = c.factor >= 1 && c.factor <= 3 ? c.factor : 1;
    ASSERT_EQ(image.size(), QSize(c.shownWidth * f, c.shownHeight * f));
    int wrong = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb expected = Reference(buffer, c.shownLeft + x / f, c.shownTop + y / f);
        if (image.pixel(x, y) != expected && wrong++ < 3)
          ADD_FAILURE() << x << "," << y << ": " << std::hex << image.pixel(x, y) << " not "
                        << expected;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(ScreenImage, NothingInsideGivesNoImage) {
  const std::vector<uint8_t> bytes = Pattern(8, 4);
  const ConstPixelBuffer buffer(bytes.data(), 8, 4, int(bytes.size()));
  const struct {
    const char* rule;
    ConstPixelBuffer source;
    int left, top, w, h;
  } cases[] = {
      {"right of the buffer", buffer, 8, 0, 4, 4},
      {"below it", buffer, 0, 4, 4, 4},
      {"empty", buffer, 2, 2, 0, 3},
      {"no pixels", ConstPixelBuffer(nullptr, 8, 4, 96), 0, 0, 8, 4},
      {"no width", ConstPixelBuffer(bytes.data(), 0, 4, 96), 0, 0, 8, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_TRUE(ScreenImage(c.source, c.left, c.top, c.w, c.h, 2).isNull());
  }
}

TEST(ScreenImage, AShortBufferShowsOnlyTheRowsItHolds) {
  // Bytes for the bottom two rows of a 4-row buffer: the top two are missing.
  const std::vector<uint8_t> bytes = Pattern(8, 2);
  const ConstPixelBuffer buffer(bytes.data(), 8, 4, int(bytes.size()));
  const QImage image = ScreenImage(buffer, 0, 0, 8, 4, 1);
  ASSERT_EQ(image.size(), QSize(8, 2));
  EXPECT_EQ(image.pixel(0, 0), Reference(buffer, 0, 2));
  EXPECT_EQ(image.pixel(7, 1), Reference(buffer, 7, 3));
}

}  // namespace
}  // namespace yk
