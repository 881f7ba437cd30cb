// The pixel primitives against a naive per-pixel reference kept here: every pixel of the
// requested rectangle is visited, its column and row checked against both buffers and its
// byte position against both byte sizes, and the formula applied to one byte at a time.
#include "common/bitmap_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

namespace yk {
namespace {

// A buffer with guard bytes on both sides, so a write outside the pixel memory shows up.
class Image {
 public:
  Image(int w, int h, uint32_t seed = 1) : width_(w), height_(h), memory_(kGuard * 2 + w * h * 3) {
    uint32_t x = seed * 2654435761u + 12345u;
    for (auto& b : memory_) {
      x = x * 1664525u + 1013904223u;
      b = static_cast<uint8_t>(x >> 24);
    }
  }
  PixelBuffer Buffer(int bytes = -1) {
    return {memory_.data() + kGuard, width_, height_, bytes < 0 ? width_ * height_ * 3 : bytes};
  }
  uint8_t* Pixel(int x, int y) {
    return memory_.data() + kGuard + (x + width_ * (height_ - 1 - y)) * 3;
  }
  void Set(int x, int y, uint8_t b, uint8_t g, uint8_t r) {
    uint8_t* p = Pixel(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
  }
  void Fill(uint8_t v) { std::fill(memory_.begin() + kGuard, memory_.end() - kGuard, v); }
  const std::vector<uint8_t>& Raw() const { return memory_; }
  std::vector<uint8_t>& Raw() { return memory_; }
  static constexpr int kGuard = 64;

 private:
  int width_, height_;
  std::vector<uint8_t> memory_;
};

using ByteFormula = std::function<int(int d, int s)>;

// The reference: pixel (x + i, y + j) of dst takes pixel (sx + i, sy + j) of src.
void ReferenceTwo(PixelBuffer dst, int x, int y, int w, int h, ConstPixelBuffer src, int sx, int sy,
                  const std::function<void(uint8_t*, const uint8_t*)>& pixel) {
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      const int dx = x + i, dy = y + j, qx = sx + i, qy = sy + j;
      if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height) continue;
      if (qx < 0 || qy < 0 || qx >= src.width || qy >= src.height) continue;
      const long dpos = (dx + long(dst.width) * (dst.height - 1 - dy)) * 3;
      const long spos = (qx + long(src.width) * (src.height - 1 - qy)) * 3;
      if (dpos < 0 || dpos + 2 >= dst.bytes || spos < 0 || spos + 2 >= src.bytes) continue;
      pixel(dst.bits + dpos, src.bits + spos);
    }
  }
}

std::function<void(uint8_t*, const uint8_t*)> PerByte(ByteFormula f) {
  return [f](uint8_t* d, const uint8_t* s) {
    for (int b = 0; b < 3; ++b) d[b] = static_cast<uint8_t>(f(d[b], s[b]));
  };
}

std::function<void(uint8_t*, const uint8_t*)> BlendReference(int mode) {
  switch (mode) {
    case 0:
      return PerByte([](int d, int s) { return std::max(d, s); });
    case 1:
      return PerByte([](int d, int s) { return std::min(d, s); });
    case 2:
      return PerByte([](int d, int s) { return d & s; });
    case 3:
      return PerByte([](int d, int s) { return d | s; });
    case 4:
      return PerByte([](int d, int s) { return std::min(255, d + s); });
    case 5:
      return PerByte([](int d, int s) { return std::max(0, d - s); });
    case 6:
      return PerByte([](int d, int s) { return d * s / 255; });
    case 7:
      return PerByte([](int d, int s) { return std::min(255, d + d * s / 255); });
    case 8:
      return PerByte([](int d, int s) { return std::max(0, d - d * s / 255); });
    case 9:
      return [](uint8_t* d, const uint8_t* s) {
        if (s[0] == 255 && s[1] == 255 && s[2] == 255) return;
        std::copy(s, s + 3, d);
      };
    case 10:
      return PerByte([](int d, int s) { return d + (255 - s) * (255 - d) / 255; });
    case 11:
      return PerByte([](int d, int s) { return d + s * (255 - d) / 255; });
    default:
      return [](uint8_t*, const uint8_t*) {};
  }
}

struct Rect {
  int x, y, w, h, sx, sy;
  const char* what;
};

