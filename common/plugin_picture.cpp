#include "common/plugin_picture.h"

#include "platform/bmp_file.h"
#include "platform/handles.h"

namespace yk {

bool PluginPicture::Load(const std::filesystem::path& file, int copyWidth, int copyHeight) {
  const platform::Handle loaded = platform::LoadBmpFile(file);
  if (loaded == 0) return false;
  bool ok = false;
  if (const platform::Surface* source = platform::SurfaceOf(loaded)) {
    pixels_.assign(std::size_t(width_) * std::size_t(height_) * 3, 255);
    CopyRop(buffer(), 0, 0, copyWidth, copyHeight,
            ConstPixelBuffer(source->bits, source->width, source->height, int(source->byteSize)), 0,
            0, kSrcCopy);
    ok = true;
  }
  platform::DeleteBitmap(loaded);
  return ok;
}

}  // namespace yk
