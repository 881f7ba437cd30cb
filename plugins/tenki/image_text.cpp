#include "plugins/tenki/image_text.h"

namespace yk::tenki {

ImageCanvas::ImageCanvas(int width, int height) {
  platform::Handle bits = 0;
  bitmap_ = platform::CreateSurfaceBitmap(width, height, &bits);
  dc_ = bitmap_ != 0 ? platform::CreateCompatibleDC() : 0;
  if (dc_ == 0) return;
  platform::SelectBitmap(dc_, bitmap_);
  buffer_ = PixelBufferFromHandle(bits, width, height, width * height * 3);
}

ImageCanvas::~ImageCanvas() {
  if (dc_ != 0) platform::DeleteDC(dc_);
  if (bitmap_ != 0) platform::DeleteBitmap(bitmap_);
}

void ImageCanvas::Draw(std::u16string_view text, int left, int top, int right, int bottom,
                       std::u16string_view face, int height) const {
  (void)DrawText(dc_, text, left, top, right, bottom, face, height, kTextBlack, /*wordWrap=*/true);
}

}  // namespace yk::tenki
