// composer.cpp — marking, hiding and composing window buffers onto the screen buffer.
#include "host/composer.h"

#include <algorithm>
#include <cstddef>

#include "common/bitmap_ops.h"
#include "host/view_port.h"

namespace yk {

namespace {

bool Whole(const ConstPixelBuffer& b) {
  return b.bits != nullptr && b.width > 0 && b.height > 0 &&
         static_cast<long>(b.bytes) >= static_cast<long>(b.width) * b.height * 3L;
}

bool Inside(const ConstPixelBuffer& b, int x, int y, int w, int h) {
  return x >= 0 && y >= 0 && x + w <= b.width && y + h <= b.height;
}

// Byte offset of top-down pixel (x, y) in a bottom-up buffer.
long Offset(const ConstPixelBuffer& b, int x, int y) {
  return (static_cast<long>(b.height - 1 - y) * b.width + x) * 3L;
}

}  // namespace

void LightenMultiply(uint8_t* __restrict dst, const uint8_t* __restrict src, int count) {
  for (int i = 0; i < count; ++i) {
    // b * 15 / 100 + 216 stays below 255 for every byte; d * 15 / 100 = d * 3 / 20, and
    // (v * 3277) >> 16 equals v / 20 for every v <= 765.
    const uint32_t lightened = ((dst[i] * 3u * 3277u) >> 16) + 216u;
    // t / 255 == (t + 1 + (t >> 8)) >> 8 for every t <= 65025.
    const uint32_t t = lightened * src[i];
    dst[i] = static_cast<uint8_t>((t + 1u + (t >> 8)) >> 8);
  }
}

void Composer::Compose(int x, int y, int w, int h, bool full) {
  if (w == -1) w = host_.clientWidth;
  if (h == -1) h = host_.clientHeight;
  if (full) {
    CopyRop(ScreenBuffer(host_), x, y, w, h, BackBuffer(host_), x, y, kSrcCopy);
    MarkWindows(x, y, x + w, y + h);
    DropHidden();
  }
  ComposeMarked();
  view_.Present(x, y, w, h);
}

void Composer::MarkWindows(int l, int t, int r, int b) {
  const int count = std::clamp(host_.windowCount, 0, int(kMaxWindows));
  if (host_.maximized >= 0 && host_.maximized < count) {
    for (auto& slot : host_.slots) slot.dirty = 0;
    PluginSlot& slot = host_.slots[host_.order[host_.maximized]];
    slot.dirty = 1;
    slot.clipLeft = l;
    slot.clipTop = t;
    slot.clipRight = r;
    slot.clipBottom = b;
    return;
  }
  for (int p = 0; p < count; ++p) {
    PluginSlot& slot = host_.slots[host_.order[p]];
    if (r < slot.left || b < slot.top || slot.right < l || slot.bottom < t) {
      slot.dirty = 0;
      continue;
    }
    slot.dirty = 1;
    slot.clipLeft = std::max(slot.left, l);
    slot.clipTop = std::max(slot.top, t);
    slot.clipRight = std::min(slot.right, r);
    slot.clipBottom = std::min(slot.bottom, b);
  }
}

void Composer::DropHidden() {
  if (translucent_) return;
  const int count = std::clamp(host_.windowCount, 0, int(kMaxWindows));
  for (int i = count - 2; i >= 0; --i) {
    PluginSlot& below = host_.slots[host_.order[i]];
    for (int j = count - 1; j > i && below.dirty; --j) {
      const PluginSlot& above = host_.slots[host_.order[j]];
      if (above.dirty && below.clipLeft >= above.clipLeft && below.clipTop >= above.clipTop &&
          below.clipRight <= above.clipRight && below.clipBottom <= above.clipBottom) {
        below.dirty = 0;
      }
    }
  }
}

void Composer::ComposeMarked() {
  const int count = std::clamp(host_.windowCount, 0, int(kMaxWindows));
  const PixelBuffer screen = ScreenBuffer(host_);
  for (int p = 0; p < count; ++p) {
    const int slotIndex = host_.order[p];
    const PluginSlot& slot = host_.slots[slotIndex];
    if (!slot.dirty) continue;
    const bool maximized = p == host_.maximized;
    // The maximised window's rectangle starts at (0, 0) of the view.
    const int originX = maximized ? 0 : slot.left;
    const int originY = maximized ? 0 : slot.top;
    const ConstPixelBuffer window = SlotBuffer(host_, slotIndex);
    const int w = slot.clipRight - slot.clipLeft;
    const int h = slot.clipBottom - slot.clipTop;
    if (!translucent_) {
      CopyRop(screen, slot.clipLeft, slot.clipTop, w, h, window, slot.clipLeft - originX,
              slot.clipTop - originY, kSrcCopy);
      continue;
    }
    const int sx = slot.clipLeft - originX;
    const int sy = slot.clipTop - originY;
    if (w <= 0 || h <= 0) continue;
    if (!Whole(screen) || !Whole(window) || !Inside(screen, slot.clipLeft, slot.clipTop, w, h) ||
        !Inside(window, sx, sy, w, h)) {
      // A clip reaching past a buffer: the two separate steps, each clipped on its own.
      Lighten(screen, slot.clipLeft, slot.clipTop, w, h);
      Blend(screen, slot.clipLeft, slot.clipTop, w, h, window, sx, sy, kBlendMultiply);
      continue;
    }
    // The fused loop over whole rows, bottom-up storage: the rows go down in memory.
    const long stride = static_cast<long>(screen.width) * 3L;
    const long sourceStride = static_cast<long>(window.width) * 3L;
    uint8_t* d = screen.bits + Offset(screen, slot.clipLeft, slot.clipTop);
    const uint8_t* s = window.bits + Offset(window, sx, sy);
    for (int row = 0; row < h; ++row, d -= stride, s -= sourceStride) {
      LightenMultiply(d, s, w * 3);
    }
  }
}

}  // namespace yk
