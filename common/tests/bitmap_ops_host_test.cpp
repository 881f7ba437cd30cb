// The Host context's buffers resolved through platform handles, and text through a DC.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <algorithm>
#include <memory>
#include <vector>

#include "common/bitmap_ops.h"
#include "platform/handles.h"

namespace yk {
namespace {

class BitmapOpsHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "bitmap_ops_host_test";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) app_ = new QGuiApplication(argc, argv);
  }
  static void TearDownTestSuite() {
    delete app_;
    app_ = nullptr;
  }
  void TearDown() override {
    for (platform::Handle b : bitmaps_) EXPECT_TRUE(platform::DeleteBitmap(b));
    for (platform::Handle dc : dcs_) EXPECT_TRUE(platform::DeleteDC(dc));
  }
  // A white w x h bitmap selected into a new DC; returns the DC, stores the pixels handle.
  platform::Handle MakeSurface(int w, int h, platform::Handle* bits) {
    const platform::Handle bitmap = platform::CreateSurfaceBitmap(w, h, bits);
    EXPECT_NE(bitmap, 0u);
    bitmaps_.push_back(bitmap);
    const platform::Handle dc = platform::CreateCompatibleDC();
    dcs_.push_back(dc);
    platform::SelectBitmap(dc, bitmap);
    FillWhite(PixelBufferFromHandle(*bits, w, h, w * h * 3), 0, 0, w, h);
    return dc;
  }
  static std::vector<uint8_t> Pixels(platform::Handle bits) {
    const uint8_t* p = platform::PixelsOf(bits);
    return std::vector<uint8_t>(p, p + platform::PixelBytesOf(bits));
  }

  static QGuiApplication* app_;
  std::vector<platform::Handle> bitmaps_, dcs_;
};
QGuiApplication* BitmapOpsHostTest::app_ = nullptr;

TEST_F(BitmapOpsHostTest, BufferSizeNeverExceedsTheMemoryBehindTheHandle) {
  platform::Handle bits = 0;
  MakeSurface(8, 4, &bits);
  const struct {
    int claimed, expected;
  } cases[] = {{8 * 4 * 3, 8 * 4 * 3}, {10, 10}, {1 << 30, 8 * 4 * 3}};
  for (const auto& c : cases) {
    EXPECT_EQ(PixelBufferFromHandle(bits, 8, 4, c.claimed).bytes, c.expected) << c.claimed;
  }
  // A record claiming a larger picture than the memory holds cannot write past it.
  PixelBuffer lying = PixelBufferFromHandle(bits, 64, 64, 64 * 64 * 3);
  FillBlack(lying, 0, 0, 64, 64);
  EXPECT_EQ(Pixels(bits), std::vector<uint8_t>(8 * 4 * 3, 0));
}

TEST_F(BitmapOpsHostTest, UnknownHandlesAndSlotsGiveEmptyBuffers) {
  EXPECT_EQ(PixelBufferFromHandle(0, 8, 8, 192).bits, nullptr);
  EXPECT_EQ(PixelBufferFromHandle(0x7FFFFFF0u, 8, 8, 192).bits, nullptr);
  auto ctx = std::make_unique<HostContext>();  // value-initialised: every handle 0
  platform::Handle bits = 0;
  MakeSurface(16, 8, &bits);
  ctx->bufferWidth = 16;
  ctx->bufferHeight = 8;
  ctx->bufferBytes = 16 * 8 * 3;
  ctx->slots[4].bits = bits;
  ctx->screenBits = bits;
  EXPECT_EQ(SlotBuffer(*ctx, 4).bits, platform::PixelsOf(bits));
  EXPECT_EQ(ScreenBuffer(*ctx).width, 16);
  EXPECT_EQ(SlotBuffer(*ctx, 5).bits, nullptr);
  EXPECT_EQ(SlotBuffer(*ctx, -1).bits, nullptr);
  EXPECT_EQ(SlotBuffer(*ctx, 0).bits, nullptr);  // no buffer made for it
  EXPECT_EQ(PartsBuffer(*ctx).bits, nullptr);
}

TEST_F(BitmapOpsHostTest, TextRectangleIsNormalisedAndClipped) {
  platform::Handle a = 0, b = 0;
  const platform::Handle dcA = MakeSurface(64, 32, &a);
  const platform::Handle dcB = MakeSurface(64, 32, &b);
  ASSERT_TRUE(DrawText(dcA, u"予定 12", 4, 4, 40, 20, u"IPAGothic", 12, kTextBlack, false));
  ASSERT_TRUE(DrawText(dcB, u"予定 12", 40, 20, 4, 4, u"IPAGothic", 12, kTextBlack, false));
  const std::vector<uint8_t> drawn = Pixels(a);
  EXPECT_EQ(drawn, Pixels(b));
  int inked = 0;
  const PixelBuffer buf = PixelBufferFromHandle(a, 64, 32, 64 * 32 * 3);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) {
      const uint8_t* p = buf.bits + (x + 64 * (31 - y)) * 3;
      const bool white = p[0] == 255 && p[1] == 255 && p[2] == 255;
      const bool inside = x >= 4 && x < 40 && y >= 4 && y < 20;
      if (!white) ++inked;
      EXPECT_TRUE(white || inside) << "ink outside the rectangle at " << x << "," << y;
    }
  }
  EXPECT_GT(inked, 10);
}

TEST_F(BitmapOpsHostTest, VerticalTextRunsDownTheRectangle) {
  platform::Handle bits = 0;
  const platform::Handle dc = MakeSurface(40, 80, &bits);
  ASSERT_TRUE(DrawText(dc, u"天気予報", 0, 0, 40, 80, u"IPAGothic", 12, kTextBlack, true,
                       TextDirection::kVertical));
  const PixelBuffer buf = PixelBufferFromHandle(bits, 40, 80, 40 * 80 * 3);
  int top = 80, bottom = -1, left = 40, right = -1;
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 40; ++x) {
      if (buf.bits[(x + 40 * (79 - y)) * 3] != 255) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  ASSERT_GE(bottom, 0);
  EXPECT_GT(bottom - top, 2 * (right - left)) << "four characters read downwards";
}

TEST_F(BitmapOpsHostTest, TextOnSomethingThatIsNotADcFails) {
  EXPECT_FALSE(DrawText(0, u"x", 0, 0, 10, 10, u"IPAGothic", 12, kTextBlack, false));
  platform::Handle bits = 0;
  MakeSurface(8, 8, &bits);
  EXPECT_FALSE(DrawText(bits, u"x", 0, 0, 10, 10, u"IPAGothic", 12, kTextBlack, false));
}

}  // namespace
}  // namespace yk
