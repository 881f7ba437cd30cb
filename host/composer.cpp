// composer.cpp — marking, hiding and composing window buffers onto the screen buffer.
#include "host/composer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "common/bitmap_ops.h"
#include "host/view_port.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

namespace {

#if defined(__x86_64__)
// One step of the translucent stack in 16-bit lanes: v = (v * 15 / 100 + 216) * s / 255.
// (v * 9831) >> 16 is v * 15 / 100 for every byte, and (t * 0x8081) >> 23 is t / 255 for
// every 16-bit t (the product is at most 254 * 255).
__attribute__((target("avx2"))) inline __m256i LightenMultiplyLanes(__m256i v, __m256i s) {
  const __m256i lightened =
      _mm256_add_epi16(_mm256_mulhi_epu16(v, _mm256_set1_epi16(9831)), _mm256_set1_epi16(216));
  const __m256i product = _mm256_mullo_epi16(lightened, s);
  return _mm256_srli_epi16(_mm256_mulhi_epu16(product, _mm256_set1_epi16(int16_t(0x8081))), 7);
}

__attribute__((target("avx2"))) inline __m256i LoadWidened(const uint8_t* bytes) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
}

// Stores 32 lanes as 32 bytes in order (packus interleaves the 128-bit halves; the
// permute puts them back).
__attribute__((target("avx2"))) inline void StoreNarrowed(uint8_t* out, __m256i low, __m256i high) {
  const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), packed);
}

// `out` = `base` with every layer in turn lightened under and multiplied in, `count`
// bytes; `out` may be `base`.  Every byte goes through all layers in registers and is
// written once.
__attribute__((target("avx2"))) void LayerStackAvx2(uint8_t* out, const uint8_t* base,
                                                    const uint8_t* const* layers, int layerCount,
                                                    int count) {
  int i = 0;
  // 64 bytes a step: four independent chains keep the multipliers busy through the
  // layers' latency.
  for (; i + 64 <= count; i += 64) {
    __m256i v0 = LoadWidened(base + i);
    __m256i v1 = LoadWidened(base + i + 16);
    __m256i v2 = LoadWidened(base + i + 32);
    __m256i v3 = LoadWidened(base + i + 48);
    for (int k = 0; k < layerCount; ++k) {
      const uint8_t* source = layers[k] + i;
      v0 = LightenMultiplyLanes(v0, LoadWidened(source));
      v1 = LightenMultiplyLanes(v1, LoadWidened(source + 16));
      v2 = LightenMultiplyLanes(v2, LoadWidened(source + 32));
      v3 = LightenMultiplyLanes(v3, LoadWidened(source + 48));
    }
    StoreNarrowed(out + i, v0, v1);
    StoreNarrowed(out + i + 32, v2, v3);
  }
  if (i + 32 <= count) {
    __m256i v0 = LoadWidened(base + i);
    __m256i v1 = LoadWidened(base + i + 16);
    for (int k = 0; k < layerCount; ++k) {
      v0 = LightenMultiplyLanes(v0, LoadWidened(layers[k] + i));
      v1 = LightenMultiplyLanes(v1, LoadWidened(layers[k] + i + 16));
    }
    StoreNarrowed(out + i, v0, v1);
    i += 32;
  }
  while (i < count) {
    // The last 1..31 bytes go through 16-byte staging copies, so nothing past the
    // rows is read or written.
    const int take = std::min(count - i, 16);
    alignas(16) uint8_t staged[16] = {};
    std::memcpy(staged, base + i, static_cast<size_t>(take));
    __m256i v = LoadWidened(staged);
    for (int k = 0; k < layerCount; ++k) {
      std::memcpy(staged, layers[k] + i, static_cast<size_t>(take));
      v = LightenMultiplyLanes(v, LoadWidened(staged));
    }
    _mm_store_si128(reinterpret_cast<__m128i*>(staged),
                    _mm_packus_epi16(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
    std::memcpy(out + i, staged, static_cast<size_t>(take));
    i += take;
  }
}

bool HasAvx2() {
  static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2") != 0);
  return has;
}
#endif

// The translucent composition of one run of bytes: `out` = `base` (which may be `out`)
// with each layer, bottom first, lightened under and multiplied in.
void LayerStack(uint8_t* out, const uint8_t* base, const uint8_t* const* layers, int layerCount,
                int count) {
#if defined(__x86_64__)
  if (HasAvx2()) {
    LayerStackAvx2(out, base, layers, layerCount, count);
    return;
  }
#endif
  if (out != base) std::memcpy(out, base, static_cast<size_t>(count));
  for (int k = 0; k < layerCount; ++k) LightenMultiply(out, layers[k], count);
}

}  // namespace

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

  // Row by row, each pixel written once.  Rows are stored bottom-up: going up the view
  // walks every buffer forwards, which the prefetchers follow.
  for (int y = endRow - 1; y >= std::max(firstRow, 0); --y) {
    uint8_t* row = screen.bits + Offset(screen, 0, y);
    const bool backHere = y >= fill.top && y < fill.bottom && fill.left < fill.right;
    // Which windows cover a pixel changes only at the edges collected here.
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
    auto covers = [y](const Layer& layer, int a, int b) {
      return y >= layer.top && y < layer.bottom && layer.left <= a && b <= layer.right;
    };
    auto layerRow = [y](const Layer& layer, int x) {
      return layer.pixels.bits + Offset(layer.pixels, x - layer.originX, y - layer.originY);
    };
    for (int e = 0; e + 1 < edgeCount; ++e) {
      const int a = edges[e], b = edges[e + 1];
      if (a == b) continue;
      const uint8_t* backRun =
          backHere && fill.left <= a && b <= fill.right ? back.bits + Offset(back, a, y) : nullptr;
      const size_t bytes = static_cast<size_t>(b - a) * 3;
      if (!translucent_) {
        // Normal mode: every pixel is copied once, from the topmost window over it (or
        // the background).
        const uint8_t* source = nullptr;
        for (int i = layerCount - 1; i >= 0 && source == nullptr; --i) {
          if (covers(layers[i], a, b)) source = layerRow(layers[i], a);
        }
        if (source == nullptr) source = backRun;
        if (source != nullptr) std::memcpy(row + a * 3, source, bytes);
        continue;
      }
      // Translucent: the run starts from the background (or what the screen holds) and
      // every window over it is applied bottom first, in one pass.
      const uint8_t* sources[kMaxWindows];
      int sourceCount = 0;
      for (int i = 0; i < layerCount; ++i) {
        if (covers(layers[i], a, b)) sources[sourceCount++] = layerRow(layers[i], a);
      }
      uint8_t* out = row + a * 3;
      if (sourceCount == 0) {
        if (backRun != nullptr) std::memcpy(out, backRun, bytes);
        continue;
      }
      LayerStack(out, backRun != nullptr ? backRun : out, sources, sourceCount, int(bytes));
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
