#include "platform/bmp_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/testing/temp_folder.h"

namespace platform {
namespace {

void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

// Builds a BMP file image.  `rows` holds each stored row's bytes unpadded, in file order.
std::vector<uint8_t> MakeBmp(int width, int height, int bits, const std::vector<uint8_t>& palette,
                             const std::vector<std::vector<uint8_t>>& rows,
                             uint32_t compression = 0) {
  size_t stride = (size_t(width) * bits + 31) / 32 * 4;
  size_t offset = 14 + 40 + palette.size();
  std::vector<uint8_t> v(offset + stride * rows.size(), 0);
  v[0] = 'B';
  v[1] = 'M';
  Put32(v, 2, uint32_t(v.size()));
  Put32(v, 10, uint32_t(offset));
  Put32(v, 14, 40);
  Put32(v, 18, uint32_t(width));
  Put32(v, 22, uint32_t(height));
  Put16(v, 26, 1);
  Put16(v, 28, uint16_t(bits));
  Put32(v, 30, compression);
  Put32(v, 46, uint32_t(palette.size() / 4));
  if (!palette.empty()) std::memcpy(v.data() + 54, palette.data(), palette.size());
  for (size_t r = 0; r < rows.size(); ++r)
    std::memcpy(v.data() + offset + r * stride, rows[r].data(), rows[r].size());
  return v;
}

// The decoded pixel (x, y) top-down as 0xRRGGBB.
uint32_t Pixel(const DecodedBitmap& b, int x, int y) {
  const uint8_t* p = b.pixels.data() + (size_t(x) + size_t(b.width) * (b.height - 1 - y)) * 3;
  return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// A 4-entry palette: black, red, green, blue (entries are blue, green, red, 0).
const std::vector<uint8_t> kPalette = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};

TEST(BmpFile, DecodesEveryDepth) {
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    std::vector<uint32_t> topDownPixels;  // 3 x 2 picture
  } cases[] = {
      {"24-bit, bottom-up, padded rows",
       MakeBmp(3, 2, 24, {}, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}}),
       {0x0C0B0A, 0x0F0E0D, 0x121110, 0x030201, 0x060504, 0x090807}},
      {"32-bit",
       MakeBmp(3, 2, 32, {},
               {{1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99},
                {10, 11, 12, 0, 13, 14, 15, 0, 16, 17, 18, 0}}),
       {0x0C0B0A, 0x0F0E0D, 0x121110, 0x030201, 0x060504, 0x090807}},
      {"8-bit palette",
       MakeBmp(3, 2, 8, kPalette, {{0, 1, 2}, {3, 2, 1}}),
       {0x0000FF, 0x00FF00, 0xFF0000, 0x000000, 0xFF0000, 0x00FF00}},
      {"4-bit palette, high nibble first",
       MakeBmp(3, 2, 4, kPalette, {{0x01, 0x20}, {0x32, 0x10}}),
       {0x0000FF, 0x00FF00, 0xFF0000, 0x000000, 0xFF0000, 0x00FF00}},
      {"1-bit palette, high bit first",
       MakeBmp(3, 2, 1, {0, 0, 0, 0, 255, 255, 255, 0}, {{0b01000000}, {0b10100000}}),
       {0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000}},
  };
  for (const auto& c : cases) {
    auto decoded = DecodeBmp(c.file);
    ASSERT_TRUE(decoded) << c.name;
    EXPECT_EQ(decoded->width, 3) << c.name;
    EXPECT_EQ(decoded->height, 2) << c.name;
    ASSERT_EQ(decoded->pixels.size(), 18u) << c.name;
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(Pixel(*decoded, i % 3, i / 3), c.topDownPixels[size_t(i)])
          << c.name << " pixel " << i;
  }
}

TEST(BmpFile, TopDownFileIsStoredBottomUp) {
  auto file = MakeBmp(1, 2, 24, {}, {{1, 1, 1}, {2, 2, 2}});
  Put32(file, 22, uint32_t(-2));  // negative height: the first row in the file is the top
  auto decoded = DecodeBmp(file);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(Pixel(*decoded, 0, 0), 0x010101u);
  EXPECT_EQ(Pixel(*decoded, 0, 1), 0x020202u);
}

