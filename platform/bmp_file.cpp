// Windows bitmap files.  Layout: a 14-byte file header ("BM", size, reserved, pixel data
// offset), an info header whose first field is its own size (40 for BITMAPINFOHEADER,
// 52/56/108/124 for its later versions, which only add fields), an optional palette of
// 4-byte entries (blue, green, red, unused), then the rows, each padded to 4 bytes,
// bottom-up when the height is positive and top-down when it is negative.
#include "platform/bmp_file.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace platform {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

uint16_t U16(const uint8_t* p) {
  return uint16_t(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// The byte position of a channel inside a 32-bit pixel for a BI_BITFIELDS mask that
// selects exactly one whole byte; -1 for any other mask.
int ByteOfMask(uint32_t mask) {
  for (int i = 0; i < 4; ++i)
    if (mask == (0xFFu << (8 * i))) return i;
  return -1;
}

}  // namespace

std::optional<DecodedBitmap> DecodeBmp(std::span<const uint8_t> file) {
  if (file.size() < kFileHeaderBytes + kInfoHeaderBytes) return std::nullopt;
  const uint8_t* p = file.data();
  if (p[0] != 'B' || p[1] != 'M') return std::nullopt;
  uint32_t dataOffset = U32(p + 10);
  const uint8_t* info = p + kFileHeaderBytes;
  uint32_t infoSize = U32(info);
  if (infoSize < kInfoHeaderBytes || infoSize > file.size() - kFileHeaderBytes) return std::nullopt;
  int32_t width = int32_t(U32(info + 4));
  int32_t rawHeight = int32_t(U32(info + 8));
  uint16_t planes = U16(info + 12);
  uint16_t bitCount = U16(info + 14);
  uint32_t compression = U32(info + 16);
  uint32_t paletteUsed = U32(info + 32);

  if (planes != 1 || width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return std::nullopt;
  bool topDown = rawHeight < 0;
  int64_t height = topDown ? -int64_t(rawHeight) : rawHeight;
  if (width > kMaxSurfaceSide || height > kMaxSurfaceSide) return std::nullopt;
  if (size_t(width) * size_t(height) * 3 > kMaxSurfaceBytes) return std::nullopt;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
    return std::nullopt;

  // Channel positions of 32-bit pixels: blue, green, red in bytes 0, 1, 2 unless masks say
  // otherwise.  The masks follow a 40-byte header, or lie inside a longer one.
  int blueAt = 0, greenAt = 1, redAt = 2;
  size_t paletteAt = kFileHeaderBytes + infoSize;
  if (compression == kBiBitfields) {
    if (bitCount != 32) return std::nullopt;
    size_t masksAt = kFileHeaderBytes + kInfoHeaderBytes;
    if (masksAt + 12 > file.size()) return std::nullopt;
    redAt = ByteOfMask(U32(p + masksAt));
    greenAt = ByteOfMask(U32(p + masksAt + 4));
    blueAt = ByteOfMask(U32(p + masksAt + 8));
    if (redAt < 0 || greenAt < 0 || blueAt < 0) return std::nullopt;
    if (infoSize == kInfoHeaderBytes) paletteAt += 12;
  } else if (compression != kBiRgb) {
    return std::nullopt;  // run-length and embedded JPEG/PNG pictures are not read
  }

  // Palette.
  std::vector<uint8_t> palette;  // 4 bytes per entry
  if (bitCount <= 8) {
    uint32_t maxEntries = 1u << bitCount;
    uint32_t entries = paletteUsed == 0 ? maxEntries : paletteUsed;
    if (entries > maxEntries) return std::nullopt;
    if (paletteAt > file.size() || (file.size() - paletteAt) / 4 < entries) return std::nullopt;
    palette.assign(p + paletteAt, p + paletteAt + size_t(entries) * 4);
  }

  size_t stride = (size_t(width) * bitCount + 31) / 32 * 4;
  if (dataOffset > file.size() || (file.size() - dataOffset) / stride < size_t(height))
    return std::nullopt;

  DecodedBitmap out;
  out.width = width;
  out.height = int(height);
  out.pixels.resize(size_t(width) * size_t(height) * 3);
  size_t paletteEntries = palette.size() / 4;
  for (int64_t fileRow = 0; fileRow < height; ++fileRow) {
    const uint8_t* src = p + dataOffset + size_t(fileRow) * stride;
    // Our rows are bottom-up: stored row 0 is the bottom picture row.
    int64_t storedRow = topDown ? height - 1 - fileRow : fileRow;
    uint8_t* dst = out.pixels.data() + size_t(storedRow) * size_t(width) * 3;
    for (int x = 0; x < width; ++x, dst += 3) {
      if (bitCount == 24) {
        std::memcpy(dst, src + size_t(x) * 3, 3);
      } else if (bitCount == 32) {
        const uint8_t* px = src + size_t(x) * 4;
        dst[0] = px[blueAt];
        dst[1] = px[greenAt];
        dst[2] = px[redAt];
      } else {
        size_t bit = size_t(x) * bitCount;
        unsigned index = (src[bit / 8] >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
        if (index >= paletteEntries) return std::nullopt;
        std::memcpy(dst, palette.data() + size_t(index) * 4, 3);
      }
    }
  }
  return out;
}

std::vector<uint8_t> EncodeBmp24(int width, int height, const uint8_t* bottomUpBgr) {
  std::vector<uint8_t> out;
  if (width <= 0 || height <= 0 || bottomUpBgr == nullptr) return out;
  size_t rowBytes = size_t(width) * 3;
  size_t stride = (rowBytes + 3) / 4 * 4;
  size_t imageBytes = stride * size_t(height);
  out.reserve(kFileHeaderBytes + kInfoHeaderBytes + imageBytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, uint32_t(kFileHeaderBytes + kInfoHeaderBytes + imageBytes));
  Put32(out, 0);
  Put32(out, uint32_t(kFileHeaderBytes + kInfoHeaderBytes));
  Put32(out, uint32_t(kInfoHeaderBytes));
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, kBiRgb);
  Put32(out, uint32_t(imageBytes));
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int row = 0; row < height; ++row) {
    const uint8_t* src = bottomUpBgr + size_t(row) * rowBytes;
    out.insert(out.end(), src, src + rowBytes);
    out.insert(out.end(), stride - rowBytes, 0);
  }
  return out;
}

Handle LoadBmpFile(const std::filesystem::path& path, Handle* bitsHandle) {
  if (bitsHandle) *bitsHandle = 0;
  std::error_code error;
  auto size = std::filesystem::file_size(path, error);
  // The largest acceptable file: the largest picture at 32 bits plus headers.
  if (error || size > kMaxSurfaceBytes / 3 * 4 + 4096) return 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return 0;
  std::vector<uint8_t> bytes(size);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) return 0;
  auto decoded = DecodeBmp(bytes);
  if (!decoded) return 0;
  Handle bits = 0;
  Handle bitmap = CreateSurfaceBitmap(decoded->width, decoded->height, &bits);
  if (bitmap == 0) return 0;
  std::memcpy(PixelsOf(bits), decoded->pixels.data(), decoded->pixels.size());
  if (bitsHandle) *bitsHandle = bits;
  return bitmap;
}

bool SaveBmpFile(const std::filesystem::path& path, const Surface& surface) {
  if (surface.bits == nullptr || surface.byteSize < size_t(surface.width) * surface.height * 3)
    return false;
  std::vector<uint8_t> bytes = EncodeBmp24(surface.width, surface.height, surface.bits);
  if (bytes.empty()) return false;
  // Written beside the target and renamed over it, so a failed write leaves no half file.
  std::filesystem::path temporary = path;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temporary.c_str());
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace platform
