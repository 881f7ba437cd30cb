#include "platform/text_draw.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "platform/tests/qt_test_support.h"

namespace platform {
namespace {

struct Box {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
  int count = 0;
};

class TextDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::App();
    bitmap_ = CreateSurfaceBitmap(200, 120);
    dc_ = CreateCompatibleDC();
    SelectBitmap(dc_, bitmap_);
    surface_ = SurfaceOf(bitmap_);
    std::memset(surface_->bits, 255, surface_->byteSize);
  }
  void TearDown() override {
    DeleteDC(dc_);
    DeleteBitmap(bitmap_);
  }
  // Pixels that are no longer white, inside and outside a rectangle.
  Box Changed(Rect inside, Box* outside = nullptr) const {
    Box in;
    for (int y = 0; y < surface_->height; ++y)
      for (int x = 0; x < surface_->width; ++x) {
        const uint8_t* p = surface_->PixelAt(x, y);
        if (p[0] == 255 && p[1] == 255 && p[2] == 255) continue;
        bool isInside =
            x >= inside.left && x < inside.right && y >= inside.top && y < inside.bottom;
        if (!isInside && outside == nullptr) continue;
        Box& b = isInside ? in : *outside;
        b.left = std::min(b.left, x);
        b.top = std::min(b.top, y);
        b.right = std::max(b.right, x);
        b.bottom = std::max(b.bottom, y);
        ++b.count;
      }
    return in;
  }

  Handle bitmap_ = 0, dc_ = 0;
  Surface* surface_ = nullptr;
};

TEST_F(TextDraw, DrawsInsideTheClipOnlyInTheGivenColour) {
  struct Case {
    const char* rule;
    Rect rect;      // as passed
    Rect expected;  // normalised
    std::u16string text;
  } cases[] = {
      {"plain", {20, 20, 120, 40}, {20, 20, 120, 40}, u"予定の確認 Yomitoki"},
      {"a text wider than its rectangle is cut",
       {10, 50, 60, 64},
       {10, 50, 60, 64},
       u"とても長いタイトルの文字列です"},
      {"a reversed rectangle is normalised", {120, 90, 20, 70}, {20, 70, 120, 90}, u"予定無し"},
      {"a rectangle reaching past the bitmap",
       {150, 100, 400, 300},
       {150, 100, 400, 300},
       u"はみ出す文字"},
      {"more lines than the rectangle holds", {0, 0, 100, 14}, {0, 0, 100, 14}, u"田\n田\n田"},
  };
  for (const auto& c : cases) {
    std::memset(surface_->bits, 255, surface_->byteSize);
    TextStyle style;
    style.colour = Rgb(255, 0, 0);
    DrawText(dc_, c.text, c.rect, style);
    Box outside;
    Box inside = Changed(c.expected, &outside);
    EXPECT_GT(inside.count, 10) << c.rule;
    EXPECT_EQ(outside.count, 0) << c.rule;
    // Without anti-aliasing every touched pixel has exactly the text colour.
    for (size_t i = 0; i < surface_->byteSize; i += 3) {
      const uint8_t* p = surface_->bits + i;
      bool white = p[0] == 255 && p[1] == 255 && p[2] == 255;
      bool red = p[0] == 0 && p[1] == 0 && p[2] == 255;
      ASSERT_TRUE(white || red) << c.rule << " at byte " << i;
    }
  }
}

TEST_F(TextDraw, LinesStackDownwardsAndTextStartsAtTheTopLeft) {
  TextStyle style;
  style.height = 12;
  EXPECT_EQ(DrawText(dc_, u"予定\r\n予定", {30, 10, 190, 110}, style), 24);
  Box box = Changed({0, 0, 200, 120});
  EXPECT_GE(box.left, 30);
  EXPECT_LT(box.left, 34);
  EXPECT_GE(box.top, 10);
  EXPECT_LT(box.top, 14);
  EXPECT_GE(box.bottom, 22) << "the second line lies below the first";
  EXPECT_LT(box.bottom, 34);
}

