// picker_image.cpp — allocation of a picker's image and the copy of its shown part.
#include "common/picker_image.h"

#include <algorithm>
#include <cstddef>
#include <new>

namespace yk {

bool PickerImage::Allocate() {
  try {
    image_.assign(size_t(width_) * size_t(height_) * 3, 255);
  } catch (const std::bad_alloc&) {
    image_.clear();
    released_ = true;
    return false;
  }
  released_ = false;
  return true;
}

void PickerImage::Release() {
  image_.clear();
  image_.shrink_to_fit();
  released_ = true;
}

std::vector<uint8_t> PickerImage::PictureTopDown() const {
  std::vector<uint8_t> out;
  if (released_ || image_.size() < size_t(width_) * size_t(height_) * 3) return out;
  const size_t rowBytes = size_t(pictureWidth_) * 3;
  out.resize(rowBytes * size_t(height_));
  for (int y = 0; y < height_; ++y) {
    const uint8_t* row = image_.data() + size_t(height_ - 1 - y) * size_t(width_) * 3;
    std::copy(row, row + rowBytes, out.begin() + ptrdiff_t(size_t(y) * rowBytes));
  }
  return out;
}

}  // namespace yk