// Rectangles that exercise every kind of clipping on a 16 x 12 destination and a
// 12 x 10 source.
const Rect kRects[] = {
    {2, 3, 5, 4, 1, 1, "inside both"},
    {12, 2, 10, 3, 0, 0, "past the destination's right edge"},
    {-3, -2, 6, 5, 4, 4, "before the destination's top-left"},
    {1, 9, 4, 8, 0, 0, "past the destination's bottom"},
    {0, 0, 8, 8, 7, 5, "past the source's right and bottom"},
    {3, 3, 4, 4, -2, -3, "before the source's top-left"},
    {20, 0, 4, 4, 0, 0, "wholly outside the destination"},
    {0, 0, 4, 4, 12, 0, "wholly outside the source"},
    {0, 0, 16, 12, 0, 0, "the whole destination"},
    {4, 4, 0, 3, 0, 0, "zero width"},
    {4, 4, 3, -2, 0, 0, "negative height"},
};

// Destination byte sizes: exact, and one that cuts the buffer in the middle of a pixel.
const int kDstBytes[] = {16 * 12 * 3, 16 * 5 * 3 + 7};

TEST(BlendTest, EveryModeMatchesThePerPixelReference) {
  for (int mode = -1; mode <= 12; ++mode) {
    for (const Rect& r : kRects) {
      for (int bytes : kDstBytes) {
        Image got(16, 12, 3), want(16, 12, 3), src(12, 10, 7);
        // Pure white and pure black source pixels reach modes 6 and 9's special cases.
        src.Set(1, 1, 255, 255, 255);
        src.Set(2, 1, 0, 0, 0);
        src.Set(7, 5, 255, 255, 255);
        Blend(got.Buffer(bytes), r.x, r.y, r.w, r.h, src.Buffer(), r.sx, r.sy, mode);
        ReferenceTwo(want.Buffer(bytes), r.x, r.y, r.w, r.h, src.Buffer(), r.sx, r.sy,
                     BlendReference(mode));
        EXPECT_EQ(got.Raw(), want.Raw()) << "mode " << mode << ", " << r.what << ", " << bytes;
      }
    }
  }
}

TEST(CopyRopTest, EveryRasterOperationMatchesThePerPixelReference) {
  struct Case {
    uint32_t rop;
    std::function<void(uint8_t*, const uint8_t*)> pixel;
  };
  const Case cases[] = {
      {kSrcCopy, PerByte([](int, int s) { return s; })},
      {kNotSrcCopy, PerByte([](int, int s) { return 255 - s; })},
      {kSrcAnd, PerByte([](int d, int s) { return d & s; })},
      {kSrcPaint, PerByte([](int d, int s) { return d | s; })},
      {0x00F00021, [](uint8_t*, const uint8_t*) {}},  // a pattern copy: not supported
      {0, [](uint8_t*, const uint8_t*) {}},
  };
  for (const Case& c : cases) {
    for (const Rect& r : kRects) {
      for (int bytes : kDstBytes) {
        Image got(16, 12, 5), want(16, 12, 5), src(12, 10, 9);
        CopyRop(got.Buffer(bytes), r.x, r.y, r.w, r.h, src.Buffer(), r.sx, r.sy, c.rop);
        ReferenceTwo(want.Buffer(bytes), r.x, r.y, r.w, r.h, src.Buffer(), r.sx, r.sy, c.pixel);
        EXPECT_EQ(got.Raw(), want.Raw()) << std::hex << c.rop << ", " << r.what << ", " << bytes;
      }
    }
  }
}

TEST(CopyRopTest, SourceByteSizeLimitsWhatIsRead) {
  // The source claims fewer bytes than its size: only the pixels whose bytes lie inside it
  // are copied (the bottom rows are stored first).
  Image got(8, 4, 1), want(8, 4, 1), src(8, 4, 2);
  const int srcBytes = 8 * 3 + 5;  // the last row (stored first) and one more pixel
  CopyRop(got.Buffer(), 0, 0, 8, 4, src.Buffer(srcBytes), 0, 0, kSrcCopy);
  ReferenceTwo(want.Buffer(), 0, 0, 8, 4, src.Buffer(srcBytes), 0, 0,
               PerByte([](int, int s) { return s; }));
  EXPECT_EQ(got.Raw(), want.Raw());
  EXPECT_NE(std::vector<uint8_t>(got.Pixel(0, 3), got.Pixel(0, 3) + 3),
            std::vector<uint8_t>(got.Pixel(0, 0), got.Pixel(0, 0) + 3));
}