TEST_F(TextDraw, NothingWithoutABitmap) {
  Handle empty = CreateCompatibleDC();
  EXPECT_EQ(DrawText(empty, u"予定", {0, 0, 50, 20}, {}), 0);
  EXPECT_EQ(DrawText(0, u"予定", {0, 0, 50, 20}, {}), 0);
  DeleteDC(empty);
  EXPECT_EQ(DrawText(dc_, u"", {0, 0, 50, 20}, {}), 0);
  EXPECT_EQ(Changed({0, 0, 200, 120}).count, 0);
}

TEST_F(TextDraw, VerticalTextRunsDownwards) {
  TextStyle style;
  style.vertical = true;
  Rect rect{80, 5, 120, 115};
  DrawText(dc_, u"縦書きの予定です", rect, style);
  Box outside;
  Box box = Changed(rect, &outside);
  EXPECT_EQ(outside.count, 0);
  ASSERT_GT(box.count, 10);
  EXPECT_GT(box.bottom - box.top, 4 * (box.right - box.left)) << "a tall narrow column";
  EXPECT_LT(box.right, rect.left + 13) << "the column lies against the left edge";
  EXPECT_LT(box.top, rect.top + 4) << "reading starts at the top";
}

TEST_F(TextDraw, Measure) {
  TextStyle plain;
  TextStyle wrapped;
  wrapped.wordWrap = true;
  const std::u16string longText = u"折り返しを確認するための長い予定の本文です。";
  struct Case {
    const char* rule;
    std::u16string text;
    int width;
    const TextStyle& style;
    int lines;  // expected height in lines of 12 pixels; -1 = more than one
  } cases[] = {
      {"one line", u"予定", 100, plain, 1},
      {"CR LF, CR and LF each break", u"一\r\n二\r三\n四", 100, plain, 4},
      {"an empty line counts", u"一\n\n三", 100, plain, 3},
      {"a break at the very end adds no line", u"一\r\n", 100, plain, 1},
      {"without wrap a long text stays on one line", longText, 60, plain, 1},
      {"with wrap it takes several", longText, 60, wrapped, -1},
      {"words wrap at spaces", u"alpha beta gamma delta", 40, wrapped, -1},
  };
  for (const auto& c : cases) {
    TextExtent e = MeasureText(c.text, c.width, c.style);
    if (c.lines > 0) {
      EXPECT_EQ(e.height, c.lines * 12) << c.rule;
    } else {
      EXPECT_GT(e.height, 12) << c.rule;
      EXPECT_EQ(e.height % 12, 0) << c.rule;
      EXPECT_LE(e.width, c.width) << c.rule;
    }
  }
  EXPECT_GT(MeasureText(longText, 60, plain).width, 60);
  EXPECT_EQ(MeasureText(u"", 60, plain).height, 0);
  TextStyle large;
  large.height = 20;
  EXPECT_EQ(MeasureText(u"一\n二", 100, large).height, 40);
  TextStyle vertical;
  vertical.vertical = true;
  TextExtent v = MeasureText(u"縦書き", 100, vertical);
  EXPECT_EQ(v.width, 12);
  EXPECT_GT(v.height, 24);
}

TEST_F(TextDraw, UnknownFacesUseTheJapaneseGothic) {
  EXPECT_EQ(ResolvedFontFamily(kDefaultFaceName), u"IPAPGothic");
  EXPECT_EQ(ResolvedFontFamily(u"No Such Face 123"), u"IPAPGothic");
  EXPECT_EQ(ResolvedFontFamily(u""), u"IPAPGothic");
  // An installed face keeps its name (the set-up installs the IPA Gothic faces).
  EXPECT_EQ(ResolvedFontFamily(u"IPAGothic"), u"IPAGothic");
}

}  // namespace
}  // namespace platform
