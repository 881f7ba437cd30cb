// screen_image.h — what the view puts on the screen: a part of the composition buffer
// (bottom-up rows of blue-green-red, see common/bitmap_ops.h) as an upright image in which
// every host pixel is a factor x factor square of device pixels, copied (nearest neighbour,
// never blended).  One pass: each source row is read once, widened once and copied to the
// factor rows below it.
#pragma once

#include <QImage>

#include "common/bitmap_ops.h"

namespace yk {

// The part (left, top) width x height of `buffer`, clipped to it, at `factor` (1..3; other
// values are taken as 1).  A null image when nothing of the part lies inside the buffer.
QImage ScreenImage(const ConstPixelBuffer& buffer, int left, int top, int width, int height,
                   int factor);

}  // namespace yk
