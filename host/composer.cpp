// composer.cpp — marking, hiding and composing window buffers onto the screen buffer.
#include "host/composer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "common/bitmap_ops.h"
#include "host/view_port.h"

namespace yk {

namespace {

bool Whole(const ConstPixelBuffer& b) {
  return b.bits != nullptr && b.width > 0 && b.height > 0 &&
         static_cast<long>(b.bytes) >= static_cast<long>(b.width) * b.height * 3L;
}

// Byte offset of top-down pixel (x, y) in a bottom-up buffer.
long Offset(const ConstPixelBuffer& b, int x, int y) {
  return (static_cast<long>(b.height - 1 - y) * b.width + x) * 3L;
}

}  // namespace

// Built for AVX2 as well as the baseline; the loader picks what the processor has.
__attribute__((target_clones("avx2", "default"))) void LightenMultiply(
    uint8_t* __restrict dst, const uint8_t* __restrict src, int count) {
  // All in 16-bit lanes so the loop vectorises.  d * 15 / 100 + 216 never exceeds 254, and
  // (d * 9831) >> 16 equals d * 15 / 100 for every byte d.
  for (int i = 0; i < count; ++i) {
    const uint16_t d = dst[i];
    const uint16_t lightened = static_cast<uint16_t>((uint32_t{d} * 9831u) >> 16) + 216u;
    const uint16_t t = static_cast<uint16_t>(lightened * src[i]);
    dst[i] = static_cast<uint8_t>(static_cast<uint16_t>(t / uint16_t{255}));
  }
}

void Composer::Compose(int x, int y, int w, int h, bool full) {
  if (w == -1) w = host_.clientWidth;
  if (h == -1) h = host_.clientHeight;
  if (full) {
    MarkWindows(x, y, x + w, y + h);
    DropHidden();
    const ViewRect background{x, y, x + w, y + h};
    ComposeLayers(&background);
  } else {
    ComposeLayers(nullptr);
  }
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
  ComposeLayers(nullptr);
}

namespace {

// A marked window as the row loop sees it: its clip cut to the screen and to its own
// buffer, and where its buffer's (0, 0) lies in the view.
struct Layer {
  ConstPixelBuffer pixels;
  int originX, originY;
  int left, top, right, bottom;
};

}  // namespace

void Composer::ComposeLayers(const ViewRect* background) {
  const PixelBuffer screen = ScreenBuffer(host_);
  const ConstPixelBuffer back = BackBuffer(host_);
  const int count = std::clamp(host_.windowCount, 0, int(kMaxWindows));

  Layer layers[kMaxWindows];
  int layerCount = 0;
  bool whole = Whole(screen) && (background == nullptr || Whole(back));
  for (int p = 0; p < count; ++p) {
    const int slotIndex = host_.order[p];
    const PluginSlot& slot = host_.slots[slotIndex];
    if (!slot.dirty) continue;
    Layer& layer = layers[layerCount++];
    layer.pixels = SlotBuffer(host_, slotIndex);
    // The maximised window's rectangle starts at (0, 0) of the view.
    const bool maximized = p == host_.maximized;
    layer.originX = maximized ? 0 : slot.left;
    layer.originY = maximized ? 0 : slot.top;
    layer.left = std::max({slot.clipLeft, 0, layer.originX});
    layer.top = std::max({slot.clipTop, 0, layer.originY});
    layer.right = std::min({slot.clipRight, screen.width, layer.originX + layer.pixels.width});
    layer.bottom = std::min({slot.clipBottom, screen.height, layer.originY + layer.pixels.height});
    whole = whole && Whole(layer.pixels);
  }
  if (!whole) {
    ComposeClipped(background);
    return;
  }

  ViewRect fill{0, 0, 0, 0};
  if (background != nullptr) {
    fill = {std::max(background->left, 0), std::max(background->top, 0),
            std::min(background->right, screen.width), std::min(background->bottom, screen.height)};
  }
  int firstRow = fill.left < fill.right ? fill.top : screen.height;
  int endRow = fill.left < fill.right ? fill.bottom : 0;
  for (int i = 0; i < layerCount; ++i) {
    if (layers[i].left >= layers[i].right) continue;
    firstRow = std::min(firstRow, layers[i].top);
    endRow = std::max(endRow, layers[i].bottom);
  }

  // Row by row, so that the screen row stays in the cache while every window that crosses
  // it is applied.  Rows are stored bottom-up.
  for (int y = std::max(firstRow, 0); y < endRow; ++y) {
    uint8_t* row = screen.bits + Offset(screen, 0, y);
    const bool backHere = y >= fill.top && y < fill.bottom && fill.left < fill.right;
    auto layerRow = [&](const Layer& layer, int x) {
      return layer.pixels.bits + Offset(layer.pixels, x - layer.originX, y - layer.originY);
    };
    if (translucent_) {
      if (backHere) {
        std::memcpy(row + fill.left * 3, back.bits + Offset(back, fill.left, y),
                    static_cast<size_t>(fill.right - fill.left) * 3);
      }
      continue;
    }
    // Normal mode: every pixel is copied once, from the topmost window over it (or the
    // background).  Coverage only changes at the edges collected here.
    int edges[2 * kMaxWindows + 2];
    int edgeCount = 0;
    if (backHere) {
      edges[edgeCount++] = fill.left;
      edges[edgeCount++] = fill.right;
    }
    for (int i = 0; i < layerCount; ++i) {
      const Layer& layer = layers[i];
      if (y < layer.top || y >= layer.bottom || layer.left >= layer.right) continue;
      edges[edgeCount++] = layer.left;
      edges[edgeCount++] = layer.right;
    }
    for (int i = 1; i < edgeCount; ++i) {  // at most a dozen edges: insertion sort
      const int edge = edges[i];
      int j = i;
      for (; j > 0 && edges[j - 1] > edge; --j) edges[j] = edges[j - 1];
      edges[j] = edge;
    }
    for (int e = 0; e + 1 < edgeCount; ++e) {
      const int a = edges[e], b = edges[e + 1];
      if (a == b) continue;
      const uint8_t* source = nullptr;
      for (int i = layerCount - 1; i >= 0 && source == nullptr; --i) {
        const Layer& layer = layers[i];
        if (y >= layer.top && y < layer.bottom && layer.left <= a && b <= layer.right) {
          source = layerRow(layer, a);
        }
      }
      if (source == nullptr && backHere && fill.left <= a && b <= fill.right) {
        source = back.bits + Offset(back, a, y);
      }
      if (source != nullptr) std::memcpy(row + a * 3, source, static_cast<size_t>(b - a) * 3);
    }
  }
  if (!translucent_) return;
  // Translucent: each window in turn over what lies beneath, bottom first.
  for (int i = 0; i < layerCount; ++i) {
    const Layer& layer = layers[i];
    for (int y = layer.top; y < layer.bottom && layer.left < layer.right; ++y) {
      LightenMultiply(
          screen.bits + Offset(screen, layer.left, y),
          layer.pixels.bits + Offset(layer.pixels, layer.left - layer.originX, y - layer.originY),
          (layer.right - layer.left) * 3);
    }
  }
}

void Composer::ComposeClipped(const ViewRect* background) {
  // Buffers shorter than their size says: each step clipped on its own by the primitives.
  const PixelBuffer screen = ScreenBuffer(host_);
  if (background != nullptr) {
    CopyRop(screen, background->left, background->top, background->right - background->left,
            background->bottom - background->top, BackBuffer(host_), background->left,
            background->top, kSrcCopy);
  }
  const int count = std::clamp(host_.windowCount, 0, int(kMaxWindows));
  for (int p = 0; p < count; ++p) {
    const int slotIndex = host_.order[p];
    const PluginSlot& slot = host_.slots[slotIndex];
    if (!slot.dirty) continue;
    const bool maximized = p == host_.maximized;
    const int sx = slot.clipLeft - (maximized ? 0 : slot.left);
    const int sy = slot.clipTop - (maximized ? 0 : slot.top);
    const int w = slot.clipRight - slot.clipLeft;
    const int h = slot.clipBottom - slot.clipTop;
    const ConstPixelBuffer window = SlotBuffer(host_, slotIndex);
    if (translucent_) {
      Lighten(screen, slot.clipLeft, slot.clipTop, w, h);
      Blend(screen, slot.clipLeft, slot.clipTop, w, h, window, sx, sy, kBlendMultiply);
    } else {
      CopyRop(screen, slot.clipLeft, slot.clipTop, w, h, window, sx, sy, kSrcCopy);
    }
  }
}

}  // namespace yk
