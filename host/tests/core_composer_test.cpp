// Window chrome against the parts sheet, and composition against a per-pixel reference.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "host/composer.h"
#include "host/tests/core_test_support.h"

namespace yk {
namespace {

using testing::FillPattern;
using testing::HostFixture;
using testing::Pixel;
using testing::PixelOf;
using testing::Presented;

constexpr Pixel kWhite = {255, 255, 255};
constexpr Pixel kBlack = {0, 0, 0};

uint8_t LightenMultiplyReference(uint8_t d, uint8_t s) {
  return static_cast<uint8_t>(std::min(255, d * 15 / 100 + 216) * s / 255);
}

TEST(ComposerKernel, FusedTranslucentLoopMatchesLightenThenMultiplyForEveryBytePair) {
  // Row y holds source byte y; column x holds destination byte x (all three channels).
  constexpr int kSide = 256;
  std::vector<uint8_t> dst(kSide * kSide * 3), src(kSide * kSide * 3);
  PixelBuffer d{dst.data(), kSide, kSide, int(dst.size())};
  PixelBuffer s{src.data(), kSide, kSide, int(src.size())};
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      testing::SetPixel(d, x, y, {uint8_t(x), uint8_t(x), uint8_t(x)});
      testing::SetPixel(s, x, y, {uint8_t(y), uint8_t(y), uint8_t(y)});
    }
  }
  std::vector<uint8_t> reference = dst;
  PixelBuffer r{reference.data(), kSide, kSide, int(reference.size())};
  Lighten(r, 0, 0, kSide, kSide);
  Blend(r, 0, 0, kSide, kSide, s, 0, 0, kBlendMultiply);
  LightenMultiply(dst.data(), src.data(), int(dst.size()));
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      ASSERT_EQ(PixelOf(d, x, y), PixelOf(r, x, y)) << "d " << x << " s " << y;
      ASSERT_EQ(PixelOf(d, x, y)[0], LightenMultiplyReference(uint8_t(x), uint8_t(y)));
    }
  }
}

// What RenderWindow must leave at (x, y) of a w x h window buffer that was cleared white;
// nullopt outside the window.
std::optional<Pixel> ExpectedChrome(const PixelBuffer& parts, int x, int y, int w, int h,
                                    int stripWidth, bool activeFill, bool maximized) {
  if (y < 20) {
    if (x < 20 && x < w - 40) return PixelOf(parts, x, y);
    if (x >= w - 40 && x < w) return PixelOf(parts, 70 + x - (w - 40), y);
    if (x < w - 40) return PixelOf(parts, (activeFill ? 120 : 30) + (x - 20) % 30, y);
    if (x < stripWidth) return kWhite;
    return std::nullopt;
  }
  if (x >= w || y >= h) return std::nullopt;
  if (!maximized && x >= w - 10 && y >= h - 10)
    return PixelOf(parts, 160 + x - (w - 10), y - (h - 10));
  if (x < 2 || x >= w - 2 || y >= h - 2) return kBlack;
  return kWhite;
}

