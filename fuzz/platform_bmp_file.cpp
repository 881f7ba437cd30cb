// Bitmap files from outside (themes, the data file, the icon picture): the reader must
// refuse or decode any byte sequence without reading past it.
#include <cstddef>
#include <cstdint>

#include "platform/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto decoded = platform::DecodeBmp({data, size});
  if (decoded) {
    // A decoded picture is whole: its pixels are exactly width x height x 3 bytes.
    if (decoded->pixels.size() != size_t(decoded->width) * size_t(decoded->height) * 3)
      __builtin_trap();
    auto again = platform::EncodeBmp24(decoded->width, decoded->height, decoded->pixels.data());
    auto round = platform::DecodeBmp(again);
    if (!round || round->pixels != decoded->pixels) __builtin_trap();
  }
  return 0;
}