TEST(CopyRopTest, OverlappingCopyInOneBufferReadsTheOriginalPixels) {
  struct Case {
    int x, y, sx, sy;
    const char* what;
  };
  const Case cases[] = {
      {1, 0, 0, 0, "one pixel right"}, {0, 0, 1, 0, "one pixel left"}, {0, 1, 0, 0, "one row down"},
      {0, 0, 0, 1, "one row up"},      {2, 3, 1, 1, "down and right"}, {1, 1, 3, 2, "up and left"},
  };
  for (const Case& c : cases) {
    Image img(12, 10, 4);
    Image snapshot = img;
    const int w = 8, h = 6;
    CopyRop(img.Buffer(), c.x, c.y, w, h, img.Buffer(), c.sx, c.sy, kSrcCopy);
    for (int j = 0; j < h; ++j) {
      for (int i = 0; i < w; ++i) {
        const uint8_t* got = img.Pixel(c.x + i, c.y + j);
        const uint8_t* want = snapshot.Pixel(c.sx + i, c.sy + j);
        ASSERT_TRUE(std::equal(got, got + 3, want)) << c.what << " at " << i << "," << j;
      }
    }
    // The same through a per-byte blend, which walks the pixels itself.
    Image img2 = snapshot;
    Blend(img2.Buffer(), c.x, c.y, w, h, img2.Buffer(), c.sx, c.sy, kBlendTransparent);
    Image want2 = snapshot;
    ReferenceTwo(want2.Buffer(), c.x, c.y, w, h, snapshot.Buffer(), c.sx, c.sy, BlendReference(9));
    EXPECT_EQ(img2.Raw(), want2.Raw()) << c.what;
  }
}

TEST(SingleBufferTest, FillsInvertAndLightenMatchTheReference) {
  struct Op {
    const char* name;
    void (*run)(PixelBuffer, int, int, int, int);
    int (*byte)(int);
  };
  const Op ops[] = {
      {"fill white", FillWhite, [](int) { return 255; }},
      {"fill black", FillBlack, [](int) { return 0; }},
      {"invert", Invert, [](int b) { return 255 - b; }},
      {"lighten", Lighten, [](int b) { return std::min(255, b * 15 / 100 + 216); }},
  };
  Image dummySrc(16, 12, 0);
  for (const Op& op : ops) {
    for (const Rect& r : kRects) {
      for (int bytes : kDstBytes) {
        Image got(16, 12, 11), want(16, 12, 11);
        op.run(got.Buffer(bytes), r.x, r.y, r.w, r.h);
        // The source check of the two-buffer reference is made a no-op with a full-size
        // source at the same origin.
        ReferenceTwo(want.Buffer(bytes), r.x, r.y, r.w, r.h, dummySrc.Buffer(), r.x, r.y,
                     [&](uint8_t* d, const uint8_t*) {
                       for (int b = 0; b < 3; ++b) d[b] = static_cast<uint8_t>(op.byte(d[b]));
                     });
        EXPECT_EQ(got.Raw(), want.Raw()) << op.name << ", " << r.what << ", " << bytes;
      }
    }
  }
}

TEST(SingleBufferTest, KnownValues) {
  Image img(4, 1);
  img.Set(0, 0, 0, 100, 255);
  Lighten(img.Buffer(), 0, 0, 1, 1);
  EXPECT_EQ(img.Pixel(0, 0)[0], 216);
  EXPECT_EQ(img.Pixel(0, 0)[1], 231);
  EXPECT_EQ(img.Pixel(0, 0)[2], 254);
  Invert(img.Buffer(), 0, 0, 1, 1);
  EXPECT_EQ(img.Pixel(0, 0)[0], 39);
}

