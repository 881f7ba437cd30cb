// bitmap_ops.h — the drawing primitives every deliverable carries.
//
// A pixel buffer is 24-bit: three bytes per pixel in the order blue, green, red; rows
// are stored bottom-up (the last row of the picture first) and are not padded, so a row
// is exactly width * 3 bytes.  Every buffer of the system has a width that is a multiple
// of 4, so an unpadded row is also a whole number of 4-byte words.  Coordinates handed to
// the primitives are top-down: pixel (x, y) lies at byte (x + width * (height - 1 - y)) * 3.
// `bytes` is the buffer's byte size as the owner knows it.
//
// Every primitive draws only the pixels that lie inside the buffer's columns and rows
// (and inside the source's, for those that read one) AND whose byte position lies in
// 0 .. bytes - 1.  A rectangle that reaches past an edge therefore draws only its inside
// part; it never wraps onto a neighbouring row.  Nothing is allocated, nothing is reported:
// an empty or wholly outside rectangle simply draws nothing.
//
// A buffer with a null `bits` pointer or a non-positive size draws nothing.
#ifndef YOMITOKI_COMMON_BITMAP_OPS_H
#define YOMITOKI_COMMON_BITMAP_OPS_H

#include <cstdint>
#include <string_view>

#include "common/plugin_interface.h"

namespace yk {

// A writable pixel buffer as described at the head of this file.
struct PixelBuffer {
  uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int bytes = 0;  // byte size of `bits`; normally width * height * 3
};

// A read-only pixel buffer (the source of a copy).  Any PixelBuffer converts to it.
struct ConstPixelBuffer {
  const uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int bytes = 0;

