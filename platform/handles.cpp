// The handle table: one map from handle number to object.  Numbers are handed out from one
// counter and never reused, so a handle of a deleted object can never name a new one.
#include "platform/handles.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/handle_registry.h"

namespace platform {
namespace {

struct Bitmap {
  Surface surface;
  std::unique_ptr<uint8_t[]> memory;
  Handle bits = 0;
};

struct DeviceContext {
  Handle selected = 0;
};

struct Tables {
  std::mutex mutex;
  std::unordered_map<Handle, std::unique_ptr<Bitmap>> bitmaps;
  std::unordered_map<Handle, Handle> bitsToBitmap;
  std::unordered_map<Handle, DeviceContext> dcs;
};

Tables& T() {
  static Tables tables;
  return tables;
}

Bitmap* FindBitmap(Handle bitmap) {
  auto it = T().bitmaps.find(bitmap);
  return it == T().bitmaps.end() ? nullptr : it->second.get();
}

Bitmap* BitmapOfBits(Handle bits) {
  auto it = T().bitsToBitmap.find(bits);
  return it == T().bitsToBitmap.end() ? nullptr : FindBitmap(it->second);
}

}  // namespace

Handle NewHandle() {
  static std::mutex mutex;
  static Handle next = 0;
  std::lock_guard lock(mutex);
  if (next == UINT32_MAX) return 0;  // exhausted after four billion objects
  return ++next;
}

Handle CreateSurfaceBitmap(int width, int height, Handle* bitsHandle) {
  if (bitsHandle) *bitsHandle = 0;
  if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return 0;
  size_t bytes = size_t(width) * size_t(height) * 3;
  if (bytes > kMaxSurfaceBytes) return 0;
  auto bitmap = std::make_unique<Bitmap>();
  bitmap->memory.reset(new (std::nothrow) uint8_t[bytes]);
  if (!bitmap->memory) return 0;
  std::memset(bitmap->memory.get(), 0, bytes);
  bitmap->surface = Surface{width, height, bitmap->memory.get(), bytes};
  Handle handle = NewHandle();
  bitmap->bits = NewHandle();
  if (handle == 0 || bitmap->bits == 0) return 0;
  Handle bits = bitmap->bits;
  {
    std::lock_guard lock(T().mutex);
    T().bitsToBitmap.emplace(bits, handle);
    T().bitmaps.emplace(handle, std::move(bitmap));
  }
  if (bitsHandle) *bitsHandle = bits;
  return handle;
}

Surface* SurfaceOf(Handle bitmap) {
  std::lock_guard lock(T().mutex);
  Bitmap* b = FindBitmap(bitmap);
  return b ? &b->surface : nullptr;
}

Handle BitsOf(Handle bitmap) {
  std::lock_guard lock(T().mutex);
  Bitmap* b = FindBitmap(bitmap);
  return b ? b->bits : 0;
}

uint8_t* PixelsOf(Handle bits) {
  std::lock_guard lock(T().mutex);
  Bitmap* b = BitmapOfBits(bits);
  return b ? b->surface.bits : nullptr;
}

size_t PixelBytesOf(Handle bits) {
  std::lock_guard lock(T().mutex);
  Bitmap* b = BitmapOfBits(bits);
  return b ? b->surface.byteSize : 0;
}

bool DeleteBitmap(Handle bitmap) {
  std::unique_ptr<Bitmap> doomed;
  std::lock_guard lock(T().mutex);
  auto it = T().bitmaps.find(bitmap);
  if (it == T().bitmaps.end()) return false;
  doomed = std::move(it->second);
  T().bitmaps.erase(it);
  T().bitsToBitmap.erase(doomed->bits);
  for (auto& [handle, dc] : T().dcs)
    if (dc.selected == bitmap) dc.selected = 0;
  return true;
}

Handle CreateCompatibleDC(Handle /*like*/) {
  Handle handle = NewHandle();
  if (handle == 0) return 0;
  std::lock_guard lock(T().mutex);
  T().dcs.emplace(handle, DeviceContext{});
  return handle;
}

Handle SelectBitmap(Handle dc, Handle bitmap) {
  std::lock_guard lock(T().mutex);
  auto it = T().dcs.find(dc);
  if (it == T().dcs.end()) return 0;
  if (bitmap != 0 && FindBitmap(bitmap) == nullptr) return 0;
  return std::exchange(it->second.selected, bitmap);
}

Handle SelectedBitmap(Handle dc) {
  std::lock_guard lock(T().mutex);
  auto it = T().dcs.find(dc);
  return it == T().dcs.end() ? 0 : it->second.selected;
}

Surface* SurfaceOfDC(Handle dc) {
  std::lock_guard lock(T().mutex);
  auto it = T().dcs.find(dc);
  if (it == T().dcs.end()) return nullptr;
  Bitmap* b = FindBitmap(it->second.selected);
  return b ? &b->surface : nullptr;
}

bool DeleteDC(Handle dc) {
  std::lock_guard lock(T().mutex);
  return T().dcs.erase(dc) > 0;
}

bool BitBlt(Handle dstDc, int dx, int dy, int w, int h, Handle srcDc, int sx, int sy) {
  Surface* dst = SurfaceOfDC(dstDc);
  Surface* src = SurfaceOfDC(srcDc);
  if (dst == nullptr || src == nullptr) return false;
  // Clip the rectangle against both surfaces, moving both origins together.
  auto clipStart = [&](int& d, int& s, int& size) {
    int shift = std::max({0, -d, -s});
    d += shift;
    s += shift;
    size -= shift;
  };
  clipStart(dx, sx, w);
  clipStart(dy, sy, h);
  w = std::min({w, dst->width - dx, src->width - sx});
  h = std::min({h, dst->height - dy, src->height - sy});
  if (w <= 0 || h <= 0) return true;
  for (int row = 0; row < h; ++row) {
    std::memmove(dst->bits + dst->Offset(dx, dy + row), src->bits + src->Offset(sx, sy + row),
                 size_t(w) * 3);
  }
  return true;
}

size_t LiveBitmapCount() {
  std::lock_guard lock(T().mutex);
  return T().bitmaps.size();
}

size_t LiveDCCount() {
  std::lock_guard lock(T().mutex);
  return T().dcs.size();
}

}  // namespace platform
