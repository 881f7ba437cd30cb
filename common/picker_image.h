// picker_image.h — the off-screen image a picker draws into, and the part of it shown.
//
// The image is 24-bit (blue, green, red), bottom-up, rows not padded, like every pixel
// buffer of the system; its left `pictureWidth` columns are the picture the dialog shows,
// the columns right of them scratch space.  Before Allocate and after Release there is no
// image: released() is true and PictureTopDown() is empty.
#pragma once

#include <cstdint>
#include <vector>

#include "common/bitmap_ops.h"

namespace yk {

class PickerImage {
 public:
  PickerImage(int width, int height, int pictureWidth)
      : width_(width), height_(height), pictureWidth_(pictureWidth) {}

  // Frees the image; safe to call more than once.
  void Release();
  bool released() const { return released_; }

  // The whole off-screen image.
  const std::vector<uint8_t>& image() const { return image_; }

  // The shown columns as top-down rows of pictureWidth × 3 bytes (blue, green, red).
  std::vector<uint8_t> PictureTopDown() const;

 protected:
  // A white image; false (and released) when it can't be allocated.
  [[nodiscard]] bool Allocate();

  std::vector<uint8_t> image_;
  bool released_ = true;

 private:
  int width_;
  int height_;
  int pictureWidth_;
};

}  // namespace yk
