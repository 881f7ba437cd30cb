#include "plugins/sched/day_layout.h"

#include <gtest/gtest.h>

namespace yk::sched {
namespace {

TEST(DayLayout, WidthsClampToTheirRanges) {
  struct Case {
    int input, content, canvas;
  } cases[] = {
      {180, 190, 240},  // narrower than 194: content 190; a small screen still gets 240
      {194, 190, 240}, {195, 191, 240}, {244, 240, 244}, {300, 240, 300}, {320, 240, 300},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ContentWidth(c.input), c.content) << c.input;
    EXPECT_EQ(CanvasWidth(c.input), c.canvas) << c.input;
  }
}

TEST(DayLayout, TextHeightCap) {
  EXPECT_EQ(TextHeightCap(1), 780);
  EXPECT_EQ(TextHeightCap(3), 246);
  EXPECT_EQ(TextHeightCap(20), 20);
  // With the line of the entries not listed, its 20 rows come off first.
  EXPECT_EQ(TextHeightCap(20, true), 19);
  EXPECT_EQ(TextHeightCap(1, true), 760);
}

TEST(DayLayout, EntriesStackWithTheirGlyphLines) {
  const DayLayout layout = LayOutDay({14, 30}, 240);
  EXPECT_EQ(layout.glyphRows, (std::vector<int>{40, 74}));
  ASSERT_EQ(layout.textRects.size(), 2u);
  EXPECT_EQ(layout.textRects[0], (Rect{5, 50, 231, 14}));
  EXPECT_EQ(layout.textRects[1], (Rect{5, 84, 231, 30}));
  EXPECT_EQ(layout.contentHeight, 134);
  EXPECT_EQ(LayOutDay({}, 240).contentHeight, 60);
  EXPECT_EQ(layout.moreRect, Rect{});

  const DayLayout more = LayOutDay({14, 30}, 240, true);
  EXPECT_EQ(more.textRects, layout.textRects);
  EXPECT_EQ(more.moreRect, (Rect{5, 124, 231, 20}));
  EXPECT_EQ(more.contentHeight, 154);
  // The most a list can take stays inside the 840 rows of the canvas.
  const DayLayout full = LayOutDay(std::vector<int>(20, TextHeightCap(20, true)), 190, true);
  EXPECT_LE(full.moreRect.y + full.moreRect.height, kCanvasHeight);
}

TEST(DayLayout, EntryUnderThePoint) {
  const std::vector<int> heights = {14, 30};  // E(0) = 94, E(1) = 144
  struct Case {
    const char* rule;
    int x, y, scrollY, expected;
  } cases[] = {
      {"first row of the list", 3, 61, 0, 0},
      {"last row of the first entry", 100, 93, 0, 0},
      {"first row of the second entry", 100, 94, 0, 1},
      {"last row of the list", 239, 143, 0, 1},
      {"below the list", 100, 144, 0, -1},
      {"the list's top edge", 100, 60, 0, -1},
      {"left edge", 2, 80, 0, -1},
      {"right edge", 240, 80, 0, -1},
      {"scrolled into the second entry", 100, 80, 20, 1},
      {"scrolled past the last entry", 100, 130, 20, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(EntryAt(heights, c.x, c.y, c.scrollY), c.expected) << c.rule;
  EXPECT_EQ(EntryAt({}, 100, 80, 0), -1);
}

TEST(DayLayout, ScrollClamps) {
  struct Case {
    const char* rule;
    Scroll in;
    int contentWidth, contentHeight, slotWidth, slotHeight;
    Scroll expected;
  } cases[] = {
      {"negative raised to 0", {-5, -5}, 240, 134, 244, 100, {0, 0}},
      {"limited to the content", {10, 60}, 240, 134, 244, 100, {0, 56}},
      {"narrow window scrolls sideways", {100, 0}, 190, 134, 150, 100, {44, 0}},
      {"an empty day never scrolls", {0, 30}, 240, 60, 244, 100, {0, 0}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ClampScroll(c.in, c.contentWidth, c.contentHeight, c.slotWidth, c.slotHeight),
              c.expected)
        << c.rule;
}

TEST(DayLayout, ComposeCopies) {
  ComposePlan plan = PlanDayCompose({0, 10}, 240, 134, 244, 100);
  EXPECT_EQ(plan.fixedSource, (Rect{0, 0, 240, 40}));
  ASSERT_TRUE(plan.hasContent);
  EXPECT_EQ(plan.contentSource, (Rect{0, 50, 240, 38}));
  EXPECT_EQ(plan.contentDestY, 60);

  plan = PlanDayCompose({0, 0}, 240, 60, 244, 200);  // content shorter than the window
  EXPECT_EQ(plan.contentSource.height, 20);

  plan = PlanDayCompose({0, 0}, 240, 134, 244, 50);  // lower than 62: header cut, no list
  EXPECT_EQ(plan.fixedSource, (Rect{0, 0, 240, 28}));
  EXPECT_FALSE(plan.hasContent);

  plan = PlanDayCompose({0, 0}, 190, 134, 100, 63);  // narrow: as wide as the window
  EXPECT_EQ(plan.fixedSource.width, 96);
  EXPECT_EQ(plan.contentSource.height, 1);

  plan = PlanWorkCompose({0, 0}, 300, 300, 100);
  EXPECT_EQ(plan.fixedSource.width, 190);
  EXPECT_EQ(plan.contentSource, (Rect{0, 40, 296, 38}));
  plan = PlanWorkCompose({0, 0}, 240, 180, 100);
  EXPECT_EQ(plan.fixedSource.width, 176);
  EXPECT_EQ(plan.contentSource.width, 176);
}

}  // namespace
}  // namespace yk::sched