TEST(WindowChrome, PiecesComeFromThePartsSheet) {
  struct Case {
    const char* rule;
    int width, height;
    bool active;
    bool maximized;
  } cases[] = {
      {"active, fill in whole pieces", 100, 60, true, false},
      {"active, last fill piece cut", 95, 57, true, false},
      {"inactive fill", 121, 70, false, false},
      {"maximised: strip over the whole buffer, no grip", 0, 0, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    HostFixture host(203, 120);  // buffer 208 wide
    host.OpenWindows({{10, 10, c.width, c.height}, {100, 50, 90, 50}});
    host.ctx->active = c.active ? 0 : 1;
    if (c.maximized) host.windows->ToggleMaximize(0, false);
    host.view.titles.clear();
    host.windows->RenderWindow(0, true, false, false);
    const int w = c.maximized ? 203 : c.width;
    const int h = c.maximized ? 120 : c.height;
    const PixelBuffer window = host.WindowBuffer(0);
    for (int y = 0; y < host.ctx->bufferHeight; ++y) {
      for (int x = 0; x < host.ctx->bufferWidth; ++x) {
        const auto expected =
            ExpectedChrome(host.Parts(), x, y, w, h, c.maximized ? 208 : w, c.active, c.maximized);
        ASSERT_EQ(PixelOf(window, x, y), expected.value_or(kWhite)) << x << "," << y;
      }
    }
    ASSERT_EQ(host.view.titles.size(), 1u);
    const auto& title = host.view.titles[0];
    EXPECT_EQ(title.dc, host.SlotAt(0).dc);
    EXPECT_EQ(title.text, u"Yomitoki");
    EXPECT_EQ(title.face, u"TestFace");
    EXPECT_EQ((std::array<int, 4>{title.left, title.top, title.right, title.bottom}),
              (std::array<int, 4>{22, 1, w - 42, 19}));
  }
}

TEST(WindowChrome, PartialRedrawTouchesOnlyThePiecesTheRectangleMeets) {
  enum : unsigned { kTitle = 1, kLeft = 2, kRight = 4, kBottom = 8, kGrip = 16 };
  struct Case {
    std::array<int, 4> rect;  // window-relative l, t, r, b
    unsigned pieces;
  } cases[] = {
      {{30, 5, 40, 10}, kTitle},   {{0, 30, 5, 40}, kLeft},   {{50, 30, 98, 40}, kRight},
      {{50, 30, 60, 58}, kBottom}, {{91, 51, 92, 52}, kGrip}, {{30, 30, 40, 40}, 0},
      {{0, 0, 100, 60}, 31},
  };
  // Probe pixels of a 100 x 60 window: one per piece, away from the others.
  const std::pair<unsigned, std::array<int, 2>> probes[] = {
      {kTitle, {50, 10}},  {kLeft, {0, 30}},  {kRight, {99, 30}},
      {kBottom, {50, 59}}, {kGrip, {95, 55}},
  };
  HostFixture host;
  host.OpenWindows({{0, 0, 100, 60}});
  const PixelBuffer window = host.WindowBuffer(0);
  for (const auto& c : cases) {
    std::memset(window.bits, 0x80, window.bytes);
    host.windows->RenderChromePart(0, c.rect[0], c.rect[1], c.rect[2], c.rect[3]);
    for (const auto& [piece, at] : probes) {
      const bool changed = PixelOf(window, at[0], at[1]) != Pixel{0x80, 0x80, 0x80};
      EXPECT_EQ(changed, (c.pieces & piece) != 0)
          << "rect " << c.rect[0] << "," << c.rect[1] << "," << c.rect[2] << "," << c.rect[3]
          << " piece " << piece;
    }
  }
}

// The screen a naive painter would produce: background, then each window bottom to top,
// copied or (translucent) lightened and multiplied, pixel by pixel.
Pixel ReferencePixel(HostFixture& host, int x, int y, bool translucent) {
  Pixel out = PixelOf(host.Back(), x, y);
  const HostContext& ctx = *host.ctx;
  for (int p = 0; p < ctx.windowCount; ++p) {
    const PluginSlot& s = ctx.slots[ctx.order[p]];
    if (x < s.left || x >= s.right || y < s.top || y >= s.bottom) continue;
    const Pixel w = PixelOf(host.WindowBuffer(p), x - s.left, y - s.top);
    for (int i = 0; i < 3; ++i)
      out[i] = translucent ? LightenMultiplyReference(out[i], w[i]) : w[i];
  }
  return out;
}

class CompositionTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    // Three overlapping windows, one reaching past the right and bottom edges, over a
    // patterned background.
    host.OpenWindows({{10, 20, 150, 100}, {60, 50, 120, 90}, {250, 150, 120, 100}});
    WindowSettings s;
    s.translucent = GetParam();
    host.windows->SetSettings(s);
    FillPattern(host.Back(), 2);
    for (int p = 0; p < 3; ++p) FillPattern(host.WindowBuffer(p), 3 + p);
  }
  void ExpectScreenMatches(int l, int t, int r, int b) {
    for (int y = 0; y < host.ctx->clientHeight; ++y) {
      for (int x = 0; x < host.ctx->clientWidth; ++x) {
        const bool inside = x >= l && x < r && y >= t && y < b;
        const Pixel expected = inside ? ReferencePixel(host, x, y, GetParam()) : kMarker;
        ASSERT_EQ(PixelOf(host.Screen(), x, y), expected) << x << "," << y;
      }
    }
  }
  static constexpr Pixel kMarker = {1, 2, 3};
  void MarkScreen() {
    const PixelBuffer screen = host.Screen();
    for (int i = 0; i < screen.bytes; i += 3) std::memcpy(screen.bits + i, kMarker.data(), 3);
  }

  HostFixture host;
};

