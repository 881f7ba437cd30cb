// PluginPicture against BMP files written here: which pixels come from the file, which stay
// white, and what a file that can't be read leaves behind.
#include "common/plugin_picture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/bmp_file.h"
#include "platform/testing/temp_folder.h"

namespace yk {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kWhite = 0xFFFFFF;

// The colour file pixel (x, y) has: 0x00RRGGBB with blue x, green y, red 7.
uint32_t FileColour(int x, int y) {
  return 0x070000u | uint32_t(y) << 8 | uint32_t(x);
}

void WriteBmp(const fs::path& file, int width, int height) {
  std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &pixels[(size_t(x) + size_t(width) * size_t(height - 1 - y)) * 3];
      const uint32_t colour = FileColour(x, y);
      p[0] = uint8_t(colour), p[1] = uint8_t(colour >> 8), p[2] = uint8_t(colour >> 16);
    }
  const auto bytes = platform::EncodeBmp24(width, height, pixels.data());
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

uint32_t PixelAt(ConstPixelBuffer b, int x, int y) {
  const uint8_t* p = b.bits + (size_t(x) + size_t(b.width) * size_t(b.height - 1 - y)) * 3;
  return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

TEST(PluginPictureTest, CopiesTheFilesTopLeftIntoWhite) {
  struct Case {
    const char* rule;
    int fileWidth, fileHeight;  // of the BMP file
    int width, height;          // of the picture
    int copyWidth, copyHeight;  // 0: the whole picture
  };
  const Case cases[] = {
      {"file of the picture's size: every pixel", 16, 8, 16, 8, 0, 0},
      {"larger file: only its top left", 40, 30, 16, 8, 0, 0},
      {"smaller file: the rest stays white", 12, 5, 16, 8, 0, 0},
      {"copy smaller than the picture: white margin", 40, 30, 20, 12, 16, 10},
      {"copy larger than the file: the file's part", 10, 6, 20, 12, 16, 10},
  };
  platform::testing::TempFolder folder("plugin_picture");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    const fs::path file = folder.path() / "picture.dat";
    WriteBmp(file, c.fileWidth, c.fileHeight);
    PluginPicture picture(c.width, c.height);
    const bool whole = c.copyWidth == 0;
    ASSERT_TRUE(whole ? picture.Load(file) : picture.Load(file, c.copyWidth, c.copyHeight));
    const int copyWidth = whole ? c.width : c.copyWidth;
    const int copyHeight = whole ? c.height : c.copyHeight;

    const ConstPixelBuffer buffer = std::as_const(picture).buffer();
    ASSERT_EQ(buffer.width, c.width);
    ASSERT_EQ(buffer.height, c.height);
    ASSERT_EQ(buffer.bytes, c.width * c.height * 3);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        const bool fromFile =
            x < copyWidth && y < copyHeight && x < c.fileWidth && y < c.fileHeight;
        ASSERT_EQ(PixelAt(buffer, x, y), fromFile ? FileColour(x, y) : kWhite)
            << "at (" << x << ", " << y << ")";
      }
  }
}

TEST(PluginPictureTest, UnreadableFileFailsAndKeepsThePicture) {
  platform::testing::TempFolder folder("plugin_picture");
  const fs::path good = folder.path() / "good.dat";
  const fs::path garbage = folder.path() / "garbage.dat";
  WriteBmp(good, 4, 4);
  std::ofstream(garbage, std::ios::binary) << "BM not a bitmap at all";

  PluginPicture empty(4, 4);
  EXPECT_FALSE(empty.Load(folder.path() / "missing.dat"));
  EXPECT_FALSE(empty.Load(garbage));
  EXPECT_EQ(empty.buffer().bits, nullptr);
  EXPECT_EQ(empty.buffer().bytes, 0);

  PluginPicture loaded(4, 4);
  ASSERT_TRUE(loaded.Load(good));
  EXPECT_FALSE(loaded.Load(garbage));
  EXPECT_FALSE(loaded.Load(folder.path() / "missing.dat"));
  ASSERT_NE(loaded.buffer().bits, nullptr);
  EXPECT_EQ(PixelAt(loaded.buffer(), 3, 2), FileColour(3, 2));
}

}  // namespace
}  // namespace yk
