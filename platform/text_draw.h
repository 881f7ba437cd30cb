// text_draw.h — drawing and measuring text on the bitmap selected into a DC.
//
// A font is described by a face name and a height in pixels: the height of the character
// cell (ascent + descent), as the handheld's positive font heights are; weight is always
// normal (400).  The handheld's default face "ＭＳ Ｐゴシック" and every face this machine
// does not know are drawn with the proportional "IPAPGothic" family (package
// fonts-ipafont-gothic), the nearest match to a proportional Gothic face.
// Text is drawn in `colour` on a transparent background and never outside `clip` (after
// the rectangle is normalised so left <= right and top <= bottom) nor outside the bitmap.
// CR LF, a lone CR and a lone LF each start a new line.
//
// Vertical text (escapement 2700) is rotated 90 degrees clockwise: it reads top-down from
// the rectangle's top-left corner with the glyphs' tops facing right.  The first line's
// cell lies against the left edge; each further line lies to the left of the previous one
// (so only the first line shows inside the rectangle).  Vertical text never wraps.
//
// The implementation draws with Qt: a QGuiApplication (or QApplication) must exist before
// the first call.  Not available in the build without Qt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/handles.h"

namespace platform {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom are exclusive
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// A colour as the handheld stores it: 0x00BBGGRR (red in the low byte).
using Colour = uint32_t;
constexpr Colour Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return Colour(r) | (Colour(g) << 8) | (Colour(b) << 16);
}

inline constexpr char16_t kDefaultFaceName[] = u"ＭＳ Ｐゴシック";

struct TextStyle {
  std::u16string face = kDefaultFaceName;
  int height = 12;        // cell height in pixels; <= 0 is taken as 12
  Colour colour = 0;      // black
  bool wordWrap = false;  // horizontal text only: break lines at the rectangle's width
  bool vertical = false;  // escapement 2700
};

// Draws `text` into the DC's bitmap inside `clip`.  Returns the height of the text drawn
// (0 when the DC holds no bitmap or the text is empty).
int DrawText(Handle dc, std::u16string_view text, Rect clip, const TextStyle& style);

struct TextExtent {
  int width = 0;   // the widest line
  int height = 0;  // number of lines x line height
};

// Measures `text` as DrawText would lay it out in a rectangle `width` pixels wide (the
// width only matters with word wrap).  Nothing is drawn.
TextExtent MeasureText(std::u16string_view text, int width, const TextStyle& style);

// The font family the face name resolves to on this machine (for the font dialog).
std::u16string ResolvedFontFamily(std::u16string_view face);

}  // namespace platform