TEST_P(CompositionTest, WholeViewMatchesThePainterReference) {
  MarkScreen();
  host.view.presents.clear();
  host.windows->Compose(0, 0, -1, -1, true);
  ExpectScreenMatches(0, 0, 320, 240);
  EXPECT_EQ(host.view.presents, (std::vector<Presented>{{0, 0, 320, 240}}));
}

TEST_P(CompositionTest, ARectangleComposesOnlyItsInside) {
  MarkScreen();
  host.windows->Compose(40, 30, 100, 90, true);
  ExpectScreenMatches(40, 30, 140, 120);
}

TEST_P(CompositionTest, RepaintRectRequestShowsTheNewContent) {
  host.windows->Compose(0, 0, -1, -1, true);
  // The plugin of the middle window draws into its buffer and asks for (5, 25)-(60, 70).
  FillPattern(host.WindowBuffer(1), 9);
  host.ctx->updateLeft = 5;
  host.ctx->updateTop = 25;
  host.ctx->updateRight = 60;
  host.ctx->updateBottom = 70;
  host.view.presents.clear();
  host.plugins->ApplyRequest(1, kRequestPresentRect);
  EXPECT_EQ(host.view.presents, (std::vector<Presented>{{65, 75, 55, 45}}));
  // The screen matches the reference inside the rectangle (and outside, the old picture
  // still matches except where window 1 changed).
  for (int y = 75; y < 120; ++y) {
    for (int x = 65; x < 120; ++x) {
      ASSERT_EQ(PixelOf(host.Screen(), x, y), ReferencePixel(host, x, y, GetParam()))
          << x << "," << y;
    }
  }
}

TEST_P(CompositionTest, MaximisedWindowCoversTheView) {
  host.windows->ToggleMaximize(0, false);
  FillPattern(host.WindowBuffer(0), 7);
  host.windows->Compose(0, 0, -1, -1, true);
  for (int y = 0; y < 240; y += 7) {
    for (int x = 0; x < 320; x += 5) {
      Pixel expected = PixelOf(host.WindowBuffer(0), x, y);
      if (GetParam()) {
        const Pixel back = PixelOf(host.Back(), x, y);
        for (int i = 0; i < 3; ++i) expected[i] = LightenMultiplyReference(back[i], expected[i]);
      }
      ASSERT_EQ(PixelOf(host.Screen(), x, y), expected) << x << "," << y;
    }
  }
}

