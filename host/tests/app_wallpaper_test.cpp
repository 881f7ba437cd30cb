// The wallpaper loader against pictures made here with libjpeg: good, cut short, hostile.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/tests/app_test_support.h"
#include "host/wallpaper.h"
#include "platform/testing/message_recorder.h"
#include "platform/testing/temp_folder.h"

namespace yk {
namespace {

namespace fs = std::filesystem;

using testing::EncodeJpeg;

size_t FindStartOfFrame(const std::vector<uint8_t>& jpeg) {
  for (size_t i = 2; i + 9 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) return i;
  ADD_FAILURE() << "no start-of-frame marker";
  return 0;
}

std::vector<uint8_t> WithSize(std::vector<uint8_t> jpeg, int width, int height) {
  size_t sof = FindStartOfFrame(jpeg);
  jpeg[sof + 5] = uint8_t(height >> 8);
  jpeg[sof + 6] = uint8_t(height);
  jpeg[sof + 7] = uint8_t(width >> 8);
  jpeg[sof + 8] = uint8_t(width);
  return jpeg;
}

std::vector<uint8_t> WithPrecision(std::vector<uint8_t> jpeg, int bits) {
  jpeg[FindStartOfFrame(jpeg) + 4] = uint8_t(bits);
  return jpeg;
}

std::vector<uint8_t> CutTo(std::vector<uint8_t> jpeg, size_t bytes) {
  jpeg.resize(bytes);
  return jpeg;
}

class WallpaperFiles : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return p.string();
  }
  platform::testing::TempFolder temp_{"wallpaper"};
  const fs::path dir_ = temp_.path();
};

struct DecodeCase {
  const char* rule;
  std::vector<uint8_t> bytes;
  bool picture;            // a picture comes back
  int width, height;       // when it does
  std::u16string message;  // empty: no box; else the box must contain this text
  std::u16string caption;
};

TEST_F(WallpaperFiles, DecodesOrRefusesWithTheRightMessage) {
  const std::vector<uint8_t> good = EncodeJpeg(64, 32);
  const std::vector<uint8_t> large = EncodeJpeg(320, 240);
  const std::vector<DecodeCase> cases = {
      {"a sound picture decodes silently", good, true, 64, 32, u"", u""},
      {"the largest accepted side is 8192", EncodeJpeg(8192, 8), true, 8192, 8, u"", u""},
      {"a file cut short still gives a picture after the warning", CutTo(good, good.size() * 2 / 3),
       true, 64, 32, u"Premature end of JPEG file", kJpegErrorCaption},
      {"an empty file is the decoder's fatal error",
       {},
       false,
       0,
       0,
       u"Empty input file",
       kJpegErrorCaption},
      {"text is no JPEG",
       {'h', 'e', 'l', 'l', 'o', '\n'},
       false,
       0,
       0,
       u"Not a JPEG file",
       kJpegErrorCaption},
      {"an unsupported precision is fatal", WithPrecision(good, 12), false, 0, 0,
       u"Unsupported JPEG data precision", kJpegErrorCaption},
      {"a zero-sized frame is fatal", WithSize(good, 0, 32), false, 0, 0, u"Empty JPEG image",
       kJpegErrorCaption},
      {"wider than 8192 is refused before decoding", WithSize(good, 8193, 32), false, 0, 0,
       kWallpaperLoadFailed, u"Yomitoki"},
      {"a huge frame is refused before decoding", WithSize(good, 65000, 65000), false, 0, 0,
       kWallpaperLoadFailed, u"Yomitoki"},
      {"only a header is left", CutTo(good, FindStartOfFrame(good) + 4), false, 0, 0,
       u"Premature end of JPEG file", kJpegErrorCaption},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    platform::testing::MessageRecorder recorder;
    auto picture = DecodeJpegFile(Write("case.jpg", c.bytes));
    ASSERT_EQ(picture.has_value(), c.picture);
    if (picture) {
      EXPECT_EQ(picture->width, c.width);
      EXPECT_EQ(picture->height, c.height);
      EXPECT_EQ(picture->stride % 4, 0);
      EXPECT_EQ(picture->pixels.size(), size_t(picture->stride) * size_t(picture->height));
    }
    if (c.message.empty()) {
      EXPECT_TRUE(recorder.messages().empty());
    } else {
      ASSERT_FALSE(recorder.messages().empty());
      EXPECT_NE(recorder.messages()[0].text.find(c.message), std::u16string::npos);
      EXPECT_EQ(recorder.messages()[0].caption, c.caption);
    }
  }
}

