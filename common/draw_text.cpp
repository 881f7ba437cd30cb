// draw_text.cpp — text in a rectangle of a drawing context, with the program's font rules.
#include <algorithm>
#include <string>

#include "common/bitmap_ops.h"
#include "platform/text_draw.h"

namespace yk {

bool DrawText(YkHandle dc, std::u16string_view text, int left, int top, int right, int bottom,
              std::u16string_view face, int height, uint32_t colour, bool wordWrap,
              TextDirection direction) {
  if (platform::SurfaceOfDC(dc) == nullptr) return false;
  platform::Rect clip;
  clip.left = std::min(left, right);
  clip.right = std::max(left, right);
  clip.top = std::min(top, bottom);
  clip.bottom = std::max(top, bottom);
  platform::TextStyle style;
  style.face = std::u16string(face);
  style.height = height;
  style.colour = colour;
  style.vertical = direction == TextDirection::kVertical;
  style.wordWrap = wordWrap && !style.vertical;
  platform::DrawText(dc, text, clip, style);
  return true;
}

}  // namespace yk