TEST_P(CompositionTest, BuffersShorterThanTheirSizeComposeOnlyTheirBytes) {
  // The buffers claim 10 rows fewer than they have: the top 10 rows of the screen and of
  // every window lie past the byte size and must be neither read nor written.
  HostContext& ctx = *host.ctx;
  MarkScreen();
  ctx.bufferBytes = ctx.bufferWidth * 3 * (ctx.bufferHeight - 10);
  host.windows->Compose(0, 0, -1, -1, true);
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) {
      bool readable = y >= 10;
      for (int p = 0; p < ctx.windowCount; ++p) {
        const PluginSlot& s = host.SlotAt(p);
        if (x >= s.left && x < s.right && y >= s.top && y < s.bottom && y - s.top < 10) {
          readable = false;
        }
      }
      if (y < 10) {
        ASSERT_EQ(PixelOf(host.Screen(), x, y), kMarker) << x << "," << y;
      } else if (readable) {
        ASSERT_EQ(PixelOf(host.Screen(), x, y), ReferencePixel(host, x, y, GetParam()))
            << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(NormalAndTranslucent, CompositionTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Translucent" : "Normal"; });

// Stacks of up to five windows whose edges lie a few pixels apart, so the runs between
// edges take every length the row loop handles (1, 2, 5, 6, 11, 21, 22, 43 pixels, ...),
// composed whole and, over what the screen already holds, inside a rectangle.
TEST(CompositionStacks, EveryRunMatchesThePainterReference) {
  using Rects = std::vector<std::array<int, 4>>;
  struct Case {
    const char* rule;
    Rects windows;            // left, top, width, height, bottom first
    std::array<int, 4> rect;  // l, t, r, b of the composition
  } cases[] = {
      {"five deep, edges 1 to 21 pixels apart",
       {{10, 10, 107, 60}, {11, 12, 100, 55}, {16, 14, 90, 50}, {27, 15, 70, 40}, {48, 16, 43, 30}},
       {0, 0, 320, 240}},
      {"the same stack cut by a rectangle",
       {{10, 10, 107, 60}, {11, 12, 100, 55}, {16, 14, 90, 50}, {27, 15, 70, 40}, {48, 16, 43, 30}},
       {20, 13, 83, 50}},
      {"one-pixel windows and windows past the edges",
       {{0, 0, 1, 240}, {290, 0, 30, 240}, {300, 200, 50, 60}, {319, 239, 1, 1}, {2, 2, 6, 2}},
       {0, 0, 320, 240}},
      {"windows side by side, touching",
       {{0, 0, 22, 9}, {22, 0, 64, 9}, {86, 0, 11, 9}, {97, 0, 5, 9}, {102, 0, 218, 9}},
       {0, 0, 320, 9}},
  };
  for (const auto& c : cases) {
    for (bool translucent : {false, true}) {
      for (bool full : {true, false}) {
        SCOPED_TRACE(::testing::Message() << c.rule << (translucent ? ", translucent" : ", normal")
                                          << (full ? ", full" : ", over the screen"));
        HostFixture host;
        host.OpenWindows(c.windows);
        WindowSettings settings;
        settings.translucent = translucent;
        host.windows->SetSettings(settings);
        FillPattern(host.Back(), 2);
        FillPattern(host.Screen(), 8);
        for (int p = 0; p < host.ctx->windowCount; ++p) FillPattern(host.WindowBuffer(p), 3 + p);
        const PixelBuffer screen = host.Screen();
        const std::vector<uint8_t> before(screen.bits, screen.bits + screen.bytes);
        const PixelBuffer old{const_cast<uint8_t*>(before.data()), screen.width, screen.height,
                              screen.bytes};
        const auto [l, t, r, b] = c.rect;
        if (full) {
          host.windows->Compose(l, t, r - l, b - t, true);
        } else {
          host.windows->MarkWindows(l, t, r, b);
          host.windows->ComposeMarked();
        }
        for (int y = 0; y < host.ctx->clientHeight; ++y) {
          for (int x = 0; x < host.ctx->clientWidth; ++x) {
            Pixel expected = PixelOf(old, x, y);
            if (x >= l && x < r && y >= t && y < b) {
              if (full) {
                expected = ReferencePixel(host, x, y, translucent);
              } else {
                for (int p = 0; p < host.ctx->windowCount; ++p) {
                  const PluginSlot& s = host.SlotAt(p);
                  if (x < s.left || x >= s.right || y < s.top || y >= s.bottom) continue;
                  const Pixel w = PixelOf(host.WindowBuffer(p), x - s.left, y - s.top);
                  for (int i = 0; i < 3; ++i) {
                    expected[i] = translucent ? LightenMultiplyReference(expected[i], w[i]) : w[i];
                  }
                }
              }
            }
            ASSERT_EQ(PixelOf(screen, x, y), expected) << x << "," << y;
          }
        }
      }
    }
  }
}

TEST(CompositionMarks, TouchingEdgesMarkAndCoveredWindowsDropOutsideTranslucentMode) {
  for (bool translucent : {false, true}) {
    HostFixture host;
    host.OpenWindows({{50, 50, 40, 40}, {0, 0, 200, 200}, {300, 0, 10, 10}});
    WindowSettings s;
    s.translucent = translucent;
    host.windows->SetSettings(s);
    host.windows->MarkWindows(90, 90, 100, 100);  // touches window 0's corner only
    EXPECT_EQ(host.SlotAt(0).dirty, 1);
    EXPECT_EQ((std::array<int, 4>{host.SlotAt(0).clipLeft, host.SlotAt(0).clipTop,
                                  host.SlotAt(0).clipRight, host.SlotAt(0).clipBottom}),
              (std::array<int, 4>{90, 90, 90, 90}));
    EXPECT_EQ(host.SlotAt(1).dirty, 1);
    EXPECT_EQ(host.SlotAt(2).dirty, 0);
    host.windows->MarkWindows(0, 0, 320, 240);
    host.windows->DropHidden();
    EXPECT_EQ(host.SlotAt(0).dirty, translucent ? 1 : 0) << translucent;
    EXPECT_EQ(host.SlotAt(1).dirty, 1);
    EXPECT_EQ(host.SlotAt(2).dirty, 1);
  }
}

}  // namespace
}  // namespace yk