TEST_F(WallpaperFiles, DecodedPixelsAreBlueGreenRedBottomUp) {
  platform::testing::MessageRecorder recorder;
  auto picture = DecodeJpegFile(Write("colours.jpg", EncodeJpeg(64, 32)));
  ASSERT_TRUE(picture);
  auto at = [&](int x, int y) {  // top-down coordinates
    return &picture
                ->pixels[size_t(picture->height - 1 - y) * size_t(picture->stride) + size_t(x) * 3];
  };
  const uint8_t* red = at(4, 28);
  EXPECT_LT(red[0], 40);
  EXPECT_GT(red[2], 215);
  const uint8_t* blue = at(60, 28);
  EXPECT_GT(blue[0], 215);
  EXPECT_LT(blue[2], 40);
  const uint8_t* green = at(30, 2);  // the first scanline sits in the last stored row
  EXPECT_GT(green[1], 215);
  EXPECT_LT(green[0], 40);
}

TEST_F(WallpaperFiles, FailedLoadEmptiesThePathAndKeepsTheBackground) {
  const int w = 16, h = 8;
  std::vector<uint8_t> back(size_t(w) * h * 3, 0x11);
  struct Case {
    const char* rule;
    std::string file;
    bool loads;
  } cases[] = {
      {"missing file", (dir_ / "none.jpg").string(), false},
      {"broken file", Write("broken.jpg", {0xFF, 0xD8, 0xFF, 0x00}), false},
      {"sound file", Write("ok.jpg", EncodeJpeg(8, 8)), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    platform::testing::MessageRecorder recorder;
    std::fill(back.begin(), back.end(), 0x11);
    std::u16string path(c.file.begin(), c.file.end());
    EXPECT_EQ(LoadWallpaper(path, back.data(), w, h, back.size()), c.loads);
    EXPECT_EQ(path.empty(), !c.loads);
    if (c.loads) {
      EXPECT_EQ(back[0], 255);  // the margin is white
    } else {
      EXPECT_EQ(std::count(back.begin(), back.end(), 0x11), std::ptrdiff_t(back.size()));
      EXPECT_FALSE(recorder.messages().empty());
    }
  }
}

// A picture whose pixels name their own coordinates: blue = x, green = y.
WallpaperPicture CoordinatePicture(int width, int height) {
  WallpaperPicture p;
  p.width = width;
  p.height = height;
  p.stride = (width * 24 + 31) / 32 * 4;
  p.pixels.assign(size_t(p.stride) * size_t(height), 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* px = &p.pixels[size_t(height - 1 - y) * size_t(p.stride) + size_t(x) * 3];
      px[0] = uint8_t(x);
      px[1] = uint8_t(y);
      px[2] = 7;
    }
  return p;
}

TEST(PlaceWallpaper, CentresAndCutsAtTheEdges) {
  struct Case {
    const char* rule;
    int pictureW, pictureH, bufferW, bufferH;
    int x, y;          // a buffer pixel (top-down)
    bool white;        // expected white margin there
    int fromX, fromY;  // else the picture pixel it shows
  } cases[] = {
      {"a tall picture on a low screen shows its middle rows", 200, 240, 200, 120, 0, 0, false, 0,
       60},
      {"... down to the last row shown", 200, 240, 200, 120, 199, 119, false, 199, 179},
      {"a small picture sits in the middle", 10, 6, 20, 10, 5, 2, false, 0, 0},
      {"... with white around it", 10, 6, 20, 10, 4, 2, true, 0, 0},
      {"... and below it", 10, 6, 20, 10, 5, 8, true, 0, 0},
      {"odd sizes round the offset down", 5, 3, 8, 8, 2, 3, false, 0, 0},
      {"a wide picture loses both sides", 30, 4, 8, 4, 0, 0, false, 11, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    std::vector<uint8_t> back(size_t(c.bufferW) * size_t(c.bufferH) * 3, 0);
    PlaceWallpaper(CoordinatePicture(c.pictureW, c.pictureH), back.data(), c.bufferW, c.bufferH,
                   back.size());
    const uint8_t* px = &back[(size_t(c.bufferH - 1 - c.y) * size_t(c.bufferW) + size_t(c.x)) * 3];
    if (c.white) {
      EXPECT_EQ(px[0] + px[1] + px[2], 3 * 255);
    } else {
      EXPECT_EQ(px[0], c.fromX);
      EXPECT_EQ(px[1], c.fromY);
      EXPECT_EQ(px[2], 7);
    }
  }
}

TEST(PlaceWallpaper, RefusesABufferSmallerThanItsSize) {
  std::vector<uint8_t> back(10, 0x22);
  PlaceWallpaper(CoordinatePicture(4, 4), back.data(), 4, 4, back.size());
  EXPECT_EQ(std::count(back.begin(), back.end(), 0x22), 10);
}

}  // namespace
}  // namespace yk