// A rectangle that runs past the right edge must not wrap onto the next row.
TEST(NoWrapTest, RectanglesPastTheRightEdgeStayInTheirRows) {
  const int w = 8, h = 4;
  auto check = [&](const char* what, const std::function<void(PixelBuffer)>& draw) {
    Image img(w, h, 1);
    Image before = img;
    draw(img.Buffer());
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < 6; ++x) {  // columns left of the rectangle
        EXPECT_TRUE(std::equal(img.Pixel(x, y), img.Pixel(x, y) + 3, before.Pixel(x, y)))
            << what << " touched (" << x << ", " << y << ")";
      }
    }
    EXPECT_TRUE(
        std::equal(img.Raw().begin(), img.Raw().begin() + Image::kGuard, before.Raw().begin()));
    EXPECT_TRUE(std::equal(img.Raw().end() - Image::kGuard, img.Raw().end(),
                           before.Raw().end() - Image::kGuard));
  };
  Image src(8, 4, 2);
  check("fill", [](PixelBuffer b) { FillBlack(b, 6, 0, 10, 4); });
  check("invert", [](PixelBuffer b) { Invert(b, 6, 1, 10, 3); });
  check("copy", [&](PixelBuffer b) { CopyRop(b, 6, 0, 10, 4, src.Buffer(), 0, 0, kSrcCopy); });
  check("blend", [&](PixelBuffer b) { Blend(b, 6, 0, 10, 4, src.Buffer(), 0, 0, 0); });
  check("reduce", [&](PixelBuffer b) { Reduce(b, 6, 0, 4, 4, src.Buffer(), 0, 0, 8, 4); });
}

TEST(BlendTest, MultiplyAndTransparentRules) {
  Image dst(4, 1), src(4, 1);
  dst.Set(0, 0, 10, 128, 250);
  dst.Set(1, 0, 10, 128, 250);
  dst.Set(2, 0, 10, 128, 250);
  src.Set(0, 0, 255, 255, 255);
  src.Set(1, 0, 0, 0, 0);
  src.Set(2, 0, 255, 255, 254);  // nearly white: copied by mode 9
  Image multiplied = dst;
  Blend(multiplied.Buffer(), 0, 0, 3, 1, src.Buffer(), 0, 0, kBlendMultiply);
  EXPECT_TRUE(std::equal(multiplied.Pixel(0, 0), multiplied.Pixel(0, 0) + 3, dst.Pixel(0, 0)))
      << "white leaves the destination";
  EXPECT_EQ(std::vector<uint8_t>(multiplied.Pixel(1, 0), multiplied.Pixel(1, 0) + 3),
            std::vector<uint8_t>(3, 0))
      << "black blackens";
  Image keyed = dst;
  Blend(keyed.Buffer(), 0, 0, 3, 1, src.Buffer(), 0, 0, kBlendTransparent);
  EXPECT_TRUE(std::equal(keyed.Pixel(0, 0), keyed.Pixel(0, 0) + 3, dst.Pixel(0, 0)));
  EXPECT_TRUE(std::equal(keyed.Pixel(2, 0), keyed.Pixel(2, 0) + 3, src.Pixel(2, 0)));
}

// Reference reduce: follows the sampling rule literally, sample by sample.
void ReferenceReduce(PixelBuffer dst, int dx, int dy, int dw, int dh, ConstPixelBuffer src, int sx,
                     int sy, int sw, int sh) {
  if (dw <= 0 || dh <= 0 || sw < dw || sh < dh) return;
  auto samples = [](int s, int d, int j) {
    const int g = std::gcd(s, d), sub = s / g, per = d / g;
    const int t = sub > 8 ? 3 : sub > 4 ? 2 : 1;
    std::vector<int> out;
    for (int k = 0; k < sub; k += t) out.push_back((j * sub + k) / per);
    return out;
  };
  const int stride = (src.width * 3 + 3) / 4 * 4;
  for (int i = 0; i < dh; ++i) {
    for (int j = 0; j < dw; ++j) {
      const int x = dx + j, y = dy + i;
      if (x < 0 || y < 0 || x >= dst.width || y >= dst.height) continue;
      int sum[3] = {0, 0, 0}, n = 0;
      for (int r : samples(sh, dh, i)) {
        for (int c : samples(sw, dw, j)) {
          const uint8_t* p = src.bits + (src.height - 1 - (sy + r)) * stride + (sx + c) * 3;
          for (int b = 0; b < 3; ++b) sum[b] += p[b];
          ++n;
        }
      }
      uint8_t* q = dst.bits + (x + dst.width * (dst.height - 1 - y)) * 3;
      for (int b = 0; b < 3; ++b) q[b] = static_cast<uint8_t>(sum[b] / n);
    }
  }
}

