#include "platform/handles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace platform {
namespace {

TEST(Handles, StaleAndZeroHandlesResolveToNothing) {
  Handle bits = 0;
  Handle bitmap = CreateSurfaceBitmap(8, 4, &bits);
  ASSERT_NE(bitmap, 0u);
  ASSERT_NE(bits, 0u);
  EXPECT_NE(bitmap, bits);
  Handle dc = CreateCompatibleDC();
  EXPECT_EQ(SelectBitmap(dc, bitmap), 0u);
  EXPECT_EQ(SurfaceOfDC(dc), SurfaceOf(bitmap));
  EXPECT_EQ(BitsOf(bitmap), bits);
  EXPECT_EQ(PixelsOf(bits), SurfaceOf(bitmap)->bits);
  EXPECT_EQ(PixelBytesOf(bits), 8u * 4u * 3u);

  // Handles of one kind do not resolve as another kind.
  EXPECT_EQ(SurfaceOf(bits), nullptr);
  EXPECT_EQ(SurfaceOf(dc), nullptr);
  EXPECT_EQ(PixelsOf(bitmap), nullptr);
  EXPECT_FALSE(DeleteDC(bitmap));
  EXPECT_FALSE(DeleteBitmap(dc));

  EXPECT_TRUE(DeleteBitmap(bitmap));
  EXPECT_EQ(SurfaceOf(bitmap), nullptr);
  EXPECT_EQ(PixelsOf(bits), nullptr);
  EXPECT_EQ(PixelBytesOf(bits), 0u);
  EXPECT_EQ(SelectedBitmap(dc), 0u) << "a deleted bitmap leaves the DC it was selected into";
  EXPECT_EQ(SurfaceOfDC(dc), nullptr);
  EXPECT_FALSE(DeleteBitmap(bitmap));

  // A new object never takes the number of a deleted one.
  Handle again = CreateSurfaceBitmap(8, 4);
  EXPECT_NE(again, bitmap);
  EXPECT_NE(again, bits);
  EXPECT_TRUE(DeleteBitmap(again));

  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(SelectBitmap(dc, 0), 0u);
  for (Handle none : {Handle(0), Handle(0xFFFFFFF0u)}) {
    EXPECT_EQ(SurfaceOf(none), nullptr);
    EXPECT_EQ(PixelsOf(none), nullptr);
    EXPECT_EQ(SurfaceOfDC(none), nullptr);
    EXPECT_FALSE(DeleteBitmap(none));
  }
}

TEST(Handles, SelectReturnsThePreviousBitmap) {
  Handle a = CreateSurfaceBitmap(4, 4), b = CreateSurfaceBitmap(4, 4);
  Handle dc = CreateCompatibleDC();
  EXPECT_EQ(SelectBitmap(dc, a), 0u);
  EXPECT_EQ(SelectBitmap(dc, b), a);
  EXPECT_EQ(SelectBitmap(dc, 0xFFFFFFF0u), 0u) << "a bogus bitmap is refused";
  EXPECT_EQ(SelectedBitmap(dc), b);
  EXPECT_EQ(SelectBitmap(dc, a), b);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_NE(SurfaceOf(a), nullptr) << "deleting a DC keeps its bitmap";
  EXPECT_TRUE(DeleteBitmap(a));
  EXPECT_TRUE(DeleteBitmap(b));
}

TEST(Handles, RefusesUnusableSizes) {
  struct Case {
    int width, height;
  } cases[] = {
      {0, 10}, {10, 0}, {-1, 10}, {kMaxSurfaceSide + 1, 1}, {kMaxSurfaceSide, kMaxSurfaceSide}};
  for (const auto& c : cases) {
    Handle bits = 123;
    EXPECT_EQ(CreateSurfaceBitmap(c.width, c.height, &bits), 0u) << c.width << "x" << c.height;
    EXPECT_EQ(bits, 0u);
  }
}

TEST(Handles, SurfaceIsBottomUpUnpaddedBgr) {
  Handle bitmap = CreateSurfaceBitmap(5, 3);  // 15 bytes a row: no padding to 16
  Surface* s = SurfaceOf(bitmap);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->byteSize, 45u);
  for (size_t i = 0; i < s->byteSize; ++i) ASSERT_EQ(s->bits[i], 0) << "created black";
  struct Case {
    int x, y;
    size_t offset;
  } cases[] = {
      {0, 2, 0},   // bottom-left pixel is stored first
      {4, 2, 12},  // end of the first stored row
      {0, 1, 15},  // the next row starts right after it
      {0, 0, 30},  // top-left is in the last stored row
      {4, 0, 42},  // the very last pixel
  };
  for (const auto& c : cases) {
    EXPECT_EQ(s->Offset(c.x, c.y), c.offset) << c.x << "," << c.y;
    EXPECT_EQ(s->PixelAt(c.x, c.y), s->bits + c.offset);
  }
  EXPECT_EQ(s->PixelAt(-1, 0), nullptr);
  EXPECT_EQ(s->PixelAt(5, 0), nullptr);
  EXPECT_EQ(s->PixelAt(0, 3), nullptr);
  EXPECT_TRUE(DeleteBitmap(bitmap));
}