  ConstPixelBuffer() = default;
  ConstPixelBuffer(const uint8_t* b, int w, int h, int n)
      : bits(b), width(w), height(h), bytes(n) {}
  ConstPixelBuffer(PixelBuffer p)  // NOLINT(google-explicit-constructor): a view of the same bytes
      : bits(p.bits), width(p.width), height(p.height), bytes(p.bytes) {}
};

// The parts sheet (current theme) held by the host.
inline constexpr int kPartsWidth = 240;
inline constexpr int kPartsHeight = 400;
inline constexpr int kPartsBytes = kPartsWidth * kPartsHeight * 3;

// Raster-operation codes understood by CopyRop (the values the platform's bit-block copy
// uses).  Any other code draws nothing.
inline constexpr uint32_t kSrcCopy = 0xCC0020;     // copy
inline constexpr uint32_t kNotSrcCopy = 0x330008;  // copy inverted
inline constexpr uint32_t kSrcAnd = 0x8800C6;      // destination AND source
inline constexpr uint32_t kSrcPaint = 0xEE0086;    // destination OR source

// Blend modes of Blend (d destination byte, s source byte, per byte, "/" truncating).
// Any other number draws nothing.
enum BlendMode : int {
  kBlendLighter = 0,         // max(d, s)
  kBlendDarker = 1,          // min(d, s)
  kBlendAnd = 2,             // d AND s
  kBlendOr = 3,              // d OR s
  kBlendAdd = 4,             // min(255, d + s)
  kBlendSubtract = 5,        // max(0, d - s)
  kBlendMultiply = 6,        // d * s / 255
  kBlendDodge = 7,           // min(255, d + d * s / 255)
  kBlendBurn = 8,            // max(0, d - d * s / 255)
  kBlendTransparent = 9,     // s, except that pure white source pixels leave d untouched
  kBlendInverseScreen = 10,  // d + (255 - s) * (255 - d) / 255
  kBlendScreen = 11,         // d + s * (255 - d) / 255
};
inline constexpr int kBlendModeCount = 12;

// Fills: every byte of the rectangle's pixels becomes 255 / 0.
void FillWhite(PixelBuffer dst, int x, int y, int w, int h);
void FillBlack(PixelBuffer dst, int x, int y, int w, int h);
// Every byte b becomes 255 - b.
void Invert(PixelBuffer dst, int x, int y, int w, int h);
// Every byte b becomes min(255, b * 15 / 100 + 216): a pale copy of what was there.
void Lighten(PixelBuffer dst, int x, int y, int w, int h);

// Copies src's rectangle at (sx, sy) onto dst's rectangle (x, y) w x h with one of the
// four raster operations above.  dst and src may be the same buffer, even with overlapping
// rectangles: every pixel is computed from the source as it was before the call.
void CopyRop(PixelBuffer dst, int x, int y, int w, int h, ConstPixelBuffer src, int sx, int sy,
             uint32_t rop);

// Blends src's rectangle at (sx, sy) onto dst's rectangle (x, y) w x h with mode 0..11.
// Overlapping rectangles of one buffer are handled as in CopyRop.
void Blend(PixelBuffer dst, int x, int y, int w, int h, ConstPixelBuffer src, int sx, int sy,
           int mode);

// Box-filter reduction of src's rectangle (sx, sy) sw x sh into dst's rectangle
// (dx, dy) dw x dh.  Draws only when sw >= dw, sh >= dh and all four are positive.
// The source rows are read with a stride padded to 4 bytes ((width * 3 + 3) / 4 * 4),
// bottom-up.  With g = gcd(sw, dw), destination column j samples the source columns
// (j * (sw / g) + k) / (dw / g) for k = 0, t, 2t, ... below sw / g, where the step t is
// 1, or 2 when sw / g > 4, or 3 when sw / g > 8; rows likewise.  Each destination byte
// is the truncated average of its samples, so reducing 225 x 90 to 150 x 60 averages
// source columns 0, 0, 1 (and rows 0, 0, 1) for destination pixel (0, 0).  A destination
// pixel whose samples are not all inside the source is left as it is.  The two rectangles
// must not overlap.
void Reduce(PixelBuffer dst, int dx, int dy, int dw, int dh, ConstPixelBuffer src, int sx, int sy,
            int sw, int sh);

// ---- Text -------------------------------------------------------------------------------

// A colour as the platform stores it: 0x00BBGGRR (red in the low byte).
inline constexpr uint32_t kTextBlack = 0x000000;

enum class TextDirection { kHorizontal, kVertical };

// Draws `text` through the drawing context `dc` (a platform handle, e.g. a slot's `dc` or
// the Host context's `partsDC`): font face `face` at pixel height `height`, normal weight,
// transparent background, colour `colour` (0x00BBGGRR).  The rectangle is normalised first (left <=
// right, top <= bottom).  Horizontal text wraps at word boundaries when `wordWrap` is true and is
// clipped to the rectangle; vertical text is turned a quarter turn clockwise (escapement
// 2700), starts at the rectangle's top-left corner and is clipped to it.
// Returns false when `dc` does not name a drawing context.
[[nodiscard]] bool DrawText(YkHandle dc, std::u16string_view text, int left, int top, int right,
                            int bottom, std::u16string_view face, int height, uint32_t colour,
                            bool wordWrap, TextDirection direction = TextDirection::kHorizontal);

// ---- Buffers of the Host context -------------------------------------------------------------

// Resolves a pixel-memory handle issued by the platform library into a PixelBuffer of the
// given size.  An unknown handle gives an empty buffer (bits == nullptr), which every
// primitive treats as nothing to draw on.  The byte size is the smaller of `bytes` and the
// memory really behind the handle, so a wrong size in a shared record never lets a
// primitive write past the allocation.
PixelBuffer PixelBufferFromHandle(YkHandle bits, int width, int height, int bytes);

// The shared buffers of a Host context: the parts sheet (240 x 400, `partsBytes`), the
// composition buffer and the background (bufferWidth x bufferHeight, `bufferBytes`), and
// the window buffer of slot `slot` (0..4; any other index gives an empty buffer).
PixelBuffer PartsBuffer(const HostContext& ctx);
PixelBuffer ScreenBuffer(const HostContext& ctx);
PixelBuffer BackBuffer(const HostContext& ctx);
PixelBuffer SlotBuffer(const HostContext& ctx, int slot);

}  // namespace yk

#endif  // YOMITOKI_COMMON_BITMAP_OPS_H
