#include "host/screen_image.h"

#include <algorithm>
#include <cstring>

namespace yk {

QImage ScreenImage(const ConstPixelBuffer& buffer, int left, int top, int width, int height,
                   int factor) {
  if (factor < 1 || factor > 3) factor = 1;
  if (buffer.bits == nullptr || buffer.width <= 0 || buffer.height <= 0) return {};
  // Clip to the buffer, and to the rows its byte size really holds: rows are stored
  // bottom-up, so a short buffer lacks the top ones.
  const long rowBytes = long(buffer.width) * 3;
  const int heldRows = int(std::min<long>(buffer.height, buffer.bytes / rowBytes));
  const int x0 = std::max(left, 0), y0 = std::max({top, 0, buffer.height - heldRows});
  const int x1 = std::min(left + width, buffer.width), y1 = std::min(top + height, buffer.height);
  if (x0 >= x1 || y0 >= y1) return {};
  const int w = x1 - x0, h = y1 - y0;
  QImage image(w * factor, h * factor, QImage::Format_BGR888);
  if (image.isNull()) return image;
  for (int y = 0; y < h; ++y) {
    // Top-down row y0 + y is stored as row height - 1 - (y0 + y) from the start.
    const uint8_t* source = buffer.bits + long(buffer.height - 1 - (y0 + y)) * rowBytes + x0 * 3L;
    uint8_t* first = image.scanLine(y * factor);
    if (factor == 1) {
      std::memcpy(first, source, size_t(w) * 3);
      continue;
    }
    uint8_t* out = first;
    for (int x = 0; x < w; ++x, source += 3) {
      for (int k = 0; k < factor; ++k, out += 3) {
        out[0] = source[0];
        out[1] = source[1];
        out[2] = source[2];
      }
    }
    for (int k = 1; k < factor; ++k)
      std::memcpy(image.scanLine(y * factor + k), first, size_t(w) * 3 * size_t(factor));
  }
  return image;
}

}  // namespace yk
