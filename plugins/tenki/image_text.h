// image_text.h — the window's off-screen image as a platform bitmap with a drawing
// context, so the host's text drawing can write into it.
#pragma once

#include <string_view>

#include "common/bitmap_ops.h"
#include "platform/handles.h"

namespace yk::tenki {

class ImageCanvas {
 public:
  // A zero-filled width x height bitmap selected into a new drawing context.
  ImageCanvas(int width, int height);
  ~ImageCanvas();
  ImageCanvas(const ImageCanvas&) = delete;
  ImageCanvas& operator=(const ImageCanvas&) = delete;

  // False when the bitmap or the context could not be made.
  bool ok() const { return dc_ != 0 && buffer_.bits != nullptr; }
  PixelBuffer buffer() const { return buffer_; }

  // Black text, word-wrapped in the rectangle, transparent background.
  void Draw(std::u16string_view text, int left, int top, int right, int bottom,
            std::u16string_view face, int height) const;

 private:
  platform::Handle bitmap_ = 0;
  platform::Handle dc_ = 0;
  PixelBuffer buffer_;
};

}  // namespace yk::tenki