TEST(BmpFile, RefusesBrokenAndHostileFiles) {
  const auto good =
      MakeBmp(4, 4, 24, {}, std::vector<std::vector<uint8_t>>(4, std::vector<uint8_t>(12, 7)));
  ASSERT_TRUE(DecodeBmp(good));
  auto with = [&](auto change) {
    auto v = good;
    change(v);
    return v;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
  } cases[] = {
      {"empty", {}},
      {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 54)},
      {"one byte short of the pixels", std::vector<uint8_t>(good.begin(), good.end() - 1)},
      {"wrong magic", with([](auto& v) { v[0] = 'X'; })},
      {"huge width", with([](auto& v) { Put32(v, 18, 0x7FFFFFFF); })},
      {"width times height past the limit", with([](auto& v) {
         Put32(v, 18, kMaxSurfaceSide);
         Put32(v, 22, kMaxSurfaceSide);
       })},
      {"zero width", with([](auto& v) { Put32(v, 18, 0); })},
      {"negative width", with([](auto& v) { Put32(v, 18, uint32_t(-4)); })},
      {"zero height", with([](auto& v) { Put32(v, 22, 0); })},
      {"most negative height", with([](auto& v) { Put32(v, 22, 0x80000000u); })},
      {"pixel data offset past the end", with([](auto& v) { Put32(v, 10, 0xFFFFFFF0u); })},
      {"info header size past the end", with([](auto& v) { Put32(v, 14, 0x7FFFFFFF); })},
      {"info header too small", with([](auto& v) { Put32(v, 14, 12); })},
      {"run-length compressed", with([](auto& v) { Put32(v, 30, 1); })},
      {"16-bit", with([](auto& v) { Put16(v, 28, 16); })},
      {"two planes", with([](auto& v) { Put16(v, 26, 2); })},
      {"palette larger than the depth allows",
       MakeBmp(2, 1, 1, std::vector<uint8_t>(12, 0), {{0}})},
      {"palette index past the palette", MakeBmp(2, 1, 8, std::vector<uint8_t>(8, 0), {{0, 5}})},
  };
  for (const auto& c : cases) EXPECT_FALSE(DecodeBmp(c.file)) << c.name;
}

class BmpFileOnDisk : public ::testing::Test {
 protected:
  testing::TempFolder temp_{"bmp"};
  const std::filesystem::path folder_ = temp_.path();
};

TEST_F(BmpFileOnDisk, SaveAndLoadRoundTrip) {
  Handle bitmap = CreateSurfaceBitmap(5, 3);  // 15-byte rows: the file pads them to 16
  Surface* s = SurfaceOf(bitmap);
  for (size_t i = 0; i < s->byteSize; ++i) s->bits[i] = uint8_t(i * 7 + 1);
  auto path = folder_ / "picture.bmp";
  ASSERT_TRUE(SaveBmpFile(path, *s));
  EXPECT_EQ(std::filesystem::file_size(path), 54u + 16u * 3u);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "picture.bmp.tmp"));

  Handle bits = 0;
  Handle loaded = LoadBmpFile(path, &bits);
  ASSERT_NE(loaded, 0u);
  EXPECT_EQ(PixelsOf(bits), SurfaceOf(loaded)->bits);
  Surface* l = SurfaceOf(loaded);
  ASSERT_EQ(l->width, 5);
  ASSERT_EQ(l->height, 3);
  EXPECT_EQ(std::memcmp(l->bits, s->bits, s->byteSize), 0);
  EXPECT_TRUE(DeleteBitmap(loaded));
  EXPECT_TRUE(DeleteBitmap(bitmap));
}

TEST_F(BmpFileOnDisk, MissingOrBrokenFilesGiveNoBitmap) {
  size_t before = LiveBitmapCount();
  Handle bits = 99;
  EXPECT_EQ(LoadBmpFile(folder_ / "missing.bmp", &bits), 0u);
  EXPECT_EQ(bits, 0u);
  std::ofstream(folder_ / "short.bmp") << "BM\x10\x00";
  EXPECT_EQ(LoadBmpFile(folder_ / "short.bmp"), 0u);
  EXPECT_EQ(LoadBmpFile(folder_), 0u) << "a folder is not a file";
  EXPECT_EQ(LiveBitmapCount(), before);
  Surface nothing;
  EXPECT_FALSE(SaveBmpFile(folder_ / "x.bmp", nothing));
  Handle b = CreateSurfaceBitmap(2, 2);
  EXPECT_FALSE(SaveBmpFile(folder_ / "no" / "such" / "folder.bmp", *SurfaceOf(b)));
  EXPECT_TRUE(DeleteBitmap(b));
}

}  // namespace
}  // namespace platform
