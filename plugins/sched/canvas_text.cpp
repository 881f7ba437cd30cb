#include "plugins/sched/canvas_text.h"

#include <string>

#include "platform/text_draw.h"

namespace yk::sched {

CanvasSurface::CanvasSurface(int width, int height) {
  platform::Handle bits = 0;
  bitmap_ = platform::CreateSurfaceBitmap(width, height, &bits);
  if (bitmap_ == 0) return;
  dc_ = platform::CreateCompatibleDC();
  if (dc_ == 0) return;
  platform::SelectBitmap(dc_, bitmap_);
  buffer_ = PixelBufferFromHandle(bits, width, height, width * height * 3);
}

CanvasSurface::~CanvasSurface() {
  if (dc_ != 0) platform::DeleteDC(dc_);
  if (bitmap_ != 0) platform::DeleteBitmap(bitmap_);
}

void CanvasSurface::Draw(std::u16string_view text, Rect clip, std::u16string_view face,
                         int fontHeight, uint32_t colour) const {
  platform::TextStyle style;
  style.face = std::u16string(face);
  style.height = fontHeight;
  style.colour = colour;
  style.wordWrap = false;
  platform::DrawText(dc_, text, {clip.x, clip.y, clip.x + clip.width, clip.y + clip.height}, style);
}

int CanvasSurface::MeasureHeight(std::u16string_view text, std::u16string_view face, int fontHeight,
                                 int width) {
  platform::TextStyle style;
  style.face = std::u16string(face);
  style.height = fontHeight;
  style.wordWrap = false;
  return platform::MeasureText(text, width, style).height;
}

}  // namespace yk::sched
