// host_buffers.cpp — the pixel buffers of a Host context, resolved through the platform
// library's handle table.
#include <algorithm>
#include <cstddef>

#include "common/bitmap_ops.h"
#include "platform/handles.h"

namespace yk {

PixelBuffer PixelBufferFromHandle(YkHandle bits, int width, int height, int bytes) {
  uint8_t* memory = platform::PixelsOf(bits);
  if (memory == nullptr || width <= 0 || height <= 0 || bytes <= 0) return {};
  const size_t real = platform::PixelBytesOf(bits);
  PixelBuffer buffer;
  buffer.bits = memory;
  buffer.width = width;
  buffer.height = height;
  buffer.bytes = static_cast<int>(std::min<size_t>(static_cast<size_t>(bytes), real));
  return buffer;
}

PixelBuffer PartsBuffer(const HostContext& ctx) {
  return PixelBufferFromHandle(ctx.partsBits, kPartsWidth, kPartsHeight, ctx.partsBytes);
}

PixelBuffer ScreenBuffer(const HostContext& ctx) {
  return PixelBufferFromHandle(ctx.screenBits, ctx.bufferWidth, ctx.bufferHeight, ctx.bufferBytes);
}

PixelBuffer BackBuffer(const HostContext& ctx) {
  return PixelBufferFromHandle(ctx.backBits, ctx.bufferWidth, ctx.bufferHeight, ctx.bufferBytes);
}

PixelBuffer SlotBuffer(const HostContext& ctx, int slot) {
  if (slot < 0 || slot >= kMaxWindows) return {};
  return PixelBufferFromHandle(ctx.slots[slot].bits, ctx.bufferWidth, ctx.bufferHeight,
                               ctx.bufferBytes);
}

}  // namespace yk
