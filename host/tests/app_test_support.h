// app_test_support.h — a temporary program folder with its pictures, a settings file of
// its own per test, JPEG pictures made with libjpeg, a Qt application for the dialogs and
// a count of the text pixels on the screen.
#pragma once

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/stat.h>

#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/bmp_file.h"
#include "platform/profile.h"
#include "platform/testing/temp_folder.h"
#include "platform/text_codec.h"

namespace yk::testing {

namespace fs = std::filesystem;

// One QApplication for the whole test binary (dialogs and text drawing need it).
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QApplication::instance() == nullptr) {
      static int argc = 1;
      static char name[] = "app_test";
      static char* argv[] = {name, nullptr};
      app_ = new QApplication(argc, argv);
    }
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};

// The pixels of `image` inside `area` that are near black (text and glyph strokes).
inline int DarkPixels(const QImage& image, const QRect& area) {
  int dark = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qRed(p) < 0x60 && qGreen(p) < 0x60 && qBlue(p) < 0x60) ++dark;
    }
  }
  return dark;
}

inline std::vector<uint8_t> SolidPicture(int width, int height, uint8_t b, uint8_t g, uint8_t r) {
  std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 3);
  for (size_t i = 0; i < pixels.size(); i += 3) {
    pixels[i] = b;
    pixels[i + 1] = g;
    pixels[i + 2] = r;
  }
  return pixels;
}

// Writes host settings (section [setting]) into this test's settings file.  The section's
// name is written out: the host's header with it also brings the Host context, which
// tests built with Qt's keyword macros can't include.
inline void Store(std::initializer_list<std::pair<const char16_t*, std::u16string>> values) {
  auto profile = platform::OpenSettingsProfile();
  for (const auto& [key, value] : values) profile->WriteString(u"setting", key, value);
}

inline void WriteBytes(const fs::path& file, const std::vector<uint8_t>& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
}

// A text as the data files hold it: UTF-16LE without a byte-order mark.
inline std::string Utf16LeBytes(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes.push_back(char(unit & 0xFF));
    bytes.push_back(char(unit >> 8));
  }
  return bytes;
}

inline void WriteSolidBmp(const fs::path& file, int width, int height, uint8_t b, uint8_t g,
                          uint8_t r) {
  WriteBytes(file,
             platform::EncodeBmp24(width, height, SolidPicture(width, height, b, g, r).data()));
}

// A JPEG of the given size: the left half red, the right half blue, the top quarter green,
// with a little texture so that the compressed data has some length.
inline std::vector<uint8_t> EncodeJpeg(int width, int height) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&cinfo, &out, &outSize);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(size_t(width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    bool topBand = int(cinfo.next_scanline) < height / 4;
    for (int x = 0; x < width; ++x) {
      unsigned char grain = (x * 7 + int(cinfo.next_scanline) * 13) & 31;
      unsigned char high = 255 - grain, low = grain;
      unsigned char* p = &row[size_t(x) * 3];
      p[0] = topBand ? low : (x < width / 2 ? high : low);
      p[1] = topBand ? high : low;
      p[2] = topBand ? low : (x < width / 2 ? low : high);
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<uint8_t> bytes(out, out + outSize);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
}

using platform::testing::TempFolder;

// A program folder: data/tavik.dat (a 240 x 400 picture of one colour) unless told
// otherwise, and a settings file of its own in config/.
class ProgramFolder {
 public:
  ProgramFolder() : root_("program") {
    fs::create_directories(root_.path() / "data");
    fs::create_directories(configHome());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(configHome().string()));
  }

  fs::path root() const { return root_.path(); }
  std::u16string appFolder() const { return platform::Utf8ToUtf16(root_.path().string() + "/"); }
  fs::path dataFile() const { return root() / "data" / "tavik.dat"; }
  fs::path iconFile() const { return root() / "data" / "icon.bmp"; }
  fs::path themeFolder() const { return root() / "theme"; }
  fs::path configHome() const { return root() / "config"; }
  fs::path settingsFile() const { return configHome() / "Vantor Studio" / "tavik-hpc2k.conf"; }

  void WriteTheme(uint8_t b, uint8_t g, uint8_t r) const {
    WriteSolidBmp(dataFile(), 240, 400, b, g, r);
  }

  // An application object whose profile is this folder's settings file.
  platform::Handle OpenApp() const {
    return platform::RegisterApplication(platform::OpenSettingsProfile());
  }

 private:
  TempFolder root_;
};

// Which file a path names and when it was last written: QSettings replaces its file whenever
// it saves, so a changed stamp tells that the host has written its settings.
struct FileStamp {
  ino_t inode = 0;
  long long modified = 0;
  bool operator==(const FileStamp&) const = default;
};

inline FileStamp StampOf(const fs::path& file) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) return {};
  return {info.st_ino, info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
}

#if defined(YK_CMAKE_COMMAND) && defined(YK_BUILD_DIR)
// Installs the build tree into `prefix` as the README's commands do.
inline void InstallBuildInto(const fs::path& prefix) {
  QProcess install;
  install.start(QStringLiteral(YK_CMAKE_COMMAND),
                {"--install", QStringLiteral(YK_BUILD_DIR), "--prefix",
                 QString::fromStdString(prefix.string())});
  ASSERT_TRUE(install.waitForFinished(120000));
  ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
}
#endif

}  // namespace yk::testing
