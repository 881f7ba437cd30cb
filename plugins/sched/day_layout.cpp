#include "plugins/sched/day_layout.h"

#include <algorithm>

namespace yk::sched {
namespace {

constexpr int kMinCanvasWidth = 240;
constexpr int kMaxCanvasWidth = 300;
constexpr int kMinContentWidth = 190;
constexpr int kMaxContentWidth = 240;
constexpr int kEntrySpacing = 20;      // glyph line and gap around each text
constexpr int kFirstEntryOffset = 10;  // y of the first entry before the 30-row shift
constexpr int kGlyphRowOffset = 30;
constexpr int kTextRowOffset = 40;
constexpr int kTextLeft = 5;
constexpr int kTextRightMargin = 4;
constexpr int kListTop = 60;  // window row where the scrolling list begins
constexpr int kHitLeft = 2;
constexpr int kHitRight = 240;
// EntryAt finds the line of the entries not listed as an entry of text height 0.
static_assert(kMoreLineHeight == kEntrySpacing);

}  // namespace

int CanvasWidth(int bufferWidth) {
  return std::clamp(bufferWidth, kMinCanvasWidth, kMaxCanvasWidth);
}

int ContentWidth(int slotWidth) {
  return std::clamp(slotWidth - kChromeWidth, kMinContentWidth, kMaxContentWidth);
}

int TextHeightCap(int entryCount, bool moreLine) {
  const int room = kCanvasHeight - kFixedRows - (moreLine ? kMoreLineHeight : 0);
  if (entryCount <= 0) return room - kEntrySpacing;
  return room / entryCount - kEntrySpacing;
}

DayLayout LayOutDay(const std::vector<int>& textHeights, int contentWidth, bool moreLine) {
  DayLayout layout;
  if (textHeights.empty()) return layout;
  const int textWidth = contentWidth - kTextRightMargin - kTextLeft;
  int y = kFirstEntryOffset;
  for (int height : textHeights) {
    layout.glyphRows.push_back(y + kGlyphRowOffset);
    layout.textRects.push_back({kTextLeft, y + kTextRowOffset, textWidth, height});
    y += height + kEntrySpacing;
  }
  if (moreLine) {
    // In the place of the next entry's glyph line, as tall as an entry without text.
    layout.moreRect = {kTextLeft, y + kGlyphRowOffset, textWidth, kMoreLineHeight};
    y += kMoreLineHeight;
  }
  layout.contentHeight = y + kFixedRows;
  return layout;
}

int EntryAt(const std::vector<int>& textHeights, int x, int y, int scrollY) {
  if (textHeights.empty() || x <= kHitLeft || x >= kHitRight) return -1;
  int last = kListTop;
  for (int height : textHeights) last += height + kEntrySpacing;
  if (y <= kListTop || y >= last) return -1;
  int bottom = kListTop;
  for (size_t k = 0; k < textHeights.size(); ++k) {
    bottom += textHeights[k] + kEntrySpacing;
    if (y + scrollY < bottom) return static_cast<int>(k);
  }
  return -1;
}

Scroll ClampScroll(Scroll scroll, int contentWidth, int contentHeight, int slotWidth,
                   int slotHeight) {
  scroll.x = std::max(0, std::min(scroll.x, contentWidth - slotWidth + kChromeWidth));
  scroll.y = std::max(0, std::min(scroll.y, contentHeight - slotHeight + kChromeHeight));
  return scroll;
}

namespace {

constexpr int kShortWindow = 62;  // below this the fixed rows are cut
constexpr int kTallWindow = 63;   // from this height the scrolling part shows

int FixedRowsHeight(int slotHeight) {
  return slotHeight < kShortWindow ? slotHeight - kChromeHeight : kFixedRows;
}

}  // namespace

ComposePlan PlanDayCompose(Scroll scroll, int contentWidth, int contentHeight, int slotWidth,
                           int slotHeight) {
  ComposePlan plan;
  const int width = std::min(slotWidth - kChromeWidth, contentWidth);
  plan.fixedSource = {0, 0, width, FixedRowsHeight(slotHeight)};
  if (slotHeight >= kTallWindow) {
    plan.hasContent = true;
    plan.contentSource = {
        scroll.x, kFixedRows + scroll.y, width,
        std::min(slotHeight - kFixedRows - kChromeHeight, contentHeight - kFixedRows)};
  }
  return plan;
}

ComposePlan PlanWorkCompose(Scroll scroll, int canvasWidth, int slotWidth, int slotHeight) {
  ComposePlan plan;
  const int fixedWidth =
      slotWidth < kMinContentWidth + kChromeWidth ? slotWidth - kChromeWidth : kMinContentWidth;
  plan.fixedSource = {0, 0, fixedWidth, FixedRowsHeight(slotHeight)};
  if (slotHeight >= kTallWindow) {
    plan.hasContent = true;
    plan.contentSource = {scroll.x, kFixedRows + scroll.y,
                          std::min(slotWidth - kChromeWidth, canvasWidth),
                          std::min(slotHeight - kFixedRows - kChromeHeight, kWorkTabContentHeight)};
  }
  return plan;
}

}  // namespace yk::sched
