// day_layout.h — geometry of the schedule window: the canvas, the content area, the list
// of entries, scrolling and the copy of the canvas into the window buffer.
//
// The canvas is canvas width x 840.  Its rows 0..19 hold the toolbar and rows 20..39 the
// date header; both stay fixed at the window's top.  The rows from 40 down scroll.  In
// the window, the content area begins at (2, 20) and is (width - 4) x (height - 22).
#pragma once

#include <vector>

namespace yk::sched {

inline constexpr int kCanvasHeight = 840;
inline constexpr int kFixedRows = 40;  // toolbar and date header
inline constexpr int kInitialContentHeight = 800;
inline constexpr int kWorkTabContentWidth = 240;
inline constexpr int kWorkTabContentHeight = 800;
inline constexpr int kEmptyDayContentHeight = 60;
inline constexpr int kContentLeft = 2;    // window column of canvas column 0
inline constexpr int kContentTop = 20;    // window row of canvas row 0
inline constexpr int kChromeWidth = 4;    // left and right borders
inline constexpr int kChromeHeight = 22;  // title strip and bottom border

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// bufferWidth clamped to 240..300.
int CanvasWidth(int bufferWidth);

// The window's width less its borders, clamped to 190..240.
int ContentWidth(int slotWidth);

// A window lists at most 20 entries at a time; a day with more ends its list with a line
// that says how many are not listed ("ほか5件"), which takes the room of an entry whose text
// is 0 rows high (its 20 rows) and shows the next entries when it is opened.
inline constexpr int kListPageSize = 20;
inline constexpr int kMoreLineHeight = 20;

// The tallest text an entry may take when the day lists `entryCount` entries (and, with
// `moreLine`, the line below them), so that the list stays within the canvas.
int TextHeightCap(int entryCount, bool moreLine = false);

// Where the entries of a day go on the canvas, given their text heights (already cut to
// the cap).  The first entry's glyph line is on canvas row 40, its text 10 rows below.
// With `moreLine` the line of the entries not listed follows the last one.
struct DayLayout {
  std::vector<int> glyphRows;
  std::vector<Rect> textRects;
  Rect moreRect;  // empty without the line
  int contentHeight = kEmptyDayContentHeight;
};
DayLayout LayOutDay(const std::vector<int>& textHeights, int contentWidth, bool moreLine = false);

// The entry under window point (x, y) with the content scrolled by scrollY, or -1.
// Entry k reaches down to E(k) = 60 + the sum over j <= k of (text height j + 20).  The
// line of the entries not listed counts as one more entry of text height 0.
int EntryAt(const std::vector<int>& textHeights, int x, int y, int scrollY);

struct Scroll {
  int x = 0, y = 0;
  friend bool operator==(const Scroll&, const Scroll&) = default;
};

// Keeps the scroll offset inside the content: each limited above, then raised to 0.
Scroll ClampScroll(Scroll scroll, int contentWidth, int contentHeight, int slotWidth,
                   int slotHeight);

// The copies that put the canvas into the window: the fixed rows always, the scrolling
// content when the window is tall enough.  Source rectangles are in canvas coordinates,
// destinations are window points.
struct ComposePlan {
  Rect fixedSource;
  int fixedDestX = kContentLeft, fixedDestY = kContentTop;
  bool hasContent = false;
  Rect contentSource;
  int contentDestX = kContentLeft, contentDestY = kContentTop + kFixedRows;
};

// The schedule tab's copies.
ComposePlan PlanDayCompose(Scroll scroll, int contentWidth, int contentHeight, int slotWidth,
                           int slotHeight);

// The work tab's copies: fixed rows 190 wide (less in a narrower window), content as
// wide as the window allows up to the canvas width and up to 800 rows high.
ComposePlan PlanWorkCompose(Scroll scroll, int canvasWidth, int slotWidth, int slotHeight);

}  // namespace yk::sched
