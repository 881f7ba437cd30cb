// handles.h — 32-bit handles for pixel memory, bitmaps and drawing contexts.
//
// The host context stores every drawing object as a 32-bit handle (0 = none), never as a
// pointer, so the host and the plugins resolve them here, in the one library both sides
// link.  A handle number is never issued twice in a process: a handle of a deleted object
// (or 0, or a number never issued) resolves to nullptr and every operation on it fails
// quietly, it never crashes.
//
// A bitmap is a 24-bit `Surface`: `width` x `height` pixels, 3 bytes per pixel in the
// order blue, green, red, rows stored bottom-up (the last picture row first) and NOT
// padded, so row r of the picture (top-down) starts at byte (height - 1 - r) * width * 3.
// Its pixel memory has a handle of its own (the `bits` fields of the host context); it is
// zero-filled (black) when created and freed together with the bitmap.
//
// A drawing context (DC) is the target of text drawing and bit-block copies: it draws into
// the bitmap selected into it.  A freshly created DC holds no bitmap.
//
// All functions are safe to call from any thread (the tables are locked), but a surface's
// pixels themselves are not: the program draws on its user-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

using Handle = uint32_t;  // 0 = none; the same type as the host context's handle fields

// Anything larger is refused before allocating (the largest screen we meet is far below).
inline constexpr int kMaxSurfaceSide = 16384;
inline constexpr size_t kMaxSurfaceBytes = size_t(256) << 20;

struct Surface {
  int width = 0;
  int height = 0;
  uint8_t* bits = nullptr;  // width * height * 3 bytes, bottom-up unpadded BGR rows
  size_t byteSize = 0;      // width * height * 3

  // Byte offset of top-down pixel (x, y); the caller checks 0 <= x < width, 0 <= y < height.
  size_t Offset(int x, int y) const {
    return (size_t(x) + size_t(width) * size_t(height - 1 - y)) * 3;
  }
  // Pointer to the blue byte of (x, y), or nullptr outside the surface.
  uint8_t* PixelAt(int x, int y) const {
    if (bits == nullptr || x < 0 || y < 0 || x >= width || y >= height) return nullptr;
    return bits + Offset(x, y);
  }
};

// Creates a zero-filled w x h bitmap.  Returns the bitmap handle (0 when w or h is not
// positive, too large, or memory is short) and stores its pixel memory handle in
// *bitsHandle when given (0 on failure).
Handle CreateSurfaceBitmap(int width, int height, Handle* bitsHandle = nullptr);

// The bitmap behind a bitmap handle; valid until DeleteBitmap.  nullptr for anything else.
Surface* SurfaceOf(Handle bitmap);

// The pixel memory handle of a bitmap (0 for anything else).
Handle BitsOf(Handle bitmap);

// The first byte of a pixel memory handle, and its size in bytes; nullptr / 0 when stale.
uint8_t* PixelsOf(Handle bits);
size_t PixelBytesOf(Handle bits);

// Deletes a bitmap and its pixel memory.  A bitmap still selected into a DC is taken out of
// it first (the DC then holds none).  False for a stale or foreign handle.
bool DeleteBitmap(Handle bitmap);

// Creates a drawing context holding no bitmap; `like` is accepted for symmetry with the
// handheld's call and ignored.  0 only when out of memory.
Handle CreateCompatibleDC(Handle like = 0);

// Selects a bitmap into a DC and returns the previously selected one (0 = none, also on
// failure).  Selecting 0 empties the DC.
Handle SelectBitmap(Handle dc, Handle bitmap);

// The bitmap selected into a DC (0 = none or stale DC) and its surface (nullptr).
Handle SelectedBitmap(Handle dc);
Surface* SurfaceOfDC(Handle dc);

// Deletes a DC; the selected bitmap lives on.  False for a stale or foreign handle.
bool DeleteDC(Handle dc);

// Plain bit-block copy of w x h pixels from (sx, sy) of the source DC's bitmap to (dx, dy)
// of the destination DC's bitmap (top-down coordinates), clipped to both bitmaps.  The two
// may be the same bitmap only when the rectangles do not overlap.  False when either DC
// holds no bitmap.
bool BitBlt(Handle dstDc, int dx, int dy, int w, int h, Handle srcDc, int sx, int sy);

// Number of live bitmaps and DCs, for leak checks in tests.
size_t LiveBitmapCount();
size_t LiveDCCount();

}  // namespace platform