TEST(ReduceTest, MatchesTheSamplingRule) {
  struct Case {
    int sw, sh, dw, dh;
    const char* what;
  };
  const Case cases[] = {
      {225, 90, 150, 60, "the icon image to two thirds"},
      {40, 20, 40, 20, "same size"},
      {40, 20, 10, 5, "a quarter: every sub-column (step 1)"},
      {25, 10, 5, 2, "5 sub-columns and rows: step 2"},
      {42, 20, 6, 4, "7 sub-columns: step 2"},
      {40, 16, 5, 2, "8 sub-columns and rows: step 2"},
      {45, 18, 5, 2, "9 sub-columns and rows: step 3"},
      {200, 100, 20, 10, "10 sub-columns: step 3"},
      {37, 23, 5, 3, "coprime sizes"},
  };
  for (const Case& c : cases) {
    Image src(240, 110, 13), got(160, 70, 17), want(160, 70, 17);
    Reduce(got.Buffer(), 1, 2, c.dw, c.dh, src.Buffer(), 2, 3, c.sw, c.sh);
    ReferenceReduce(want.Buffer(), 1, 2, c.dw, c.dh, src.Buffer(), 2, 3, c.sw, c.sh);
    EXPECT_EQ(got.Raw(), want.Raw()) << c.what;
  }
}

TEST(ReduceTest, IconToTwoThirdsAveragesColumnsZeroZeroOne) {
  Image src(228, 90), dst(152, 60);
  for (int y = 0; y < 90; ++y) {
    for (int x = 0; x < 225; ++x)
      src.Set(x, y, static_cast<uint8_t>(x * 3), static_cast<uint8_t>(y * 2), 7);
  }
  Reduce(dst.Buffer(), 0, 0, 150, 60, src.Buffer(), 0, 0, 225, 90);
  // Columns 0, 0, 1 → (0 + 0 + 3) / 3 = 1; rows 0, 0, 1 → (0 + 0 + 2) / 3 = 0.
  EXPECT_EQ(dst.Pixel(0, 0)[0], 1);
  EXPECT_EQ(dst.Pixel(0, 0)[1], 0);
  EXPECT_EQ(dst.Pixel(0, 0)[2], 7);
  // Destination column 1 takes columns 1, 2, 2 → (3 + 6 + 6) / 3 = 5.
  EXPECT_EQ(dst.Pixel(1, 0)[0], 5);
}

TEST(ReduceTest, RefusesEnlargingAndEmptyRectangles) {
  const struct {
    int sw, sh, dw, dh;
  } cases[] = {{10, 10, 11, 5}, {10, 10, 5, 11}, {0, 10, 0, 5}, {10, 10, 0, 5}, {10, -1, 5, -2}};
  for (const auto& c : cases) {
    Image src(16, 16, 1), dst(16, 16, 2), before = dst;
    Reduce(dst.Buffer(), 0, 0, c.dw, c.dh, src.Buffer(), 0, 0, c.sw, c.sh);
    EXPECT_EQ(dst.Raw(), before.Raw()) << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh;
  }
}

TEST(ReduceTest, SourceBoxOutsideTheSourceDrawsNothingThere) {
  Image src(8, 8, 1), dst(8, 8, 2), before = dst;
  // The source rectangle reaches 4 columns past the source's right edge: destination
  // columns 2 and 3 would sample outside it and stay as they were.
  Reduce(dst.Buffer(), 0, 0, 4, 4, src.Buffer(), 4, 0, 8, 8);
  for (int y = 0; y < 4; ++y) {
    EXPECT_FALSE(std::equal(dst.Pixel(0, y), dst.Pixel(0, y) + 3, before.Pixel(0, y)) &&
                 std::equal(dst.Pixel(1, y), dst.Pixel(1, y) + 3, before.Pixel(1, y)));
    for (int x = 2; x < 8; ++x) {
      EXPECT_TRUE(std::equal(dst.Pixel(x, y), dst.Pixel(x, y) + 3, before.Pixel(x, y))) << x;
    }
  }
}

TEST(PrimitivesTest, EmptyBuffersDrawNothing) {
  Image src(4, 4, 1);
  PixelBuffer none;
  FillWhite(none, 0, 0, 4, 4);
  Blend(none, 0, 0, 4, 4, src.Buffer(), 0, 0, 0);
  Image dst(4, 4, 2), before = dst;
  CopyRop(dst.Buffer(), 0, 0, 4, 4, ConstPixelBuffer(), 0, 0, kSrcCopy);
  Reduce(dst.Buffer(), 0, 0, 2, 2, ConstPixelBuffer(), 0, 0, 4, 4);
  EXPECT_EQ(dst.Raw(), before.Raw());
}

}  // namespace
}  // namespace yk
