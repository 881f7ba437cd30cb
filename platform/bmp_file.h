// bmp_file.h — reading and writing Windows bitmap files (.bmp, the theme and .dat files).
//
// Read: BITMAPINFOHEADER (40 bytes) or a later version of it, bottom-up or top-down rows,
// 24-bit and 32-bit (BI_RGB or BI_BITFIELDS with the usual masks) and 1, 4, 8-bit
// palettes, uncompressed.  Anything else — compressed data, an unknown header, a file
// shorter than its header claims, a palette index past the palette, a picture larger than
// kMaxSurfaceSide or kMaxSurfaceBytes — is refused before any pixel memory is allocated.
// Rows of a BMP file are padded to 4 bytes; the decoded picture is the program's surface
// layout (bottom-up, unpadded, blue-green-red).
//
// Write: always 24-bit BI_RGB, bottom-up, rows padded to 4 bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "platform/handles.h"

namespace platform {

struct DecodedBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height * 3, bottom-up unpadded BGR
};

// Decodes a whole file image; std::nullopt when it is not a bitmap this reader accepts.
std::optional<DecodedBitmap> DecodeBmp(std::span<const uint8_t> file);

// Encodes a picture in the surface layout as a 24-bit BMP file image.
std::vector<uint8_t> EncodeBmp24(int width, int height, const uint8_t* bottomUpBgr);

// Loads a bitmap file into a new bitmap (see handles.h).  Returns its handle, or 0 when the
// file is missing, unreadable or refused; *bitsHandle receives the pixel memory handle.
Handle LoadBmpFile(const std::filesystem::path& path, Handle* bitsHandle = nullptr);

// Writes a surface as a 24-bit BMP file (replacing it).  False on any error; a failed
// write leaves no partial file under `path`.
[[nodiscard]] bool SaveBmpFile(const std::filesystem::path& path, const Surface& surface);

}  // namespace platform
