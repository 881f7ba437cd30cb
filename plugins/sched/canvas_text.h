// canvas_text.h — the window's canvas as a platform bitmap with a drawing context, and
// the text drawing and measuring that the view asks for on it.
#pragma once

#include <string_view>

#include "common/bitmap_ops.h"
#include "platform/handles.h"
#include "plugins/sched/day_layout.h"

namespace yk::sched {

class CanvasSurface {
 public:
  // A zero-filled width x 840 bitmap selected into a new drawing context.
  CanvasSurface(int width, int height);
  ~CanvasSurface();
  CanvasSurface(const CanvasSurface&) = delete;
  CanvasSurface& operator=(const CanvasSurface&) = delete;

  // False when the bitmap or the context could not be made.
  bool ok() const { return dc_ != 0 && buffer_.bits != nullptr; }
  PixelBuffer buffer() const { return buffer_; }

  // Text in the canvas, no word wrap, transparent background, clipped to `clip`.
  void Draw(std::u16string_view text, Rect clip, std::u16string_view face, int fontHeight,
            uint32_t colour) const;
  // Height of the text laid out `width` wide with its line breaks, without word wrap.
  static int MeasureHeight(std::u16string_view text, std::u16string_view face, int fontHeight,
                           int width);

 private:
  platform::Handle bitmap_ = 0;
  platform::Handle dc_ = 0;
  PixelBuffer buffer_;
};

}  // namespace yk::sched
