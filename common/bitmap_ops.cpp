// bitmap_ops.cpp — the pixel-buffer primitives.
//
// Every operation has the same shape: translate the rectangle into the buffers, clip it to
// the destination's columns and rows (and the source's), return when nothing is left, then
// walk the rows with a row pointer.  Within a row the byte-size bound is applied too: the
// columns whose 3 bytes would not lie wholly inside 0 .. bytes - 1 are cut off, which is
// the same as testing every pixel's byte position, hoisted out of the inner loop.
#include "common/bitmap_ops.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <numeric>

namespace yk {
namespace {

constexpr int kPixelSize = 3;

// A rectangle after clipping: `count` columns from destination column `x` (and source column
// `sx`), `rows` rows from destination row `y` (and source row `sy`).
struct Span {
  int x = 0, y = 0, sx = 0, sy = 0;
  int count = 0, rows = 0;
  bool Empty() const { return count <= 0 || rows <= 0; }
};

bool Usable(const uint8_t* bits, int width, int height, int bytes) {
  return bits != nullptr && width > 0 && height > 0 && bytes > 0;
}

uintptr_t Address(const void* p) {
  return reinterpret_cast<uintptr_t>(p);
}

// Clips [start, start + length) against [0, limit) for the destination and, when `limit2`
// is given, [start2, start2 + length) against [0, limit2) for the source, moving both
// starts by the same amount.  Returns the remaining length (may be <= 0).
int ClipAxis(int& start, int length, int limit, int* start2 = nullptr, int limit2 = 0) {
  long long lo = 0;
  long long hi = length;
  lo = std::max<long long>(lo, -static_cast<long long>(start));
  hi = std::min<long long>(hi, static_cast<long long>(limit) - start);
  if (start2 != nullptr) {
    lo = std::max<long long>(lo, -static_cast<long long>(*start2));
    hi = std::min<long long>(hi, static_cast<long long>(limit2) - *start2);
    if (hi > lo) *start2 += static_cast<int>(lo);
  }
  if (hi <= lo) return 0;
  start += static_cast<int>(lo);
  return static_cast<int>(hi - lo);
}

// Byte offset of the first pixel of top-down row `y` in a bottom-up buffer with `stride`.
ptrdiff_t RowOffset(int y, int height, ptrdiff_t stride) {
  return static_cast<ptrdiff_t>(height - 1 - y) * stride;
}

// How many of `count` pixels starting at byte `offset` lie wholly inside 0 .. bytes - 1.
int PixelsInside(ptrdiff_t offset, int count, int bytes) {
  if (offset < 0) return 0;  // rows are walked from column start; a negative start means none
  const ptrdiff_t room = (static_cast<ptrdiff_t>(bytes) - offset) / kPixelSize;
  if (room <= 0) return 0;
  return static_cast<int>(std::min<ptrdiff_t>(count, room));
}

// Walks the clipped rectangle of one buffer, calling op(rowPointer, pixelCount).
template <typename Op>
void ForEachRow(PixelBuffer dst, int x, int y, int w, int h, Op op) {
  if (!Usable(dst.bits, dst.width, dst.height, dst.bytes)) return;
  const int count = ClipAxis(x, w, dst.width);
  const int rows = ClipAxis(y, h, dst.height);
  if (count <= 0 || rows <= 0) return;
  const ptrdiff_t stride = static_cast<ptrdiff_t>(dst.width) * kPixelSize;
  for (int row = y; row < y + rows; ++row) {
    const ptrdiff_t offset = RowOffset(row, dst.height, stride) + ptrdiff_t{x} * kPixelSize;
    const int n = PixelsInside(offset, count, dst.bytes);
    if (n > 0) op(dst.bits + offset, n);
  }
}

// Walks the clipped rectangle of a destination and a source, calling
// op(dstRow, srcRow, pixelCount).  When both are the same memory, rows and pixels are
// visited in an order that never reads a pixel already overwritten.
template <typename Op>
void ForEachRowPair(PixelBuffer dst, int x, int y, int w, int h, ConstPixelBuffer src, int sx,
                    int sy, Op op) {
  if (!Usable(dst.bits, dst.width, dst.height, dst.bytes)) return;
  if (!Usable(src.bits, src.width, src.height, src.bytes)) return;
  Span s;
  s.x = x;
  s.y = y;
  s.sx = sx;
  s.sy = sy;
  s.count = ClipAxis(s.x, w, dst.width, &s.sx, src.width);
  s.rows = ClipAxis(s.y, h, dst.height, &s.sy, src.height);
  if (s.Empty()) return;

  const ptrdiff_t dstStride = static_cast<ptrdiff_t>(dst.width) * kPixelSize;
  const ptrdiff_t srcStride = static_cast<ptrdiff_t>(src.width) * kPixelSize;
  auto visit = [&](int i) {
    const ptrdiff_t dOff = RowOffset(s.y + i, dst.height, dstStride) + ptrdiff_t{s.x} * kPixelSize;
    const ptrdiff_t sOff =
        RowOffset(s.sy + i, src.height, srcStride) + ptrdiff_t{s.sx} * kPixelSize;
    const int n =
        std::min(PixelsInside(dOff, s.count, dst.bytes), PixelsInside(sOff, s.count, src.bytes));
    if (n > 0) op(dst.bits + dOff, src.bits + sOff, n);
  };
  // Top-down row i + 1 lies below row i in memory.  When the two are the same memory and
  // the destination starts below the source, walking the rows bottom to top reads every
  // source row before it is written (as memmove does); otherwise top to bottom.
  const auto dstStart = Address(dst.bits) + RowOffset(s.y, dst.height, dstStride);
  const auto srcStart = Address(src.bits) + RowOffset(s.sy, src.height, srcStride);
  if (Address(dst.bits) == Address(src.bits) && dstStart < srcStart) {
    for (int i = s.rows - 1; i >= 0; --i) visit(i);
  } else {
    for (int i = 0; i < s.rows; ++i) visit(i);
  }
}

// The inner loop when the two rows do not overlap: the compiler may then vectorise it.
template <typename F>
void PerByteDisjoint(uint8_t* __restrict d, const uint8_t* __restrict s, int n, F f) {
  for (int i = 0; i < n; ++i) d[i] = f(d[i], s[i]);
}

// Applies a per-byte function to a row pair; walks right to left when the destination
// overlaps the source further right, so every source byte is read before it is written.
template <typename F>
void PerByte(uint8_t* d, const uint8_t* s, int pixels, F f) {
  const int n = pixels * kPixelSize;
  const bool overlapping = Address(d) < Address(s + n) && Address(s) < Address(d + n);
  if (!overlapping) {
    PerByteDisjoint(d, s, n, f);
  } else if (Address(d) > Address(s)) {
    for (int i = n - 1; i >= 0; --i) d[i] = f(d[i], s[i]);
  } else {
    for (int i = 0; i < n; ++i) d[i] = f(d[i], s[i]);
  }
}

template <typename F>
void BlendBytes(PixelBuffer dst, int x, int y, int w, int h, ConstPixelBuffer src, int sx, int sy,
                F f) {
  ForEachRowPair(dst, x, y, w, h, src, sx, sy,
                 [f](uint8_t* d, const uint8_t* s, int n) { PerByte(d, s, n, f); });
}

using Byte = uint8_t;

}  // namespace

void FillWhite(PixelBuffer dst, int x, int y, int w, int h) {
  ForEachRow(dst, x, y, w, h, [](uint8_t* row, int n) { std::memset(row, 255, n * kPixelSize); });
}

void FillBlack(PixelBuffer dst, int x, int y, int w, int h) {
  ForEachRow(dst, x, y, w, h, [](uint8_t* row, int n) { std::memset(row, 0, n * kPixelSize); });
}

void Invert(PixelBuffer dst, int x, int y, int w, int h) {
  ForEachRow(dst, x, y, w, h, [](uint8_t* row, int n) {
    for (int i = 0; i < n * kPixelSize; ++i) row[i] = static_cast<uint8_t>(255 - row[i]);
  });
}

void Lighten(PixelBuffer dst, int x, int y, int w, int h) {
  ForEachRow(dst, x, y, w, h, [](uint8_t* row, int n) {
    // b * 15 / 100 + 216 never exceeds 254 for a byte, so the min(255, ...) is implicit.
    for (int i = 0; i < n * kPixelSize; ++i) row[i] = static_cast<uint8_t>(row[i] * 15 / 100 + 216);
  });
}

void CopyRop(PixelBuffer dst, int x, int y, int w, int h, ConstPixelBuffer src, int sx, int sy,
             uint32_t rop) {
  switch (rop) {
    case kSrcCopy:
      ForEachRowPair(dst, x, y, w, h, src, sx, sy, [](uint8_t* d, const uint8_t* s, int n) {
        std::memmove(d, s, static_cast<size_t>(n) * kPixelSize);
      });
      return;
    case kNotSrcCopy:
      BlendBytes(dst, x, y, w, h, src, sx, sy, [](Byte, Byte s) { return Byte(255 - s); });
      return;
    case kSrcAnd:
      BlendBytes(dst, x, y, w, h, src, sx, sy, [](Byte d, Byte s) { return Byte(d & s); });
      return;
    case kSrcPaint:
      BlendBytes(dst, x, y, w, h, src, sx, sy, [](Byte d, Byte s) { return Byte(d | s); });
      return;
    default:
      return;  // unknown raster operations draw nothing
  }
}

void Blend(PixelBuffer dst, int x, int y, int w, int h, ConstPixelBuffer src, int sx, int sy,
           int mode) {
  switch (mode) {
    case kBlendLighter:
      BlendBytes(dst, x, y, w, h, src, sx, sy, [](Byte d, Byte s) { return std::max(d, s); });
      return;
    case kBlendDarker:
      BlendBytes(dst, x, y, w, h, src, sx, sy, [](Byte d, Byte s) { return std::min(d, s); });
      return;
    case kBlendAnd:
      BlendBytes(dst, x, y, w, h, src, sx, sy, [](Byte d, Byte s) { return Byte(d & s); });
      return;
    case kBlendOr:
      BlendBytes(dst, x, y, w, h, src, sx, sy, [](Byte d, Byte s) { return Byte(d | s); });
      return;
    case kBlendAdd:
      BlendBytes(dst, x, y, w, h, src, sx, sy,
                 [](Byte d, Byte s) { return Byte(std::min(255, d + s)); });
      return;
    case kBlendSubtract:
      BlendBytes(dst, x, y, w, h, src, sx, sy,
                 [](Byte d, Byte s) { return Byte(std::max(0, d - s)); });
      return;
    case kBlendMultiply:
      BlendBytes(dst, x, y, w, h, src, sx, sy, [](Byte d, Byte s) { return Byte(d * s / 255); });
      return;
    case kBlendDodge:
      BlendBytes(dst, x, y, w, h, src, sx, sy,
                 [](Byte d, Byte s) { return Byte(std::min(255, d + d * s / 255)); });
      return;
    case kBlendBurn:
      BlendBytes(dst, x, y, w, h, src, sx, sy,
                 [](Byte d, Byte s) { return Byte(std::max(0, d - d * s / 255)); });
      return;
    case kBlendTransparent:
      ForEachRowPair(dst, x, y, w, h, src, sx, sy, [](uint8_t* d, const uint8_t* s, int n) {
        auto one = [&](int i) {
          const uint8_t* sp = s + i * kPixelSize;
          if (sp[0] == 255 && sp[1] == 255 && sp[2] == 255) return;
          uint8_t* dp = d + i * kPixelSize;
          dp[0] = sp[0];
          dp[1] = sp[1];
          dp[2] = sp[2];
        };
        if (Address(d) > Address(s) && Address(d) < Address(s + n * kPixelSize)) {
          for (int i = n - 1; i >= 0; --i) one(i);
        } else {
          for (int i = 0; i < n; ++i) one(i);
        }
      });
      return;
    case kBlendInverseScreen:
      BlendBytes(dst, x, y, w, h, src, sx, sy,
                 [](Byte d, Byte s) { return Byte(d + (255 - s) * (255 - d) / 255); });
      return;
    case kBlendScreen:
      BlendBytes(dst, x, y, w, h, src, sx, sy,
                 [](Byte d, Byte s) { return Byte(d + s * (255 - d) / 255); });
      return;
    default:
      return;  // unknown modes draw nothing
  }
}

namespace {

// The sampling plan of one axis: destination index j reads the source indices
// (j * sub + k) / per for k = 0, step, 2 * step, ... below sub.
struct AxisPlan {
  long long sub = 1;  // sub-units per destination unit: source length / gcd
  long long per = 1;  // sub-units per source unit: destination length / gcd
  long long step = 1;