// Fills each pixel with a value naming its place: blue = x, green = y, red = 0xEE.
void Number(Surface* s) {
  for (int y = 0; y < s->height; ++y)
    for (int x = 0; x < s->width; ++x) {
      uint8_t* p = s->PixelAt(x, y);
      p[0] = uint8_t(x);
      p[1] = uint8_t(y);
      p[2] = 0xEE;
    }
}

TEST(Handles, BitBltCopiesAndClips) {
  Handle src = CreateSurfaceBitmap(8, 8), dst = CreateSurfaceBitmap(6, 6);
  Handle srcDc = CreateCompatibleDC(), dstDc = CreateCompatibleDC();
  SelectBitmap(srcDc, src);
  SelectBitmap(dstDc, dst);
  Number(SurfaceOf(src));
  Surface* d = SurfaceOf(dst);

  struct Case {
    const char* rule;
    int dx, dy, w, h, sx, sy;
    int probeX, probeY;  // a destination pixel
    bool written;
    int fromX, fromY;  // the source pixel it must hold
  } cases[] = {
      {"plain copy", 1, 1, 2, 2, 3, 4, 2, 2, true, 4, 5},
      {"negative destination origin shifts the source too", -2, -1, 4, 4, 0, 0, 0, 0, true, 2, 1},
      {"negative source origin shifts the destination", 0, 0, 4, 4, -3, -2, 3, 2, true, 0, 0},
      {"negative source origin leaves the skipped part", 0, 0, 4, 4, -3, -2, 2, 2, false, 0, 0},
      {"past the destination edge", 4, 4, 10, 10, 0, 0, 5, 5, true, 1, 1},
      {"past the source edge", 0, 0, 6, 6, 6, 6, 1, 1, true, 7, 7},
      {"past the source edge stops there", 0, 0, 6, 6, 6, 6, 2, 2, false, 0, 0},
  };
  for (const auto& c : cases) {
    std::memset(d->bits, 0, d->byteSize);
    EXPECT_TRUE(BitBlt(dstDc, c.dx, c.dy, c.w, c.h, srcDc, c.sx, c.sy)) << c.rule;
    const uint8_t* p = d->PixelAt(c.probeX, c.probeY);
    if (c.written) {
      EXPECT_EQ(p[0], c.fromX) << c.rule;
      EXPECT_EQ(p[1], c.fromY) << c.rule;
      EXPECT_EQ(p[2], 0xEE) << c.rule;
    } else {
      EXPECT_EQ(p[2], 0) << c.rule;
    }
  }
  EXPECT_TRUE(BitBlt(dstDc, 10, 10, 5, 5, srcDc, 0, 0)) << "entirely outside: nothing to do";
  Handle empty = CreateCompatibleDC();
  EXPECT_FALSE(BitBlt(dstDc, 0, 0, 1, 1, empty, 0, 0));
  EXPECT_FALSE(BitBlt(empty, 0, 0, 1, 1, srcDc, 0, 0));
  for (Handle h : {srcDc, dstDc, empty}) EXPECT_TRUE(DeleteDC(h));
  EXPECT_TRUE(DeleteBitmap(src));
  EXPECT_TRUE(DeleteBitmap(dst));
}

}  // namespace
}  // namespace platform