  AxisPlan(int sourceLength, int destLength) {
    const int g = std::gcd(sourceLength, destLength);
    sub = sourceLength / g;
    per = destLength / g;
    step = sub > 8 ? 3 : sub > 4 ? 2 : 1;
  }
  long long First(int j) const { return (j * sub) / per; }
  long long Last(int j) const {
    const long long lastK = (sub - 1) / step * step;
    return (j * sub + lastK) / per;
  }
  long long Samples() const { return (sub - 1) / step + 1; }
};

}  // namespace

void Reduce(PixelBuffer dst, int dx, int dy, int dw, int dh, ConstPixelBuffer src, int sx, int sy,
            int sw, int sh) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || sw < dw || sh < dh) return;
  if (!Usable(dst.bits, dst.width, dst.height, dst.bytes)) return;
  if (!Usable(src.bits, src.width, src.height, src.bytes)) return;

  const AxisPlan cols(sw, dw);
  const AxisPlan rows(sh, dh);
  const long long samples = cols.Samples() * rows.Samples();
  const ptrdiff_t dstStride = static_cast<ptrdiff_t>(dst.width) * kPixelSize;
  // The source is read with rows padded to whole 4-byte words.
  const ptrdiff_t srcStride = (static_cast<ptrdiff_t>(src.width) * kPixelSize + 3) / 4 * 4;

  // Clip the destination rectangle; j and i stay relative to it for the sampling.
  int x0 = dx;
  const int count = ClipAxis(x0, dw, dst.width);
  int y0 = dy;
  const int rowCount = ClipAxis(y0, dh, dst.height);
  if (count <= 0 || rowCount <= 0) return;

  for (int i = y0 - dy; i < y0 - dy + rowCount; ++i) {
    const long long firstRow = sy + rows.First(i);
    const long long lastRow = sy + rows.Last(i);
    if (firstRow < 0 || lastRow >= src.height) continue;  // box not wholly in the source
    const ptrdiff_t dRow = RowOffset(dy + i, dst.height, dstStride);
    for (int j = x0 - dx; j < x0 - dx + count; ++j) {
      const long long firstCol = sx + cols.First(j);
      const long long lastCol = sx + cols.Last(j);
      if (firstCol < 0 || lastCol >= src.width) continue;
      const ptrdiff_t dOff = dRow + ptrdiff_t{dx + j} * kPixelSize;
      if (PixelsInside(dOff, 1, dst.bytes) == 0) continue;

      unsigned long long sum[kPixelSize] = {0, 0, 0};
      bool inside = true;
      for (long long k = 0; k < rows.sub && inside; k += rows.step) {
        const long long r = sy + (i * rows.sub + k) / rows.per;
        const ptrdiff_t sRow = RowOffset(static_cast<int>(r), src.height, srcStride);
        for (long long l = 0; l < cols.sub; l += cols.step) {
          const long long c = sx + (j * cols.sub + l) / cols.per;
          const ptrdiff_t sOff = sRow + static_cast<ptrdiff_t>(c) * kPixelSize;
          if (PixelsInside(sOff, 1, src.bytes) == 0) {
            inside = false;
            break;
          }
          sum[0] += src.bits[sOff];
          sum[1] += src.bits[sOff + 1];
          sum[2] += src.bits[sOff + 2];
        }
      }
      if (!inside) continue;
      for (int b = 0; b < kPixelSize; ++b) {
        dst.bits[dOff + b] =
            static_cast<uint8_t>(sum[b] / static_cast<unsigned long long>(samples));
      }
    }
  }
}

}  // namespace yk
